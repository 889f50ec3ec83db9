// Frame composition: waves, markers and title over a copy of the back buffer.
#include <QMetaObject>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
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

void CWaveWnd::RequestRepaint()
{
    // Any thread. Only the caller that sets the flag queues the update, so a burst of
    // pushes costs one repaint; the paint clears the flag before it reads the buffers,
    // so a push during a paint queues the next one.
    if (m_repaintPending.exchange(true, std::memory_order_acq_rel))
        return;
    QMetaObject::invokeMethod(this, [this] { update(); }, Qt::QueuedConnection);
}

void CWaveWnd::paintEvent(QPaintEvent* /*event*/)
{
    m_repaintPending.store(false, std::memory_order_release);
    QPainter painter(this);
    if (!m_frontPixels) {
        // No buffers (zero size or too large to allocate): show the plain window colour.
        painter.fillRect(rect(), QColor::fromRgb(m_backColor | 0xFF000000u));
        return;
    }
    ComposeFrame();
    painter.drawImage(QPoint(0, 0), m_frontImage);
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
    if (m_dirty) {
        RenderBackground();
        m_dirty = false;
    }
    PrepareWavePoints();
    std::memcpy(m_frontPixels, m_backPixels, std::size_t(m_clientWidth) * std::size_t(m_clientHeight) * 4);
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
    if (count <= 0)
        return;
    // UI thread only; reused so that frames do not allocate.
    static thread_local std::vector<QPoint> plain;
    plain.resize(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        const POINT p = UnpackWavePoint(points.GetAt(i));
        plain[std::size_t(i)] = QPoint(p.x, p.y);
    }
    const QColor pen(GetRValue(color), GetGValue(color), GetBValue(color));
    const double width = std::max(lineWidth, 0);
    painter.save();
    painter.setBrush(Qt::NoBrush);
    if (smooth) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(pen, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        painter.drawPath(MakeCardinalSpline(plain.data(), count));
    } else {
        // A wide solid screen pen: round ends and joins, no anti-aliasing.
        painter.setRenderHint(QPainter::Antialiasing, false);
        if (lineWidth > 1)
            DrawWideRoundPolyline(painter, plain.data(), count, lineWidth, pen);
        else if (count > 1) {
            painter.setPen(QPen(pen, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.drawPolyline(plain.data(), count);
        }
    }
    painter.restore();
}

void CWaveWnd::DrawWideRoundPolyline(QPainter& painter, const QPoint* points, int count, int lineWidth,
                                     const QColor& color)
{
    // The same shape as a round-capped, round-joined wide polyline: flat-capped segments
    // with a disc of the line's width on the ends and the turns. The raster engine fills
    // flat-capped lines and small whole-pixel discs directly, where a round pen goes
    // through the path stroker (an outline with arcs at every join, then a path fill):
    // a new frame comes with every report, and that stroke was most of a frame's cost.
    static thread_local std::vector<QPoint> distinct;  // UI thread only, reused
    static thread_local std::vector<QLine> segments;
    distinct.clear();
    segments.clear();
    for (int i = 0; i < count; ++i)
        if (distinct.empty() || points[i] != distinct.back())
            distinct.push_back(points[i]);
    for (std::size_t i = 1; i < distinct.size(); ++i)
        segments.emplace_back(distinct[i - 1], distinct[i]);
    if (!segments.empty()) {
        painter.setPen(QPen(color, double(lineWidth), Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        painter.drawLines(segments.data(), int(segments.size()));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    const int half = lineWidth / 2;
    const std::size_t last = distinct.size() - 1;
    for (std::size_t i = 0; i <= last; ++i) {
        // Where the line turns by less than 60 degrees the two flat ends leave a notch
        // of at most a quarter of the half width (the round join's sagitta), which no
        // pixel shows: only the ends and the sharper turns need their disc.
        if (i != 0 && i != last) {
            const QPoint a = distinct[i] - distinct[i - 1];
            const QPoint b = distinct[i + 1] - distinct[i];
            const std::int64_t dot = std::int64_t(a.x()) * b.x() + std::int64_t(a.y()) * b.y();
            const std::int64_t aa = std::int64_t(a.x()) * a.x() + std::int64_t(a.y()) * a.y();
            const std::int64_t bb = std::int64_t(b.x()) * b.x() + std::int64_t(b.y()) * b.y();
            if (dot > 0 && 4 * double(dot) * double(dot) >= double(aa) * double(bb))
                continue;
        }
        painter.drawEllipse(QRect(distinct[i].x() - half, distinct[i].y() - half, lineWidth, lineWidth));
    }
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
        for (std::int64_t y = m_plotRect.top + std::int64_t(highest); y < m_plotRect.bottom; ++y) {
            std::uint32_t* row = pixels + y * m_clientWidth + m_plotRect.left;
            std::fill(row + x0, row + x1 + 1, color);
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
