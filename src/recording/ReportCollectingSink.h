#pragma once
#include <cstdint>
#include <vector>
#include "DecodedReport.h"
#include "IReportSink.h"

class CReportFrameDecoder;

// The owner of a decoder that decodes a recording without a window: it keeps every
// valid report with the time of the delivery being decoded. One thread.
class CReportCollectingSink : public IReportSink {
public:
    explicit CReportCollectingSink(std::vector<DecodedReport>& reports) : m_reports(reports) {}

    // The decoder whose state and distance each report is read from.
    void Attach(const CReportFrameDecoder& decoder) { m_decoder = &decoder; }
    // The time the reports found from now on are stamped with.
    void SetDeliveryTime(std::int64_t timeUs) { m_timeUs = timeUs; }

    void PostRadarReport() override;
    // No chart to feed.
    void FeedChart(const std::int32_t*, std::int32_t) override {}

private:
    std::vector<DecodedReport>& m_reports;
    const CReportFrameDecoder* m_decoder = nullptr;
    std::int64_t m_timeUs = 0;
};
