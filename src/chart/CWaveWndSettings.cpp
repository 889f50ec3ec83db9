// Settings of the sample stores, the axes and the view: what the owner configures.
#include <algorithm>

#include "CWaveWnd.h"

void CWaveWnd::SetSampleType(int type)
{
    for (int i = 0; i < kMaxWaves; ++i)
        m_slots[i].buffer.SetSampleType(type);
}

void CWaveWnd::SetValueRange(double low, double high)
{
    m_yLow = low;
    m_yHigh = high;
    SetValueRangeOnAll(low, high);
    MarkDirty();
}

void CWaveWnd::SetValueRangeOnAll(double low, double high)
{
    for (int i = 0; i < kMaxWaves; ++i)
        m_slots[i].buffer.SetValueRange(low, high);
    m_axes[AxisLeft].axis.SetRange(low, high);
    m_axes[AxisRight].axis.SetRange(low, high);
}

void CWaveWnd::SetSampleCount(int n)
{
    const int m = std::max(n, 1);
    m_windowLength = m;
    m_zoom = 1.0;
    m_offset = 0;
    m_xStart = 0.0;
    m_xEnd = m - 1;
    for (int i = 0; i < kMaxWaves; ++i)
        m_slots[i].buffer.SetSampleCount(m);
    // Folding by the window length keeps the sample numbers within one window when panning.
    for (int id : {AxisTop, AxisBottom}) {
        m_axes[id].axis.SetRange(0.0, m - 1);
        m_axes[id].axis.SetWrap(0.0, m - 1, m);
    }
    MarkDirty();
}

void CWaveWnd::SetWholeWindows(bool on)
{
    for (int i = 0; i < kMaxWaves; ++i)
        m_slots[i].buffer.SetWholeWindows(on);
}

void CWaveWnd::SetTitle(const QString& prefix, const QFont& font, COLORREF color, int alignment)
{
    m_titlePrefix = prefix;
    m_titleFont = font;
    m_titleColor = color;
    m_titleFormat = alignment;
}

void CWaveWnd::SetAxis(int axis, bool shown, int size)
{
    if (axis < AxisLeft || axis > AxisBottom)
        return;
    m_axes[axis].shown = shown;
    m_axes[axis].size = std::max(size, 0);
    MarkDirty();
}

void CWaveWnd::SetXAxisFont(int pointTenths, const QString& face, COLORREF color, int labelGap, int decimals)
{
    for (int id : {AxisTop, AxisBottom}) {
        m_axes[id].axis.SetFont(pointTenths, face);
        m_axes[id].axis.SetTextColor(color);
        m_axes[id].axis.SetLabelGap(labelGap);
        m_axes[id].axis.SetDecimals(decimals);
    }
    MarkDirty();
}

void CWaveWnd::SetYAxisFont(int pointTenths, const QString& face, COLORREF color, int labelGap, int decimals)
{
    for (int id : {AxisLeft, AxisRight}) {
        m_axes[id].axis.SetFont(pointTenths, face);
        m_axes[id].axis.SetTextColor(color);
        m_axes[id].axis.SetLabelGap(labelGap);
        m_axes[id].axis.SetDecimals(decimals);
    }
    MarkDirty();
}

void CWaveWnd::SetXRange(double start, double end)
{
    m_xStart = start;
    m_xEnd = end;
    m_zoom = 1.0;
    m_offset = 0;
    for (int i = 0; i < kMaxWaves; ++i) {
        m_slots[i].buffer.SetOffset(0);
        m_slots[i].buffer.SetSpan(1);
    }
    for (int id : {AxisTop, AxisBottom}) {
        m_axes[id].axis.SetRange(start, end);
        m_axes[id].axis.SetWrap(start, end, -1.0);
    }
    MarkDirty();
}

void CWaveWnd::SetXTickCount(int n)
{
    m_axes[AxisTop].axis.SetLabelCount(n);
    m_axes[AxisBottom].axis.SetLabelCount(n);
    MarkDirty();
}

void CWaveWnd::SetYTickCount(int n)
{
    m_axes[AxisLeft].axis.SetLabelCount(n);
    m_axes[AxisRight].axis.SetLabelCount(n);
    MarkDirty();
}

void CWaveWnd::SetXLabels(const CPtrArrayCtrl* labels)
{
    m_axes[AxisTop].axis.SetLabels(labels);
    m_axes[AxisBottom].axis.SetLabels(labels);
    MarkDirty();
}

void CWaveWnd::SetYAxisRange(double low, double high)
{
    m_axes[AxisLeft].axis.SetRange(low, high);
    m_axes[AxisLeft].axis.SetWrap(low, high, -1.0);
    m_axes[AxisRight].axis.SetRange(low, high);
    MarkDirty();
}

void CWaveWnd::SetInteraction(bool yWheelZoom, bool yDrag, bool xWheelZoom, bool xDrag)
{
    m_yWheelZoom = yWheelZoom;
    m_yDrag = yDrag;
    m_xWheelZoom = xWheelZoom;
    m_xDrag = xDrag;
    if (!(yWheelZoom || yDrag || xWheelZoom || xDrag))
        m_dragging = false;
}
