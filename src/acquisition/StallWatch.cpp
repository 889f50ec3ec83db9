#include "StallWatch.h"

#include <algorithm>

std::chrono::milliseconds StallThreshold(std::int64_t reportIntervalMs)
{
    // Clamped so that three intervals cannot overflow (a damaged setting or index).
    const std::int64_t intervalMs = std::clamp<std::int64_t>(reportIntervalMs, 0, std::int64_t(1) << 30);
    return std::max(std::chrono::milliseconds(1000), std::chrono::milliseconds(3 * intervalMs));
}

void CStallWatch::Start(std::uint64_t frames, Clock::time_point now)
{
    m_running = true;
    m_stalled = false;
    m_frames = frames;
    m_lastReport = now;
}

CStallWatch::Change CStallWatch::Update(std::uint64_t frames, Clock::time_point now, int reportTimeMs)
{
    if (!m_running)
        return Change::None;
    if (frames != m_frames) {
        m_frames = frames;
        m_lastReport = now;
        if (m_stalled) {
            m_stalled = false;
            return Change::Ended;
        }
        return Change::None;
    }
    if (!m_stalled && now - m_lastReport >= Threshold(reportTimeMs)) {
        m_stalled = true;
        return Change::Started;
    }
    return Change::None;
}

void CStallWatch::Stop()
{
    m_running = false;
    m_stalled = false;
}

CStallWatch::Clock::duration CStallWatch::Silence(Clock::time_point now) const
{
    return m_running ? now - m_lastReport : Clock::duration::zero();
}
