#include "CommandFrameScanner.h"

#include "Crc16.h"
#include "ModuleProtocol.h"

using namespace ModuleProtocol;

void CCommandFrameScanner::Append(const std::uint8_t* data, std::size_t size)
{
    if (data && size > 0)
        m_buffer.insert(m_buffer.end(), data, data + size);
}

std::optional<CommandFrame> CCommandFrameScanner::Next()
{
    const std::size_t size = m_buffer.size();
    std::optional<std::size_t> firstPending;
    for (std::size_t pos = 0; pos < size; ++pos) {
        if (m_buffer[pos] != kCommandHead0)
            continue;
        if (pos + 1 == size) {
            // A lone C5 at the end may be the start of a header.
            firstPending = firstPending.value_or(pos);
            break;
        }
        if (m_buffer[pos + 1] != kCommandHead1)
            continue;
        if (pos + 4 > size) {
            firstPending = firstPending.value_or(pos);
            continue;
        }
        const std::uint16_t length = ReadU16(&m_buffer[pos + 2]);
        if (length < 2 || length > kMaxFrameLength)
            continue;
        const std::size_t total = kFrameOverhead + length;
        if (pos + total > size) {
            firstPending = firstPending.value_or(pos);
            continue;
        }
        const std::uint16_t crc = ReadU16(&m_buffer[pos + 4 + length]);
        if (Crc16CcittFalse(&m_buffer[pos + 2], 2 + length) != crc) {
            if (pos >= m_rejectedUpTo) {
                ++m_rejected;
                m_rejectedUpTo = pos + 1;
            }
            continue;
        }
        CommandFrame frame;
        frame.word = ReadU16(&m_buffer[pos + 4]);
        frame.payload.assign(m_buffer.begin() + std::ptrdiff_t(pos + 6),
                             m_buffer.begin() + std::ptrdiff_t(pos + 4 + length));
        Prune(pos + total);
        return frame;
    }
    Prune(firstPending.value_or(size));
    return std::nullopt;
}

std::vector<std::uint8_t> CCommandFrameScanner::TakeRemainder()
{
    std::vector<std::uint8_t> rest;
    rest.swap(m_buffer);
    m_rejectedUpTo = 0;
    return rest;
}

void CCommandFrameScanner::Prune(std::size_t keepFrom)
{
    if (keepFrom == 0)
        return;
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + std::ptrdiff_t(keepFrom));
    m_rejectedUpTo = m_rejectedUpTo > keepFrom ? m_rejectedUpTo - keepFrom : 0;
}
