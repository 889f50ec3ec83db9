#include "ReportCollectingSink.h"

#include "ReportFrameDecoder.h"

void CReportCollectingSink::PostRadarReport()
{
    // The decoder stores the frame's values before it posts, so they are this frame's.
    if (m_decoder)
        m_reports.push_back({m_timeUs, m_decoder->GetState(), m_decoder->GetDistance()});
}
