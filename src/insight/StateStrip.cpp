#include "StateStrip.h"

#include <algorithm>

void CStateStrip::Replace(std::int32_t length)
{
    std::lock_guard<std::mutex> hold(m_mutex);
    m_ring.assign(std::size_t(std::max<std::int32_t>(length, 0)), StripSample{});
    m_oldest = 0;
}

void CStateStrip::Resize(std::int32_t length)
{
    std::lock_guard<std::mutex> hold(m_mutex);
    const std::size_t size = std::size_t(std::max<std::int32_t>(length, 0));
    if (size == m_ring.size())
        return;
    std::vector<StripSample> ordered(m_ring.size());
    std::rotate_copy(m_ring.begin(), m_ring.begin() + std::ptrdiff_t(m_oldest), m_ring.end(), ordered.begin());
    std::vector<StripSample> resized(size);
    const std::size_t kept = std::min(size, ordered.size());
    std::copy(ordered.end() - std::ptrdiff_t(kept), ordered.end(), resized.end() - std::ptrdiff_t(kept));
    m_ring.swap(resized);
    m_oldest = 0;
}

void CStateStrip::Push(const StripSample& sample)
{
    // Under m_mutex.
    if (m_ring.empty())
        return;
    m_ring[m_oldest] = sample;
    m_oldest = (m_oldest + 1) % m_ring.size();
}

void CStateStrip::PushReport(std::int64_t timeUs, std::int32_t sentState)
{
    std::lock_guard<std::mutex> hold(m_mutex);
    if (m_ring.empty())
        return;
    const auto state = std::int8_t(DisplayedState(sentState));
    const StripSample& newest = m_ring[(m_oldest + m_ring.size() - 1) % m_ring.size()];
    const std::int64_t began = newest.state == state ? newest.runBeganUs : timeUs;
    Push(StripSample{timeUs, began, state});
}

void CStateStrip::PushMissing(std::int32_t count, std::int64_t timeUs)
{
    std::lock_guard<std::mutex> hold(m_mutex);
    if (m_ring.empty() || count < 1)
        return;
    const StripSample& newest = m_ring[(m_oldest + m_ring.size() - 1) % m_ring.size()];
    const std::int64_t began = newest.state == StripSample::kNoData ? newest.runBeganUs : timeUs;
    const std::size_t steps = std::min(std::size_t(count), m_ring.size());
    for (std::size_t i = 0; i < steps; ++i)
        Push(StripSample{timeUs, began, StripSample::kNoData});
}

void CStateStrip::CopyTo(std::vector<StripSample>& out) const
{
    std::lock_guard<std::mutex> hold(m_mutex);
    out.resize(m_ring.size());
    std::rotate_copy(m_ring.begin(), m_ring.begin() + std::ptrdiff_t(m_oldest), m_ring.end(), out.begin());
}

std::int32_t CStateStrip::Length() const
{
    std::lock_guard<std::mutex> hold(m_mutex);
    return std::int32_t(m_ring.size());
}

bool FindStateRun(const std::vector<StripSample>& samples, int index, StateRun& run)
{
    if (index < 0 || std::size_t(index) >= samples.size())
        return false;
    const StripSample& at = samples[std::size_t(index)];
    auto sameRun = [&at](const StripSample& s) { return s.state == at.state && s.runBeganUs == at.runBeganUs; };
    int first = index;
    while (first > 0 && sameRun(samples[std::size_t(first) - 1]))
        --first;
    int last = index;
    while (std::size_t(last) + 1 < samples.size() && sameRun(samples[std::size_t(last) + 1]))
        ++last;
    run.first = first;
    run.last = last;
    run.state = at.state;
    run.beganUs = at.runBeganUs;
    run.goesOn = std::size_t(last) + 1 == samples.size();
    const std::int64_t endUs = run.goesOn ? samples[std::size_t(last)].timeUs : samples[std::size_t(last) + 1].timeUs;
    run.lastedUs = std::max<std::int64_t>(endUs - run.beganUs, 0);
    return true;
}
