// Chart geometry and the static picture in the back buffer.
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "CWaveToolTip.h"
#include "CWaveWnd.h"
#include "GdiplusApi.h"
#include "IWaveDrawInterface.h"
#include "PixelBuffer.h"
#include "WaveMath.h"

namespace {

// Wraps a DIB's pixels for painting; the image never owns or copies them.
QImage WrapPixels(void* pixels, int width, int height, int logicalDpiX, int logicalDpiY, double ratio)
{
    QImage image(static_cast<uchar*>(pixels), width, height, width * 4, QImage::Format_RGB32);
    // Fonts are sized in points for the screen, as a device context would.
    image.setDotsPerMeterX(int(std::lround(logicalDpiX / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(logicalDpiY / 0.0254)));
    // Painters on the image then work in logical pixels, and the paint shows it unscaled.
    image.setDevicePixelRatio(ratio);
    return image;
}

// Device pixels enough to cover a logical length.
int DeviceLength(int logical, double ratio)
{
    return ratio == 1.0 ? logical : int(std::ceil(logical * ratio - 1e-9));
}

QColor ToQColor(COLORREF color)
{
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

// The grid colours and the picture may carry alpha 0; the screen copy must not
// show it, so the finished background is made opaque once instead of every frame.
void MakeOpaque(void* pixels, std::size_t count)
{
    auto* p = static_cast<std::uint32_t*>(pixels);
    for (std::size_t i = 0; i < count; ++i)
        p[i] |= 0xFF000000u;
}

}  // namespace

double CWaveWnd::UsableRatio(double ratio)
{
    return std::isfinite(ratio) ? std::clamp(ratio, 0.25, 16.0) : 1.0;
}

void CWaveWnd::InitChart()
{
    m_clientWidth = width();
    m_clientHeight = height();
    if (!m_toolTip)
        m_toolTip = new CWaveToolTip(this);
    RecreateBitmaps();
}

void CWaveWnd::DeleteBitmaps()
{
    m_frontImage = QImage();
    m_backImage = QImage();
    m_frontBitmap.reset();
    m_backBitmap.reset();
    m_frontPixels = nullptr;
    m_backPixels = nullptr;
    m_bufferWidth = 0;
    m_bufferHeight = 0;
}

void CWaveWnd::RecreateBitmaps()
{
    DeleteBitmaps();
    m_pixelRatio = UsableRatio(devicePixelRatioF());
    if (m_clientWidth <= 0 || m_clientHeight <= 0)
        return;
    const int width = DeviceLength(m_clientWidth, m_pixelRatio);
    const int height = DeviceLength(m_clientHeight, m_pixelRatio);
    m_frontBitmap.reset(CreateHBitmap(&m_frontPixels, width, height, 32, 0, 0));
    m_backBitmap.reset(CreateHBitmap(&m_backPixels, width, height, 32, 0, 0));
    if (!m_frontBitmap || !m_backBitmap) {
        DeleteBitmaps();
        return;
    }
    m_bufferWidth = width;
    m_bufferHeight = height;
    m_frontImage = WrapPixels(m_frontPixels, width, height, logicalDpiX(), logicalDpiY(), m_pixelRatio);
    m_backImage = WrapPixels(m_backPixels, width, height, logicalDpiX(), logicalDpiY(), m_pixelRatio);
    Layout();
    m_scaledPicture.reset();
    EnsureScaledPicture();
    MarkDirty();
}

void CWaveWnd::Layout()
{
    for (AxisStrip& strip : m_axes)
        if (!strip.shown)
            strip.size = 0;
    const LONG L = m_axes[AxisLeft].size;
    const LONG R = m_axes[AxisRight].size;
    const LONG T = m_axes[AxisTop].size;
    const LONG B = m_axes[AxisBottom].size;
    const LONG cx = m_clientWidth;
    const LONG cy = m_clientHeight;

    m_axes[AxisLeft].strip = RECT{0, T, L, cy - B};
    m_axes[AxisRight].strip = RECT{cx - R, T, cx, cy - B};
    m_axes[AxisTop].strip = RECT{L, 0, cx - R, T};
    m_axes[AxisBottom].strip = RECT{L, cy - B, cx - R, cy};
    for (AxisStrip& strip : m_axes)
        strip.axis.SetStrip(strip.strip);
    m_plotRect = RECT{L, T, cx - R, cy - B};

    if (m_gridOn) {
        const double plotWidth = RectWidth(m_plotRect);
        m_gridCellHeight = std::clamp(RectHeight(m_plotRect) / double(m_gridRows), 8.0, 40.0);
        // An even column count puts a grid line on the centre line. A plot narrower
        // than two cells still gets two columns, so the cell width stays finite.
        const std::int64_t columns = std::max<std::int64_t>(wave_math::Truncate(plotWidth / m_gridCellHeight) & ~1LL, 2);
        m_gridCellWidth = plotWidth > 0 ? plotWidth / double(columns) : m_gridCellHeight;
    }
}

void CWaveWnd::EnsureScaledPicture()
{
    // Scaled once to the device pixels of the plot, so a dense screen gets the picture's detail.
    const RECT plot = ToDevice(m_plotRect);
    const QSize plotSize(RectWidth(plot), RectHeight(plot));
    if (!m_picture || plotSize.width() < 1 || plotSize.height() < 1) {
        m_scaledPicture.reset();
        m_scaledPictureSize = QSize();
        return;
    }
    // Also remade when an axis change moved the plot edges without a resize.
    if (m_scaledPicture && m_scaledPictureSize == plotSize)
        return;
    m_scaledPicture.reset(Gdiplus_ResizeBitmap(m_picture.get(), plotSize.width(), plotSize.height(), 0, 0));
    m_scaledPictureSize = m_scaledPicture ? plotSize : QSize();
}

void CWaveWnd::FillPlotBackground()
{
    const RECT plot = ToDevice(m_plotRect);
    if (IsRectEmpty(plot))
        return;
    const int stride = m_bufferWidth * 4;
    if (m_plotBackgroundMode == PlotPicture) {
        EnsureScaledPicture();
        if (m_scaledPicture) {
            const RECT source{0, 0, RectWidth(plot), RectHeight(plot)};
            auto* destination = static_cast<std::uint8_t*>(m_backPixels) + std::size_t(plot.top) * stride +
                                std::size_t(plot.left) * 4;
            if (Gdiplus_GetBitmapBuffer(m_scaledPicture.get(), &source, PixelFormat32bppARGB, destination, stride))
                return;
        }
    }
    DrawColorOnBuffer(m_plotBackgroundColor, m_backPixels, plot, stride, m_bufferHeight);
}

void CWaveWnd::RenderBackground()
{
    if (!m_backPixels)
        return;
    Layout();
    const int cx = m_bufferWidth;
    const int cy = m_bufferHeight;
    const int stride = cx * 4;
    DrawColorOnBuffer(m_backColor, m_backPixels, RECT{0, 0, cx, cy}, stride, cy);
    if (m_plotBackgroundOn)
        FillPlotBackground();
    if (m_gridOn)
        DrawGrid(m_backPixels, cx, cy, m_plotRect, m_gridCellWidth, m_gridCellHeight, m_gridDashLength, m_gridColor,
                 m_gridCenterColor, m_pixelRatio);

    QPainter painter(&m_backImage);
    if (m_drawHook)
        m_drawHook->OnDrawBackground(painter, m_backBitmap.get(), m_backPixels, cx, cy, stride,
                                     m_axes[AxisLeft].strip, m_axes[AxisTop].strip, m_axes[AxisRight].strip,
                                     m_axes[AxisBottom].strip, m_plotRect, m_drawHookUser);
    DrawAxisLabels(painter);
    DrawTextOverlays(painter);
    painter.end();
    MakeOpaque(m_backPixels, std::size_t(cx) * std::size_t(cy));
}

void CWaveWnd::DrawAxisLabels(QPainter& painter)
{
    painter.setBackgroundMode(Qt::TransparentMode);
    for (int id : {AxisLeft, AxisTop, AxisRight, AxisBottom}) {
        const AxisStrip& strip = m_axes[id];
        if (!strip.shown)
            continue;
        painter.setFont(strip.axis.GetFont());
        painter.setPen(ToQColor(strip.axis.GetTextColor()));
        strip.axis.DrawLabels(painter);
    }
}

void CWaveWnd::DrawTextOverlays(QPainter& painter)
{
    CAutoBaseLock hold(m_overlayLock);
    if (m_overlays.GetCount() == 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (int i = 0; i < m_overlays.GetCount(); ++i) {
        const auto* overlay = static_cast<const WaveTextOverlay*>(m_overlays.GetAt(i));
        if (!overlay || overlay->text.isEmpty())
            continue;
        RECT layout = m_plotRect;
        if (!IsRectEmpty(overlay->layout) && !BoundRect(&layout, overlay->layout, m_plotRect))
            continue;  // Entirely outside the plot: nothing to show.
        painter.setFont(overlay->font);
        painter.setPen(QColor::fromRgba(overlay->argb));
        painter.drawText(QRect(layout.left, layout.top, RectWidth(layout), RectHeight(layout)), overlay->flags,
                         overlay->text);
    }
    painter.restore();
}

void CWaveWnd::DrawGrid(void* pixels, int width, int height, const RECT& plot, double cellWidth, double cellHeight,
                        int dashLength, DWORD gridColor, DWORD centerColor, double ratio)
{
    const LONG W = RectWidth(plot);
    const LONG H = RectHeight(plot);
    // Cells below a pixel would only smear the plot and could make millions of lines.
    if (!pixels || width <= 0 || height <= 0 || W <= 0 || H <= 0 || !(cellWidth >= 1.0) || !(cellHeight >= 1.0) ||
        !std::isfinite(cellWidth) || !std::isfinite(cellHeight))
        return;
    ratio = UsableRatio(ratio);
    dashLength = std::clamp(dashLength, 1, kMaxDashLength);
    const int stride = width * 4;
    const LONG columns = LONG(W / cellWidth);
    const LONG xMargin = (W - LONG(columns * cellWidth)) / 2;
    const LONG rows = LONG(H / cellHeight);
    const LONG yMargin = (H - LONG(rows * cellHeight)) / 2;
    const int deviceDash = std::clamp(int(std::lround(dashLength * ratio)), 1, kMaxDashLength);
    const std::vector<DWORD> gridPattern(std::size_t(deviceDash), gridColor);
    const std::vector<DWORD> centerPattern(std::size_t(deviceDash), centerColor);

    // The lines are placed in logical pixels, as the axes are; each logical pixel of a
    // line (both ends included) becomes the block of device pixels that it covers.
    auto device = [ratio](LONG logical) {
        return ratio == 1.0 ? logical : LONG(std::lround(double(logical) * ratio));
    };
    auto line = [&](LONG x0, LONG y0, LONG x1, LONG y1, const std::vector<DWORD>& pattern) {
        const bool horizontal = y0 == y1;
        const LONG across0 = device(horizontal ? y0 : x0);
        const LONG across1 = device((horizontal ? y0 : x0) + 1);
        const LONG along0 = device(horizontal ? x0 : y0);
        const LONG along1 = device((horizontal ? x1 : y1) + 1) - 1;
        for (LONG a = across0; a < across1; ++a) {
            const POINT start = horizontal ? POINT{along0, a} : POINT{a, along0};
            const POINT end = horizontal ? POINT{along1, a} : POINT{a, along1};
            DrawLineOnBuffer(pixels, start, end, width, height, stride, 4, deviceDash, pattern.data(), 0);
        }
    };
    for (LONG i = 0; i <= rows; ++i) {
        const LONG y = plot.top + LONG(i * cellHeight + yMargin);
        line(plot.left, y, plot.right, y, gridPattern);
    }
    line(plot.left, plot.top + H / 2, plot.right, plot.top + H / 2, centerPattern);
    for (LONG i = 0; i <= columns; ++i) {
        const LONG x = plot.left + LONG(i * cellWidth + xMargin);
        line(x, plot.top, x, plot.bottom, gridPattern);
    }
    line(plot.left + W / 2, plot.top, plot.left + W / 2, plot.bottom, centerPattern);
}
