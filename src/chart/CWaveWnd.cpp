// Construction of the chart window, its waves and the owner's drawing facilities.
#include "CWaveWnd.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>
#include <cmath>

#include "CWaveToolTip.h"
#include "GdiplusApi.h"
#include "PixelBuffer.h"
#include "WaveTipFormat.h"

namespace {

// The dialog face colour as a pixel value (0x00RRGGBB), like a system colour.
DWORD SystemFaceColor()
{
    return QApplication::palette().color(QPalette::Window).rgb() & 0x00FFFFFFu;
}

}  // namespace

void CWaveWnd::BitmapDeleter::operator()(Gdiplus::Bitmap* bitmap) const
{
    Gdiplus_DeleteBitmap(bitmap);
}

CWaveWnd::CWaveWnd(QWidget* parent) : QWidget(parent), m_slots(new WaveSlot[kMaxWaves])
{
    for (int i = 0; i < kMaxWaves; ++i) {
        m_slots[i].color = gCommonColorTable[i % kCommonColorRows][(i / kCommonColorRows) % kCommonColorColumns];
        m_slots[i].toolTipFormat = QString::fromLatin1(kDefaultWaveTipFormat);
    }
    m_backColor = SystemFaceColor();
    m_titleFont = font();

    for (int id : {AxisLeft, AxisRight}) {
        AxisStrip& strip = m_axes[id];
        strip.size = 40;
        strip.axis.SetOrientation(CWaveCoordinate::kVertical);
        strip.axis.SetSide(id == AxisLeft ? CWaveCoordinate::kLeftOrTop : CWaveCoordinate::kRightOrBottom);
        strip.axis.SetLabelCount(5);
        strip.axis.SetRange(-32767.0, 32767.0);
    }
    for (int id : {AxisTop, AxisBottom}) {
        AxisStrip& strip = m_axes[id];
        strip.size = 20;
        strip.axis.SetOrientation(CWaveCoordinate::kHorizontal);
        strip.axis.SetSide(id == AxisTop ? CWaveCoordinate::kLeftOrTop : CWaveCoordinate::kRightOrBottom);
        strip.axis.SetLabelCount(22);
        strip.axis.SetRange(0.0, 63.0);
        strip.axis.SetWrap(0.0, 63.0, 63.0);
    }

    // Every pixel comes from the front buffer, so Qt need not clear anything first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // The read-out follows the pointer without a button held.
    setMouseTracking(true);
}

CWaveWnd::~CWaveWnd()
{
    FreeOverlays();
    DeleteBitmaps();
}

int CWaveWnd::SlotIndex(int wave)
{
    return std::clamp(wave, 0, kMaxWaves - 1);
}

int CWaveWnd::AxisIndex(int axis)
{
    return std::clamp(axis, 0, 3);
}

void CWaveWnd::MarkDirty()
{
    m_dirty = true;
    update();
}

bool CWaveWnd::AnyVisibleWave() const
{
    const int count = GetWaveCount();
    for (int i = 0; i < count; ++i)
        if (m_slots[i].visible)
            return true;
    return false;
}

bool CWaveWnd::AnyToolTipWave() const
{
    const int count = GetWaveCount();
    for (int i = 0; i < count; ++i)
        if (m_slots[i].toolTipOn)
            return true;
    return false;
}

bool CWaveWnd::PlotContains(const QPoint& p) const
{
    return p.x() >= m_plotRect.left && p.x() < m_plotRect.right && p.y() >= m_plotRect.top &&
           p.y() < m_plotRect.bottom;
}

int CWaveWnd::ToDevice(int logical) const
{
    // Rounding each edge, not each size, keeps neighbouring areas seamless at 1.5x.
    return m_pixelRatio == 1.0 ? logical : int(std::lround(logical * m_pixelRatio));
}

RECT CWaveWnd::ToDevice(const RECT& logical) const
{
    return RECT{ToDevice(logical.left), ToDevice(logical.top), ToDevice(logical.right), ToDevice(logical.bottom)};
}

void CWaveWnd::SetWaveCount(int n)
{
    n = std::clamp(n, 0, kMaxWaves);
    m_waveCount.store(n, std::memory_order_relaxed);
    for (int i = 0; i < n; ++i)
        m_slots[i].visible = true;
}

void CWaveWnd::SetWaveColor(int wave, COLORREF color)
{
    if (wave >= 0 && wave < kMaxWaves)
        m_slots[wave].color = color;
}

void CWaveWnd::SetWaveVisible(int wave, bool visible)
{
    if (wave >= 0 && wave < kMaxWaves)
        m_slots[wave].visible = visible;
}

void CWaveWnd::SetWaveToolTip(int wave, bool on, const QString& format)
{
    if (wave < 0 || wave >= kMaxWaves)
        return;
    m_slots[wave].toolTipOn = on;
    if (!format.isEmpty())
        m_slots[wave].toolTipFormat = format;
}

CWaveBuffer& CWaveWnd::WaveBuffer(int wave)
{
    return m_slots[SlotIndex(wave)].buffer;
}

void CWaveWnd::SetPlotBackground(bool on, int mode, DWORD color, Gdiplus::Bitmap* picture)
{
    m_plotBackgroundOn = on;
    m_plotBackgroundMode = mode;
    m_plotBackgroundColor = color;
    m_picture.reset(picture ? Gdiplus_CopyBitmap(picture) : nullptr);
    // The scaled copy belongs to the old picture; the next render makes a new one.
    m_scaledPicture.reset();
    m_scaledPictureSize = QSize();
}

void CWaveWnd::SetGrid(bool on, int dashLength, DWORD gridColor, DWORD centerColor)
{
    m_gridOn = on;
    m_gridDashLength = std::clamp(dashLength, 1, kMaxDashLength);
    m_gridColor = gridColor;
    m_gridCenterColor = centerColor;
}

void CWaveWnd::SetMarkers(bool on, int width, DWORD color)
{
    m_markersOn = on;
    m_markerWidth = std::max(width, 0);
    m_markerColor = color;
    update();
}

void CWaveWnd::AddMarker(int sample)
{
    m_markers.AddData(reinterpret_cast<void*>(std::intptr_t(sample)), -1);
    update();
}

void CWaveWnd::RemoveAllMarkers()
{
    m_markers.RemoveAll();
    update();
}

void CWaveWnd::AddTextOverlay(const WaveTextOverlay& overlay)
{
    {
        CAutoBaseLock hold(m_overlayLock);
        m_overlays.AddData(new WaveTextOverlay(overlay));
    }
    m_overlaysChanged.store(true, std::memory_order_release);
    RequestRepaint();
}

void CWaveWnd::RemoveAllTextOverlays()
{
    FreeOverlays();
    m_overlaysChanged.store(true, std::memory_order_release);
    RequestRepaint();
}

void CWaveWnd::FreeOverlays()
{
    CAutoBaseLock hold(m_overlayLock);
    for (int i = 0; i < m_overlays.GetCount(); ++i)
        delete static_cast<WaveTextOverlay*>(m_overlays.GetAt(i));
    m_overlays.RemoveAll();
}

void CWaveWnd::SetDrawHook(IWaveDrawInterface* hook, std::intptr_t user)
{
    m_drawHook = hook;
    m_drawHookUser = user;
    MarkDirty();
}

void CWaveWnd::SetTipHook(IWaveTipInterface* hook, std::intptr_t user)
{
    m_tipHook = hook;
    m_tipHookUser = user;
}

QString CWaveWnd::GetToolTipText() const
{
    return m_toolTip ? m_toolTip->text() : QString();
}
