#include "ReportFrameReader.h"

void CReportFrameReader::Feed(const std::uint8_t* data, std::size_t size, const FrameSink& sink)
{
    m_pending.insert(m_pending.end(), data, data + size);
    std::size_t at = 0;
    while (at + 7 <= m_pending.size()) {
        const std::uint8_t* f = &m_pending[at];
        if (f[0] == 0xAA && f[1] == 0xAA && f[5] == 0x55 && f[6] == 0x55) {
            sink(f[2], f[3] | (f[4] << 8));
            at += 7;
        } else {
            ++at;
        }
    }
    // Fewer than 7 bytes remain: they may be the start of the next frame.
    m_pending.erase(m_pending.begin(), m_pending.begin() + std::ptrdiff_t(at));
}
