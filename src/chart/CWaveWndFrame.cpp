// Frame composition: waves, markers and title over a copy of the back buffer.
#include <QTransform>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "CWaveToolTip.h"
#include "CWaveWnd.h"
#include "CardinalSpline.h"
#include "IWaveDrawInterface.h"
#include "WaveMath.h"
#include "WavePoint.h"
#include "WavePointFilter.h"

namespace {

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

void CWaveWnd::RequestRepaint()
{
    m_repaintRequest.Request();
}

void CWaveWnd::HoldRepaints(bool held)
{
    m_repaintRequest.Hold(held);
}

void CWaveWnd::ReleaseRepaint()
{
    m_repaintRequest.Release();
}

void CWaveWnd::paintEvent(QPaintEvent* /*event*/)
{
    m_repaintRequest.Painted();
    // Moved to a screen of another density (or the density changed): buffers to match it.
    if (UsableRatio(devicePixelRatioF()) != m_pixelRatio && m_clientWidth > 0 && m_clientHeight > 0)
        RecreateBitmaps();
    QPainter painter(this);
    if (!m_frontPixels) {
        // No buffers (zero size or too large to allocate): show the plain window colour.
        painter.fillRect(rect(), QColor::fromRgb(m_backColor | 0xFF000000u));
        return;
    }
    ComposeFrame();
    if (m_pixelRatio == 1.0) {
        painter.drawImage(QPoint(0, 0), m_frontImage);
        return;
    }
    // An image of another ratio than 1 takes the raster engine's scaling path even where
    // it comes out one to one; the same pixels at ratio 1, with the device's scale undone,
    // are a plain copy.
    const QImage pixels(static_cast<const uchar*>(m_frontPixels), m_bufferWidth, m_bufferHeight, m_bufferWidth * 4,
                        QImage::Format_RGB32);
    painter.setWorldTransform(QTransform::fromScale(1.0 / m_pixelRatio, 1.0 / m_pixelRatio));
    painter.drawImage(QPoint(0, 0), pixels);
}

void CWaveWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const QSize size = event->size();
    if (size.width() == m_clientWidth && size.height() == m_clientHeight)
        return;
    m_clientWidth = size.width();
    m_clientHeight = size.height();
    RecreateBitmaps();
}

void CWaveWnd::ComposeFrame()
{
    if (!m_frontPixels || !m_backPixels)
        return;
    if (m_overlaysChanged.exchange(false, std::memory_order_acq_rel))
        m_dirty = true;
    const bool rendered = m_dirty;
    if (m_dirty) {
        RenderBackground();
        m_dirty = false;
    }
    PrepareWavePoints();
    // The front buffer is the back buffer plus the last frame's waves, markers and title:
    // only where those can have been drawn, last frame or this one, needs the back
    // buffer again. Everything when the back buffer is new.
    // The whole buffer, even past the last logical pixel when the ratio is not whole.
    const RECT client{0, 0, m_clientWidth + 1, m_clientHeight + 1};
    const RECT overlays = OverlayArea();
    BandRows bandRows;
    const bool banded = CurveBandRows(overlays, bandRows);
    if (rendered)
        CopyBackRows(client);
    else if (banded && m_lastBanded && SameRect(overlays, m_lastOverlayArea))
        RestoreBands(overlays, bandRows, m_lastBandRows);
    else
        CopyBackRows(RECT{std::min(overlays.left, m_lastOverlayArea.left), std::min(overlays.top, m_lastOverlayArea.top),
                          std::max(overlays.right, m_lastOverlayArea.right),
                          std::max(overlays.bottom, m_lastOverlayArea.bottom)});
    m_lastOverlayArea = overlays;
    m_lastBandRows = bandRows;
    m_lastBanded = banded;
    if (m_markersOn)
        DrawMarkers();

    std::uint64_t mostWindows = 0;
    QPainter painter(&m_frontImage);
    DrawWaves(painter, mostWindows);
    if (m_titleOn)
        DrawTitle(painter, mostWindows);
    painter.end();

    // An open read-out follows the live data under a still pointer.
    if (AnyToolTipWave() && m_toolTipActive && m_toolTip && m_toolTip->isVisible())
        UpdateToolTip();
}

