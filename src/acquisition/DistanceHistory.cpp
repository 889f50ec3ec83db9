#include "DistanceHistory.h"

#include <algorithm>
#include <cstring>
#include "IReportSink.h"
#include "ReportTiming.h"

namespace {
constexpr std::int32_t kHistorySpanMs = 15000;
}  // namespace

std::int32_t CDistanceHistory::LengthForReportInterval(std::int32_t reportTimeMS)
{
    if (reportTimeMS == 0)
        reportTimeMS = std::int32_t(kDefaultReportIntervalMs);
    return kHistorySpanMs / reportTimeMS;
}

void CDistanceHistory::Replace(std::int32_t length)
{
    std::vector<std::int32_t> fresh(length > 0 ? std::size_t(length) : 0, 0);
    CAutoBaseLock hold(m_lock);
    m_values.swap(fresh);
}

bool CDistanceHistory::Advance(std::int32_t distance, IReportSink& sink)
{
    CAutoBaseLock hold(m_lock);
    if (m_values.empty())
        return false;
    const std::size_t n = m_values.size();
    std::memmove(m_values.data(), m_values.data() + 1, (n - 1) * sizeof(std::int32_t));
    m_values[n - 1] = distance;
    sink.FeedChart(m_values.data(), std::int32_t(n));
    return true;
}

bool CDistanceHistory::AdvanceMissing(std::int32_t count, IReportSink& sink)
{
    CAutoBaseLock hold(m_lock);
    if (m_values.empty() || count < 1)
        return false;
    const std::size_t n = m_values.size();
    const std::size_t missing = std::min(n, std::size_t(count));
    std::memmove(m_values.data(), m_values.data() + missing, (n - missing) * sizeof(std::int32_t));
    std::fill(m_values.end() - std::ptrdiff_t(missing), m_values.end(), kNoDistance);
    sink.FeedChart(m_values.data(), std::int32_t(n));
    return true;
}

std::int32_t CDistanceHistory::GetLength() const
{
    CAutoBaseLock hold(m_lock);
    return std::int32_t(m_values.size());
}

std::vector<std::int32_t> CDistanceHistory::GetValues() const
{
    CAutoBaseLock hold(m_lock);
    return m_values;
}
