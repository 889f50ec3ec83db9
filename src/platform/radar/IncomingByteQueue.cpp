#include "IncomingByteQueue.h"

#include <algorithm>
#include <chrono>

void CIncomingByteQueue::Push(const std::uint8_t* data, std::size_t size)
{
    if (!data || size == 0)
        return;
    {
        std::lock_guard lock(m_mutex);
        if (m_shut)
            return;
        m_bytes.insert(m_bytes.end(), data, data + size);
        TrimToCapacityLocked();
    }
    m_changed.notify_all();
}

void CIncomingByteQueue::MarkFailed()
{
    {
        std::lock_guard lock(m_mutex);
        m_failed = true;
    }
    m_changed.notify_all();
}

int CIncomingByteQueue::Read(std::uint8_t* buffer, int capacity, int timeoutMs)
{
    if (!buffer || capacity <= 0)
        return -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    std::unique_lock lock(m_mutex);
    m_changed.wait_until(lock, deadline, [this] { return !m_bytes.empty() || m_failed || m_shut; });
    if (m_bytes.empty())
        return (m_failed || m_shut) ? -1 : 0;
    const std::size_t count = std::min(m_bytes.size(), std::size_t(capacity));
    std::copy_n(m_bytes.begin(), count, buffer);
    m_bytes.erase(m_bytes.begin(), m_bytes.begin() + std::ptrdiff_t(count));
    return int(count);
}

void CIncomingByteQueue::Unread(const std::uint8_t* data, std::size_t size)
{
    if (!data || size == 0)
        return;
    {
        std::lock_guard lock(m_mutex);
        if (m_shut)
            return;
        m_bytes.insert(m_bytes.begin(), data, data + size);
        TrimToCapacityLocked();
    }
    m_changed.notify_all();
}

std::size_t CIncomingByteQueue::Discard()
{
    std::lock_guard lock(m_mutex);
    const std::size_t count = m_bytes.size();
    m_bytes.clear();
    return count;
}

void CIncomingByteQueue::Reset()
{
    std::lock_guard lock(m_mutex);
    m_bytes.clear();
    m_failed = false;
    m_shut = false;
    m_dropped = 0;
}

void CIncomingByteQueue::Shut()
{
    {
        std::lock_guard lock(m_mutex);
        m_bytes.clear();
        m_shut = true;
    }
    m_changed.notify_all();
}

bool CIncomingByteQueue::HasFailed() const
{
    std::lock_guard lock(m_mutex);
    return m_failed;
}

std::size_t CIncomingByteQueue::DroppedBytes() const
{
    std::lock_guard lock(m_mutex);
    return m_dropped;
}

void CIncomingByteQueue::TrimToCapacityLocked()
{
    if (m_bytes.size() <= kCapacity)
        return;
    const std::size_t excess = m_bytes.size() - kCapacity;
    m_bytes.erase(m_bytes.begin(), m_bytes.begin() + std::ptrdiff_t(excess));
    m_dropped += excess;
}
