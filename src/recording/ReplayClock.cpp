#include "ReplayClock.h"

void CReplayClock::Reset(std::int64_t positionUs)
{
    m_playing = false;
    m_anchorUs = positionUs;
    m_anchorWall = Clock::time_point{};
}

void CReplayClock::Play(Clock::time_point now)
{
    if (m_playing)
        return;
    m_playing = true;
    m_anchorWall = now;
}

void CReplayClock::Pause(Clock::time_point now)
{
    m_anchorUs = PositionAt(now);
    m_anchorWall = now;
    m_playing = false;
}

void CReplayClock::SetSpeed(int factor, Clock::time_point now)
{
    m_anchorUs = PositionAt(now);
    m_anchorWall = now;
    m_speed = factor > 0 ? factor : kFastest;
}

void CReplayClock::MoveTo(std::int64_t positionUs, Clock::time_point now)
{
    m_anchorUs = positionUs;
    m_anchorWall = now;
}

std::int64_t CReplayClock::PositionAt(Clock::time_point now) const
{
    // At the fastest speed the position is wherever the deliveries have got to: the
    // runner moves it along with them.
    if (!m_playing || m_speed == kFastest || now <= m_anchorWall)
        return m_anchorUs;
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(now - m_anchorWall).count();
    return m_anchorUs + elapsed * m_speed;
}

CReplayClock::Clock::time_point CReplayClock::WhenAt(std::int64_t positionUs) const
{
    if (positionUs <= m_anchorUs || m_speed == kFastest)
        return m_anchorWall;
    // Rounded up, so the wait never ends a microsecond early and spins once more.
    const std::int64_t wallUs = (positionUs - m_anchorUs + m_speed - 1) / m_speed;
    return m_anchorWall + std::chrono::microseconds(wallUs);
}