void CWaveWnd::PrepareWavePoints()
{
    const int count = GetWaveCount();
    const int plotWidth = RectWidth(m_plotRect);
    for (int i = 0; i < count; ++i) {
        WaveSlot& slot = m_slots[i];
        if (!slot.visible)
            continue;
        slot.points.RemoveAll();
        slot.buffer.BuildPoints(m_plotRect, m_zoom, slot.points);
        DropPointsOutside(slot.points, m_plotRect, m_pointScratch);
        ThinPoints(slot.points, plotWidth, m_maxPoints, m_pointScratch);
    }
}

void CWaveWnd::DrawWaves(QPainter& painter, std::uint64_t& mostWindows)
{
    const int count = GetWaveCount();
    for (int i = 0; i < count; ++i) {
        WaveSlot& slot = m_slots[i];
        if (!slot.visible)
            continue;
        bool drawn = false;
        if (m_drawHook) {
            m_drawHook->OnBeforeDrawWave(i, m_plotRect, slot.points, m_drawHookUser);
            drawn = m_drawHook->OnDrawWave(painter, m_plotRect, i, slot.points, m_lineWidth, slot.color,
                                           m_smoothCurve, m_drawHookUser) != 0;
        }
        if (!drawn)
            DrawWave(painter, slot.points, m_lineWidth, slot.color, m_smoothCurve);
        mostWindows = std::max(mostWindows, std::uint64_t(slot.buffer.GetWindowsReceived()));
    }
}

void CWaveWnd::DrawWave(QPainter& painter, const CPtrArrayCtrl& points, int lineWidth, COLORREF color, bool smooth)
{
    const int count = points.GetCount();
    // One point is no line: a polyline of it draws nothing, whatever the pen.
    if (count < 2)
        return;
    // UI thread only; reused so that frames do not allocate.
    static thread_local std::vector<QPoint> plain;
    plain.resize(std::size_t(count));
    const QColor pen(GetRValue(color), GetGValue(color), GetBValue(color));
    painter.save();
    painter.setBrush(Qt::NoBrush);
    // Each run between breaks is a line of its own.
    int runLength = 0;
    for (int i = 0; i <= count; ++i) {
        if (i < count && !IsWaveBreak(points.GetAt(i))) {
            const POINT p = UnpackWavePoint(points.GetAt(i));
            plain[std::size_t(runLength++)] = QPoint(p.x, p.y);
            continue;
        }
        if (runLength >= 2)
            DrawRun(painter, plain.data(), runLength, lineWidth, pen, smooth);
        runLength = 0;
    }
    painter.restore();
}

