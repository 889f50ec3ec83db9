#include "ReportFanOut.h"

#include "DistanceHistory.h"
#include "ReplayRunner.h"
#include "ReportFrameDecoder.h"

void CReportFanOut::Attach(const CReportFrameDecoder& decoder, const CReplayRunner& replay)
{
    m_decoder = &decoder;
    m_replay = &replay;
}

std::int64_t CReportFanOut::TimeUs() const
{
    if (m_fromReplay.load(std::memory_order_acquire))
        return m_replay->DeliveringUs();
    return m_runClock.isValid() ? m_runClock.nsecsElapsed() / 1000 : 0;
}

void CReportFanOut::PostRadarReport()
{
    m_view.PostRadarReport();
}

void CReportFanOut::FeedChart(const std::int32_t* history, std::int32_t length)
{
    // A report, not a step through a link gap (whose caller tells the insight itself):
    // the decoder stored its state before this call.
    if (history[length - 1] != CDistanceHistory::kNoDistance)
        m_insight.AddReport(TimeUs(), m_decoder->GetState(), history[length - 1]);
    m_view.FeedChart(history, length);
}
