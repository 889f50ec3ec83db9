// Mouse pan and zoom, each facility behind its own SetInteraction flag.
#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>
#include <cstdlib>

#include "CWaveWnd.h"
#include "WaveMath.h"

using wave_math::Nearest;
using wave_math::PositiveModulo;
using wave_math::Truncate;

namespace {

// A drag step needs more than this many pixels: a wide first step so that a click
// does not pan, then single pixels so that the view follows the pointer.
constexpr int kFirstDragThreshold = 10;
constexpr int kNextDragThreshold = 1;
constexpr double kZoomStep = 1.25;
constexpr double kZoomOutStep = 0.8;
constexpr double kMinZoom = 0.125;

}  // namespace

void CWaveWnd::mousePressEvent(QMouseEvent* event)
{
    // Left unaccepted, the press goes on to the parent and the chart takes no grab.
    event->ignore();
    if (event->button() != Qt::LeftButton || !(m_yWheelZoom || m_yDrag || m_xWheelZoom || m_xDrag))
        return;
    event->accept();
    m_lastMousePoint = event->position().toPoint();
    m_dragging = true;
    m_firstXMove = true;
    m_firstYMove = true;
}

void CWaveWnd::mouseReleaseEvent(QMouseEvent* event)
{
    event->ignore();
    if (event->button() != Qt::LeftButton || !(m_yWheelZoom || m_yDrag || m_xWheelZoom || m_xDrag))
        return;
    event->accept();
    m_dragging = false;
    m_firstXMove = false;
    m_firstYMove = false;
}

void CWaveWnd::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Not QWidget's default, which would replay the press and start a drag.
    event->ignore();
    if (event->button() != Qt::LeftButton || !(m_yWheelZoom || m_yDrag || m_xWheelZoom || m_xDrag))
        return;
    event->accept();
    ResetView();
}

void CWaveWnd::wheelEvent(QWheelEvent* event)
{
    event->ignore();
    const int delta = event->angleDelta().y();
    if (!(m_xWheelZoom || m_yWheelZoom) || delta == 0)
        return;
    const QPoint point = event->position().toPoint();
    if (!PlotContains(point) || !AnyVisibleWave())
        return;
    if (m_xWheelZoom && (event->modifiers() & Qt::ControlModifier))
        ZoomX(point, delta > 0);
    else if (m_yWheelZoom)
        ZoomY(point, delta > 0);
    else
        return;
    event->accept();
}

void CWaveWnd::ApplyDrag(const QPoint& point)
{
    if (m_yDrag) {
        const int dy = point.y() - m_lastMousePoint.y();
        if (std::abs(dy) > (m_firstYMove ? kFirstDragThreshold : kNextDragThreshold)) {
            m_firstYMove = false;
            m_lastMousePoint.setY(point.y());
            double low = 0.0;
            double high = 0.0;
            m_slots[0].buffer.GetValueRange(low, high);
            const int plotHeight = RectHeight(m_plotRect);
            if (plotHeight > 0) {
                // Dragging down raises the range, so the curve follows the pointer.
                const double delta = (high - low) / plotHeight * dy;
                SetValueRangeOnAll(low + delta, high + delta);
                MarkDirty();
            }
        }
    }
    if (m_xDrag && m_clientWidth > 0) {
        const int dx = point.x() - m_lastMousePoint.x();
        if (std::abs(dx) > (m_firstXMove ? kFirstDragThreshold : kNextDragThreshold)) {
            const double shown = m_windowLength / m_zoom;
            const std::int64_t shift = Truncate(dx * shown / m_clientWidth);
            if (shift != 0 && std::llabs(shift) < Truncate(shown)) {
                m_firstXMove = false;
                m_lastMousePoint.setX(point.x());
                // Dragging right moves the view back in history.
                CWaveCoordinate& top = m_axes[AxisTop].axis;
                top.SetRange(top.GetRangeLow() - shift, top.GetRangeHigh() - shift);
                m_axes[AxisBottom].axis.SetRange(top.GetRangeLow(), top.GetRangeHigh());
                m_offset = int(PositiveModulo(m_offset + shift, m_windowLength));
                for (int i = 0; i < kMaxWaves; ++i)
                    m_slots[i].buffer.SetOffset(m_offset);
                MarkDirty();
            }
        }
    }
}

void CWaveWnd::ZoomX(const QPoint& point, bool zoomIn)
{
    const std::int64_t L = m_windowLength;
    const int plotWidth = RectWidth(m_plotRect);
    if (plotWidth <= 1 || L <= 0)
        return;
    const double samplesPerPixel = double(L - 1) / double(plotWidth - 1) / m_zoom;
    const double d = point.x() - m_plotRect.left;
    // The sample under the pointer, modulo the window; it stays under the pointer.
    const std::int64_t anchor = PositiveModulo(Truncate(Nearest(double(L - m_offset) + d * samplesPerPixel)) + L, L);
    const double factor = zoomIn ? kZoomStep : kZoomOutStep;
    const double zoom = factor * m_zoom;
    if (zoom < kMinZoom || zoom > double(L) * 0.5)
        return;
    m_zoom = zoom;
    // The store always holds the view plus one window.
    const int span = int(std::ceil(1.0 / zoom));
    const std::int64_t t = Truncate(d * samplesPerPixel / factor + double(L - anchor));
    m_offset = int(PositiveModulo(t + L, L));
    for (int i = 0; i < kMaxWaves; ++i) {
        m_slots[i].buffer.SetSpan(span);
        m_slots[i].buffer.SetOffset(m_offset);
    }
    const double low = m_xStart - double(t) + double(L);
    const double high = (m_xEnd - m_xStart) / zoom + low;
    m_axes[AxisTop].axis.SetRange(low, high);
    m_axes[AxisBottom].axis.SetRange(low, high);
    MarkDirty();
}

void CWaveWnd::ZoomY(const QPoint& point, bool zoomIn)
{
    const int plotHeight = RectHeight(m_plotRect);
    if (plotHeight <= 0)
        return;
    double low = 0.0;
    double high = 0.0;
    m_slots[0].buffer.GetValueRange(low, high);
    // The value under the pointer stays where it is.
    const double center = (low - high) / plotHeight * (point.y() - m_plotRect.top) + high;
    const double above = zoomIn ? (high - center) / kZoomStep : (high - center) * kZoomStep;
    const double below = zoomIn ? (center - low) / kZoomStep : (center - low) * kZoomStep;
    SetValueRangeOnAll(center - below, center + above);
    MarkDirty();
}

void CWaveWnd::ResetView()
{
    m_offset = 0;
    m_zoom = 1.0;
    m_axes[AxisTop].axis.SetRange(m_xStart, m_xEnd);
    m_axes[AxisBottom].axis.SetRange(m_xStart, m_xEnd);
    for (int i = 0; i < kMaxWaves; ++i) {
        m_slots[i].buffer.SetSpan(1);
        m_slots[i].buffer.SetOffset(0);
    }
    SetValueRangeOnAll(m_yLow, m_yHigh);
    MarkDirty();
}
