#include "TaskControl.h"

#include <algorithm>

void CTaskControl::Progress(std::int64_t done, std::int64_t total)
{
    if (total <= 0)
        return;
    const auto percent = int(std::clamp<std::int64_t>(done, 0, total) * 100 / total);
    // Only the job's thread writes, so a plain compare and store keeps it rising.
    if (percent <= m_percent.load(std::memory_order_relaxed))
        return;
    m_percent.store(percent, std::memory_order_relaxed);
    if (m_onPercent)
        m_onPercent(percent);
}
