#pragma once
#include <QElapsedTimer>

#include <atomic>
#include <cstdint>

#include "IReportSink.h"
#include "RunInsight.h"

class CReplayRunner;
class CReportFrameDecoder;

// Where each decoded report goes: the decoder's one sink. It stamps the report with the
// run's clock (or the replayed delivery's recorded time), feeds the run's insight, and
// hands the report on to the view (the window: its queued notification and the chart's
// buffer). The only session code that runs on the acquisition and replay threads.
//
// Threads:
//   - PostRadarReport, FeedChart: the decoding thread (the acquisition worker "ABDData"
//     or the replay thread, never both at once), as the decoder calls them.
//   - StartRunClock, SetFromReplay: the user-interface thread, while no decoding thread
//     runs (before the worker or the replay thread starts, after it stopped); the
//     thread start and join order them with the reads.
//   - TimeUs: the decoding thread, or the thread that steps the chart through a gap.
//   - The insight has its own locks (see CRunInsight).
class CReportFanOut : public IReportSink {
public:
    explicit CReportFanOut(IReportSink& view) : m_view(view) {}

    // Set once by the owner before any decoding thread runs.
    void Attach(const CReportFrameDecoder& decoder, const CReplayRunner& replay);

    CRunInsight& Insight() { return m_insight; }
    const CRunInsight& Insight() const { return m_insight; }

    // A live run starts: reports are stamped with the time since now.
    void StartRunClock() { m_runClock.start(); }
    // A replay's thread is about to run (true) or has ended (false).
    void SetFromReplay(bool fromReplay) { m_fromReplay.store(fromReplay, std::memory_order_release); }
    // The time a report now is stamped with.
    std::int64_t TimeUs() const;

    void PostRadarReport() override;
    void FeedChart(const std::int32_t* history, std::int32_t length) override;

private:
    IReportSink& m_view;
    const CReportFrameDecoder* m_decoder = nullptr;
    const CReplayRunner* m_replay = nullptr;
    CRunInsight m_insight;
    QElapsedTimer m_runClock;
    std::atomic<bool> m_fromReplay{false};
};
