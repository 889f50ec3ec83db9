#include "BaseBuffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {
// True when [p, p + size) starts inside [base, base + capacity); compared as integers
// because relational operators on unrelated pointers are unspecified.
bool PointsInside(const void* p, const std::uint8_t* base, std::size_t capacity)
{
    if (!p || !base)
        return false;
    const auto a = reinterpret_cast<std::uintptr_t>(p);
    const auto b = reinterpret_cast<std::uintptr_t>(base);
    return a >= b && a < b + capacity;
}
}  // namespace

CBaseBuffer::~CBaseBuffer()
{
    std::free(m_data);
}

bool CBaseBuffer::Reserve(std::size_t capacity)
{
    if (capacity <= m_capacity)
        return true;
    std::size_t grown = std::max<std::size_t>(capacity, 64);
    if (m_capacity > 0 && m_capacity * 2 > grown && m_capacity * 2 > m_capacity)
        grown = m_capacity * 2;
    void* p = std::realloc(m_data, grown);
    if (!p)
        return false;
    m_data = static_cast<std::uint8_t*>(p);
    m_capacity = grown;
    return true;
}

bool CBaseBuffer::AppendBuffer(const void* data, std::size_t size)
{
    if (size == 0)
        return true;
    if (!data || size > SIZE_MAX - m_size)
        return false;
    // A source inside our own storage would dangle after a reallocation: keep its offset.
    const bool inside = PointsInside(data, m_data, m_capacity);
    const std::size_t offset = inside ? std::size_t(static_cast<const std::uint8_t*>(data) - m_data) : 0;
    if (inside && offset + size > m_size)
        return false;
    if (!Reserve(m_size + size))
        return false;
    const void* src = inside ? m_data + offset : data;
    std::memmove(m_data + m_size, src, size);
    m_size += size;
    return true;
}

bool CBaseBuffer::SetBuffer(const void* data, std::size_t size)
{
    if (size == 0) {
        m_size = 0;
        return true;
    }
    if (!data)
        return false;
    if (PointsInside(data, m_data, m_capacity)) {
        // The caller keeps part of its own content (e.g. an unconsumed tail): an
        // overlapping move within the storage, which never needs to grow.
        const std::size_t offset = std::size_t(static_cast<const std::uint8_t*>(data) - m_data);
        if (offset + size > m_capacity)
            return false;
        std::memmove(m_data, m_data + offset, size);
        m_size = size;
        return true;
    }
    if (!Reserve(size))
        return false;
    std::memcpy(m_data, data, size);
    m_size = size;
    return true;
}

void CBaseBuffer::Delete()
{
    std::free(m_data);
    m_data = nullptr;
    m_size = 0;
    m_capacity = 0;
}
