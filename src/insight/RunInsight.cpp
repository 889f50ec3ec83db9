#include "RunInsight.h"

void CRunInsight::ResetFigures(std::int64_t stallThresholdUs)
{
    m_strip.Replace(m_strip.Length());
    std::lock_guard<std::mutex> hold(m_mutex);
    m_statistics.Reset(stallThresholdUs);
    ++m_generation;
}

void CRunInsight::AddReport(std::int64_t timeUs, std::int32_t sentState, std::int32_t distance)
{
    m_strip.PushReport(timeUs, sentState);
    std::lock_guard<std::mutex> hold(m_mutex);
    m_statistics.AddReport(timeUs, sentState, distance);
    ++m_generation;
}

void CRunInsight::AddLinkGap(std::int32_t steps, std::int64_t timeUs)
{
    m_strip.PushMissing(steps, timeUs);
    std::lock_guard<std::mutex> hold(m_mutex);
    m_statistics.AddLinkGap();
    ++m_generation;
}

PresenceFigures CRunInsight::Figures() const
{
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_statistics.Figures();
}

std::uint64_t CRunInsight::Generation() const
{
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_generation;
}