void CWaveWnd::DrawRun(QPainter& painter, const QPoint* points, int count, int lineWidth, const QColor& pen, bool smooth)
{
    const double width = std::max(lineWidth, 0);
    if (smooth) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(pen, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        painter.drawPath(MakeCardinalSpline(points, count));
    } else {
        // A wide solid screen pen: round ends and joins, no anti-aliasing.
        painter.setRenderHint(QPainter::Antialiasing, false);
        const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
        if (ratio != 1.0 && std::isfinite(ratio) && ratio > 0.0) {
            DrawRunOnDevicePixels(painter, points, count, lineWidth, pen, ratio);
            return;
        }
        if (lineWidth > 1)
            DrawWideRoundPolyline(painter, points, count, lineWidth, pen);
        else {
            painter.setPen(QPen(pen, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.drawPolyline(points, count);
        }
    }
}

void CWaveWnd::DrawRunOnDevicePixels(QPainter& painter, const QPoint* points, int count, int lineWidth,
                                     const QColor& pen, double ratio)
{
    // Scaled as a whole, the joins' whole-pixel rows would be logical pixels: a staircase
    // of big steps. Drawn on device pixels instead, the line has the round shape of its
    // device width, ratio times the logical one.
    static thread_local std::vector<QPoint> device;  // UI thread only, reused
    device.resize(std::size_t(count));
    const int deviceWidth = lineWidth <= 0 ? 0 : std::max(1, int(std::lround(lineWidth * ratio)));
    // An aliased line of odd width is centred on its pixel's centre, one of even width on
    // the pixel's corner; the device line keeps the centre of the logical one.
    const double logicalShift = std::max(lineWidth, 1) % 2 ? 0.5 : 0.0;
    const double deviceShift = std::max(deviceWidth, 1) % 2 ? 0.5 : 0.0;
    for (int i = 0; i < count; ++i)
        device[std::size_t(i)] = QPoint(int(std::lround((points[i].x() + logicalShift) * ratio - deviceShift)),
                                        int(std::lround((points[i].y() + logicalShift) * ratio - deviceShift)));
    const QTransform world = painter.worldTransform();
    painter.setWorldTransform(QTransform::fromScale(1.0 / ratio, 1.0 / ratio) * world);
    if (deviceWidth > 1)
        DrawWideRoundPolyline(painter, device.data(), count, deviceWidth, pen);
    else {
        painter.setPen(QPen(pen, double(deviceWidth), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(device.data(), count);
    }
    painter.setWorldTransform(world);
}

namespace {

// The pixels of a round join of the given width, as rows relative to the vertex: a pixel
// belongs when its centre lies within half the width of the line's centre. An aliased
// line of odd width is centred on the vertex pixel's centre, one of even width on its
// top-left corner. (The raster engine's small ellipses leave out pixels that the line's
// own round join would cover, which showed as specks at the bends.)
const std::vector<QRect>& JoinRows(int lineWidth)
{
    static thread_local int madeFor = 0;  // UI thread only, remade on a width change
    static thread_local std::vector<QRect> rows;
    if (madeFor == lineWidth)
        return rows;
    rows.clear();
    const double centre = lineWidth % 2 ? 0.5 : 0.0;
    const double radiusSquared = lineWidth * lineWidth / 4.0 + 1e-9;
    const int reach = lineWidth / 2 + 1;
    for (int dy = -reach; dy <= reach; ++dy) {
        int first = 0, last = -1;
        for (int dx = -reach; dx <= reach; ++dx) {
            const double cx = dx + 0.5 - centre, cy = dy + 0.5 - centre;
            if (cx * cx + cy * cy > radiusSquared)
                continue;
            if (last < first)
                first = dx;
            last = dx;
        }
        if (last >= first)
            rows.emplace_back(first, dy, last - first + 1, 1);
    }
    madeFor = lineWidth;
    return rows;
}

}  // namespace

void CWaveWnd::DrawWideRoundPolyline(QPainter& painter, const QPoint* points, int count, int lineWidth,
                                     const QColor& color)
{
    // The same shape as a round-capped, round-joined wide polyline, drawn as flat-capped
    // segments plus joins. The raster engine fills flat-capped lines and whole-pixel
    // rectangles directly, where a round pen goes through the path stroker (an outline
    // with arcs at every join, then a path fill): a new frame comes with every report,
    // and that stroke was most of a frame's cost.
    //
    // Where the line bends gently, the two flat ends leave a thin wedge on the outer side
    // of the bend that the round join would fill. Both segments are lengthened into it by
    // a quarter of the width, which covers the wedge of any turn up to 60 degrees; their
    // outer corners then stand at most an eighth of the half width beyond the round join
    // (a quarter pixel at the 4-pixel width), and on the inner side the lengthening lies
    // inside the other segment. The ends and the sharper turns get the round join itself.
    static thread_local std::vector<QPoint> distinct;  // UI thread only, reused
    static thread_local std::vector<char> gentle;
    static thread_local std::vector<QLineF> segments;
    static thread_local std::vector<QRect> joins;
    distinct.clear();
    gentle.clear();
    segments.clear();
    joins.clear();
    for (int i = 0; i < count; ++i)
        if (distinct.empty() || points[i] != distinct.back())
            distinct.push_back(points[i]);
    const std::size_t last = distinct.size() - 1;
    const std::vector<QRect>& rows = JoinRows(lineWidth);
    for (std::size_t i = 0; i <= last; ++i) {
        bool turnsGently = false;
        if (i != 0 && i != last) {
            const QPoint a = distinct[i] - distinct[i - 1];
            const QPoint b = distinct[i + 1] - distinct[i];
            const std::int64_t dot = std::int64_t(a.x()) * b.x() + std::int64_t(a.y()) * b.y();
            const std::int64_t aa = std::int64_t(a.x()) * a.x() + std::int64_t(a.y()) * a.y();
            const std::int64_t bb = std::int64_t(b.x()) * b.x() + std::int64_t(b.y()) * b.y();
            // cos(turn) >= 1/2, in integers.
            turnsGently = dot > 0 && 4 * double(dot) * double(dot) >= double(aa) * double(bb);
        }
        gentle.push_back(turnsGently ? 1 : 0);
        if (!turnsGently)
            for (const QRect& row : rows)
                joins.push_back(row.translated(distinct[i]));
    }
    const float lengthening = float(lineWidth) / 4.0f;
    segments.resize(last);
    for (std::size_t i = 1; i <= last; ++i) {
        const QPoint from = distinct[i - 1];
        const QPoint to = distinct[i];
        const float dx = float(to.x() - from.x());
        const float dy = float(to.y() - from.y());
        // Single precision: a fraction of a pixel needs no more, and it is the cheaper root.
        const float scale = lengthening / std::sqrt(dx * dx + dy * dy);
        const float backX = gentle[i - 1] ? dx * scale : 0.0f;
        const float backY = gentle[i - 1] ? dy * scale : 0.0f;
        const float onX = gentle[i] ? dx * scale : 0.0f;
        const float onY = gentle[i] ? dy * scale : 0.0f;
        segments[i - 1] = QLineF(from.x() - backX, from.y() - backY, to.x() + onX, to.y() + onY);
    }
    if (!segments.empty()) {
        painter.setPen(QPen(color, double(lineWidth), Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        painter.drawLines(segments.data(), int(segments.size()));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawRects(joins.data(), int(joins.size()));
    painter.setBrush(Qt::NoBrush);
}

void CWaveWnd::DrawMarkers()
{
    const std::int64_t plotWidth = RectWidth(m_plotRect);
    const std::int64_t plotHeight = RectHeight(m_plotRect);
    if (plotWidth <= 0 || plotHeight <= 0 || m_windowLength <= 0)
        return;
    const double pixelsPerSample = double(plotWidth) / m_windowLength;
    const int waves = GetWaveCount();
    auto* pixels = static_cast<std::uint32_t*>(m_frontPixels);
    for (int m = 0; m < m_markers.GetCount(); ++m) {
        const double sample = double(std::intptr_t(m_markers.GetAt(m)));
        const std::int64_t x = wave_math::Truncate(sample * pixelsPerSample);
        if (x < 0 || x >= plotWidth)
            continue;
        double highest = double(plotHeight);
        bool found = false;
        for (int i = 0; i < waves; ++i) {
            if (!m_slots[i].visible)
                continue;
            int s = 0;
            int type = 0;
            double value = 0.0;
            double row = 0.0;
            if (m_slots[i].buffer.ValueAt(m_plotRect, m_zoom, int(x), s, type, value, row) && row < highest) {
                highest = row;
                found = true;
            }
        }
        if (!found)
            continue;
        const std::int64_t x0 =
            std::clamp<std::int64_t>(wave_math::Truncate(sample * pixelsPerSample - m_markerWidth / 2), 0, plotWidth - 1);
        const std::int64_t x1 = std::clamp<std::int64_t>(x0 + m_markerWidth, 0, plotWidth - 1);
        // The screen copy shows no alpha; the front buffer is kept opaque.
        const std::uint32_t color = m_markerColor | 0xFF000000u;
        const RECT bar = ToDevice(RECT{LONG(m_plotRect.left + x0), LONG(m_plotRect.top + std::int64_t(highest)),
                                       LONG(m_plotRect.left + x1 + 1), m_plotRect.bottom});
        const int left = std::clamp<int>(bar.left, 0, m_bufferWidth);
        const int right = std::clamp<int>(bar.right, left, m_bufferWidth);
        const int bottom = std::clamp<int>(bar.bottom, 0, m_bufferHeight);
        for (int y = std::max<int>(bar.top, 0); y < bottom; ++y) {
            std::uint32_t* row = pixels + std::size_t(y) * std::size_t(m_bufferWidth);
            std::fill(row + left, row + right, color);
        }
    }
}

void CWaveWnd::DrawTitle(QPainter& painter, std::uint64_t windows)
{
    const QString text = m_titlePrefix + QString::number(static_cast<qulonglong>(windows));
    painter.save();
    painter.setFont(m_titleFont);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setPen(QColor(GetRValue(m_titleColor), GetGValue(m_titleColor), GetBValue(m_titleColor)));
    painter.drawText(QRect(m_plotRect.left, m_plotRect.top, RectWidth(m_plotRect), RectHeight(m_plotRect)),
                     m_titleFormat, text);
    painter.restore();
}
