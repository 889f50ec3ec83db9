// The hover read-out: the value of the wave nearest to the pointer.
#include <QMouseEvent>
#include <cmath>

#include "CWaveToolTip.h"
#include "CWaveWnd.h"
#include "IWaveTipInterface.h"
#include "WaveMath.h"
#include "WaveTipFormat.h"

void CWaveWnd::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (m_dragging && AnyVisibleWave()) {
        ApplyDrag(point);
        return;
    }
    TrackToolTip(point);
}

void CWaveWnd::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (AnyToolTipWave() && m_toolTipActive)
        HideToolTip();
}

void CWaveWnd::TrackToolTip(const QPoint& point)
{
    if (!AnyToolTipWave())
        return;
    if (!PlotContains(point)) {
        HideToolTip();
        return;
    }
    if (point == m_lastToolTipPoint)
        return;
    m_lastToolTipPoint = point;
    UpdateToolTip();
}

void CWaveWnd::HideToolTip()
{
    if (m_toolTip)
        m_toolTip->Activate(false);
    m_toolTipActive = false;
}

void CWaveWnd::UpdateToolTip()
{
    // Before InitChart there is no read-out window, and so no read-out.
    if (!m_toolTip)
        return;
    const int rx = m_lastToolTipPoint.x() - m_plotRect.left;
    const int ry = m_lastToolTipPoint.y() - m_plotRect.top;
    double best = m_clientHeight;
    int found = -1;
    int foundSample = 0;
    double foundValue = 0.0;
    const int count = GetWaveCount();
    for (int i = 0; i < count; ++i) {
        WaveSlot& slot = m_slots[i];
        if (!slot.visible || !slot.toolTipOn)
            continue;
        int sample = 0;
        int type = 0;
        double value = 0.0;
        double row = 0.0;
        // Strictly nearer only: of two equally near waves the lower slot wins.
        if (slot.buffer.ValueAt(m_plotRect, m_zoom, rx, sample, type, value, row) && std::fabs(ry - row) < best) {
            best = std::fabs(ry - row);
            found = i;
            foundSample = sample;
            foundValue = value;
        }
    }
    if (found < 0)
        return;

    const std::int64_t length = std::max(m_windowLength, 1);
    const std::int64_t base = wave_math::PositiveModulo(length - m_offset, length);
    const int shown = int(wave_math::PositiveModulo(base + foundSample, length));
    const QString text = m_tipHook ? m_tipHook->GetTipText(found, shown, m_offset, m_windowLength, foundValue,
                                                           m_tipHookUser)
                                   : FormatWaveTip(m_slots[found].toolTipFormat, found, shown, foundValue);
    m_toolTip->SetTipText(text);
    if (!m_toolTipActive) {
        m_toolTip->Activate(true);
        m_toolTipActive = true;
    }
    m_toolTip->RelayMouseMove(m_lastToolTipPoint);
}
