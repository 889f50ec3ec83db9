// What of the front buffer goes back to the background before a frame draws: only
// where the last frame's and this frame's waves, markers and title can reach.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "CWaveWnd.h"
#include "WavePoint.h"

RECT CWaveWnd::OverlayArea() const
{
    const RECT client{0, 0, m_clientWidth, m_clientHeight};
    // A hook may draw anywhere, and a spline may swing past its points.
    if (m_drawHook || m_smoothCurve)
        return client;
    // Points lie in the plot; a wide line and its joins reach past them by half its width.
    const int margin = std::max(m_lineWidth, 0) + 2;
    const RECT area{m_plotRect.left - margin, m_plotRect.top - margin, m_plotRect.right + margin,
                    m_plotRect.bottom + margin};
    return RECT{std::max(area.left, client.left), std::max(area.top, client.top), std::min(area.right, client.right),
                std::min(area.bottom, client.bottom)};
}

namespace {

int BandOf(LONG x, const RECT& area, int bands)
{
    const std::int64_t width = std::max<std::int64_t>(std::int64_t(area.right) - area.left, 1);
    return int(std::clamp<std::int64_t>((std::int64_t(x) - area.left) * bands / width, 0, bands - 1));
}

// The first column of a band: rounded up, so that band b holds exactly the columns x
// that BandOf puts in it.
LONG BandLeft(int band, const RECT& area, int bands)
{
    return LONG(area.left + ((std::int64_t(area.right) - area.left) * band + bands - 1) / bands);
}


}  // namespace

bool CWaveWnd::CurveBandRows(const RECT& area, BandRows& rows) const
{
    rows.fill(RowSpan{});
    if (m_drawHook || m_smoothCurve || m_markersOn || m_titleOn || IsRectEmpty(area))
        return false;
    // The same reach past the points as OverlayArea allows.
    const LONG margin = std::max(m_lineWidth, 0) + 2;
    const int count = GetWaveCount();
    for (int i = 0; i < count; ++i) {
        const WaveSlot& slot = m_slots[i];
        if (!slot.visible)
            continue;
        bool havePrevious = false;
        POINT previous{0, 0};
        for (int k = 0; k < slot.points.GetCount(); ++k) {
            if (IsWaveBreak(slot.points.GetAt(k))) {
                havePrevious = false;
                continue;
            }
            const POINT p = UnpackWavePoint(slot.points.GetAt(k));
            // A lone point draws nothing, so only segments count.
            if (havePrevious) {
                const LONG top = std::max<LONG>(std::min(p.y, previous.y) - margin, area.top);
                const LONG bottom = std::min<LONG>(std::max(p.y, previous.y) + margin + 1, area.bottom);
                const int first = BandOf(std::min(p.x, previous.x) - margin, area, kRestoreBands);
                const int last = BandOf(std::max(p.x, previous.x) + margin, area, kRestoreBands);
                for (int b = first; b <= last && top < bottom; ++b) {
                    RowSpan& span = rows[std::size_t(b)];
                    if (span.top >= span.bottom)
                        span = RowSpan{top, bottom};
                    else
                        span = RowSpan{std::min(span.top, top), std::max(span.bottom, bottom)};
                }
            }
            previous = p;
            havePrevious = true;
        }
    }
    return true;
}

void CWaveWnd::RestoreBands(const RECT& area, const BandRows& rows, const BandRows& lastRows)
{
    for (int b = 0; b < kRestoreBands; ++b) {
        const RowSpan now = rows[std::size_t(b)];
        const RowSpan last = lastRows[std::size_t(b)];
        const bool hasNow = now.top < now.bottom;
        const bool hasLast = last.top < last.bottom;
        if (!hasNow && !hasLast)
            continue;
        const LONG top = !hasNow ? last.top : !hasLast ? now.top : std::min(now.top, last.top);
        const LONG bottom = !hasNow ? last.bottom : !hasLast ? now.bottom : std::max(now.bottom, last.bottom);
        CopyBackRows(RECT{BandLeft(b, area, kRestoreBands), top, BandLeft(b + 1, area, kRestoreBands), bottom});
    }
}

void CWaveWnd::CopyBackRows(const RECT& area)
{
    const RECT device = ToDevice(area);
    const int left = std::clamp<int>(device.left, 0, m_bufferWidth);
    const int right = std::clamp<int>(device.right, left, m_bufferWidth);
    const int top = std::clamp<int>(device.top, 0, m_bufferHeight);
    const int bottom = std::clamp<int>(device.bottom, top, m_bufferHeight);
    const std::size_t stride = std::size_t(m_bufferWidth) * 4;
    if (left == 0 && right == m_bufferWidth) {
        std::memcpy(static_cast<std::uint8_t*>(m_frontPixels) + std::size_t(top) * stride,
                    static_cast<const std::uint8_t*>(m_backPixels) + std::size_t(top) * stride,
                    std::size_t(bottom - top) * stride);
        return;
    }
    for (int y = top; y < bottom; ++y) {
        const std::size_t offset = std::size_t(y) * stride + std::size_t(left) * 4;
        std::memcpy(static_cast<std::uint8_t*>(m_frontPixels) + offset,
                    static_cast<const std::uint8_t*>(m_backPixels) + offset, std::size_t(right - left) * 4);
    }
}
