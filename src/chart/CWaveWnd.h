#pragma once
#include <QImage>
#include <QString>
#include <QWidget>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "BaseLock.h"
#include "CWaveBuffer.h"
#include "CWaveCoordinate.h"
#include "GdiplusTypes.h"
#include "PtrArrayCtrl.h"
#include "PtrListCtrl.h"
#include "RepaintRequest.h"
#include "WaveTextOverlay.h"
#include "WinTypes.h"

class CWaveToolTip;
class IWaveDrawInterface;
class IWaveTipInterface;

// The waveform chart: up to 256 waves over axes, a plot background and a grid,
// with a hover read-out and optional mouse pan and zoom.
//
// Threads: the chart is a widget and lives on the UI thread; every member function
// is for the UI thread unless marked otherwise. An acquisition thread may only
// (1) push into a wave through WaveBuffer(i).Push, (2) read GetWaveCount and
// (3) call RequestRepaint. It must stop doing so before the chart is destroyed.
//
// Rendering: everything static goes into the back buffer when the chart is dirty;
// each frame copies it into the front buffer, draws the waves and shows the result.
// Both buffers are 32-bit pixels, blue in the lowest byte; their alpha byte is not
// shown, as with a plain screen copy. They hold device pixels: the client size times the
// device pixel ratio of the chart's screen, so that a high-density screen shows them
// one to one. Everything else (plot rectangle, axes, points, markers, pointer positions,
// hook rectangles, painter coordinates) is in logical client pixels.
class CWaveWnd : public QWidget {
public:
    static constexpr int kMaxWaves = 256;
    // A dash pattern longer than this looks the same and only costs memory.
    static constexpr int kMaxDashLength = 1024;
    enum AxisId { AxisLeft = 0, AxisRight = 1, AxisTop = 2, AxisBottom = 3 };
    enum PlotBackgroundMode { PlotColor = 0, PlotPicture = 1 };

    explicit CWaveWnd(QWidget* parent = nullptr);
    ~CWaveWnd() override;

    // ---- waves -------------------------------------------------------------------
    // Waves 0 .. n - 1 (n within 1 .. 256) are in use and made visible.
    void SetWaveCount(int n);
    // Any thread.
    int GetWaveCount() const { return m_waveCount.load(std::memory_order_relaxed); }
    void SetWaveColor(int wave, COLORREF color);
    void SetWaveVisible(int wave, bool visible);
    // Read-out for a wave on or off, with a printf format taking (wave, sample, value);
    // an empty format keeps the current one, an unusable one reads as the default.
    void SetWaveToolTip(int wave, bool on, const QString& format = QString());
    // The store of one wave; wave is clamped into 0 .. 255. Push on it from any thread.
    CWaveBuffer& WaveBuffer(int wave);
    // Asks for a repaint from any thread. At most one request is queued: a burst of
    // calls before the next paint costs one repaint.
    void RequestRepaint();
    // UI thread: while held, a requested repaint waits for ReleaseRepaint, so that the
    // owner can paint the chart with its other parts in one frame (a fast replay hands
    // over hundreds of reports a second).
    void HoldRepaints(bool held);
    // UI thread: repaints now if a repaint was requested since the last paint.
    void ReleaseRepaint();

    // ---- settings: these mark the chart dirty when the static picture changes ----------
    void SetSmoothCurve(bool smooth) { m_smoothCurve = smooth; }
    // At most about n points per wave across the plot; 0 or less draws every point.
    void SetMaxPoints(int n) { m_maxPoints = n; }
    // 32-bit pixel value around the plot.
    void SetBackColor(DWORD color) { m_backColor = color; }
    // The chart keeps its own copy of picture (null: none); the caller keeps its own.
    void SetPlotBackground(bool on, int mode, DWORD color, Gdiplus::Bitmap* picture);
    void SetLineWidth(int pixels) { m_lineWidth = pixels; }
    void SetGrid(bool on, int dashLength, DWORD gridColor, DWORD centerColor);
    void SetSampleType(int type);
    void SetValueRange(double low, double high);
    void SetSampleCount(int n);
    void SetWholeWindows(bool on);
    void ShowTitle(bool on) { m_titleOn = on; }
    // The title reads prefix followed by the number of whole windows received.
    void SetTitle(const QString& prefix, const QFont& font, COLORREF color, int alignment);
    void SetAxis(int axis, bool shown, int size);
    void SetXAxisFont(int pointTenths, const QString& face, COLORREF color, int labelGap, int decimals);
    void SetYAxisFont(int pointTenths, const QString& face, COLORREF color, int labelGap, int decimals);
    void SetXRange(double start, double end);
    void SetXTickCount(int n);
    void SetYTickCount(int n);
    // labels holds WaveLabel pointers; the axes keep copies.
    void SetXLabels(const CPtrArrayCtrl* labels);
    void SetYAxisRange(double low, double high);
    void SetInteraction(bool yWheelZoom, bool yDrag, bool xWheelZoom, bool xDrag);
    // Bars from the highest visible wave down to the plot bottom at the given samples.
    void SetMarkers(bool on, int width, DWORD color);
    void AddMarker(int sample);
    void RemoveAllMarkers();
    // Text overlays; any thread. They show at the next paint.
    void AddTextOverlay(const WaveTextOverlay& overlay);
    void RemoveAllTextOverlays();
    void SetDrawHook(IWaveDrawInterface* hook, std::intptr_t user);
    void SetTipHook(IWaveTipInterface* hook, std::intptr_t user);

    // ---- rendering -----------------------------------------------------------------
    // Reads the size, creates the read-out window and the buffers.
    void InitChart();
    void RecreateBitmaps();
    void Layout();
    void RenderBackground();
    // Builds one frame into the front buffer (re-rendering the background if dirty).
    void ComposeFrame();
    void UpdateToolTip();
    // plot and the cells are logical pixels; the buffer is width x height device pixels,
    // ratio device pixels to a logical one, and each grid line is one logical pixel thick.
    static void DrawGrid(void* pixels, int width, int height, const RECT& plot, double cellWidth, double cellHeight,
                         int dashLength, DWORD gridColor, DWORD centerColor, double ratio = 1.0);
    // Draws the packed points as a line, broken at every break point (WavePoint.h).
    // Points and width are logical; an aliased line is drawn on whole device pixels of
    // the painter's device (its world transform is taken to be the identity).
    static void DrawWave(QPainter& painter, const CPtrArrayCtrl& points, int lineWidth, COLORREF color, bool smooth);
    // One unbroken run of at least two points.
    static void DrawRun(QPainter& painter, const QPoint* points, int count, int lineWidth, const QColor& pen,
                        bool smooth);
    static void DrawWideRoundPolyline(QPainter& painter, const QPoint* points, int count, int lineWidth,
                                      const QColor& color);
    // An aliased run on a device of ratio device pixels to a logical one.
    static void DrawRunOnDevicePixels(QPainter& painter, const QPoint* points, int count, int lineWidth,
                                      const QColor& pen, double ratio);

    // ---- state, for owners and tests -----------------------------------------------
    // Deep copies: the live buffers must never be shared with a QImage that could detach.
    // They are device-pixel images: GetDevicePixelRatio() times the client size, with
    // that devicePixelRatio set.
    QImage GrabFrontBuffer() const { return m_frontImage.copy(); }
    QImage GrabBackBuffer() const { return m_backImage.copy(); }
    const RECT& GetPlotRect() const { return m_plotRect; }
    // The ratio the buffers were made for; a paint on a screen of another ratio remakes them.
    double GetDevicePixelRatio() const { return m_pixelRatio; }
    double GetGridCellWidth() const { return m_gridCellWidth; }
    double GetGridCellHeight() const { return m_gridCellHeight; }
    const CWaveCoordinate& GetAxis(int axis) const { return m_axes[AxisIndex(axis)].axis; }
    bool IsAxisShown(int axis) const { return m_axes[AxisIndex(axis)].shown; }
    int GetAxisSize(int axis) const { return m_axes[AxisIndex(axis)].size; }
    double GetZoom() const { return m_zoom; }
    int GetOffset() const { return m_offset; }
    int GetSampleCount() const { return m_windowLength; }
    bool IsDirty() const { return m_dirty; }
    bool IsDragging() const { return m_dragging; }
    bool IsToolTipActive() const { return m_toolTipActive; }
    QString GetToolTipText() const;
    const CPtrArrayCtrl& GetWavePoints(int wave) const { return m_slots[SlotIndex(wave)].points; }
    QSize sizeHint() const override { return QSize(600, 240); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct WaveSlot {
        bool visible = true;
        COLORREF color = 0;
        CWaveBuffer buffer;
        CPtrArrayCtrl points;
        bool toolTipOn = true;
        QString toolTipFormat;
    };
    struct AxisStrip {
        bool shown = false;
        int size = 0;
        CWaveCoordinate axis;
        RECT strip;
    };
    struct BitmapDeleter {
        void operator()(Gdiplus::Bitmap* bitmap) const;
    };
    struct DibDeleter {
        void operator()(DibBitmap* bitmap) const { DeleteObject(bitmap); }
    };
    using PictureHandle = std::unique_ptr<Gdiplus::Bitmap, BitmapDeleter>;
    using DibHandle = std::unique_ptr<DibBitmap, DibDeleter>;

    static int SlotIndex(int wave);
    static int AxisIndex(int axis);
    void MarkDirty();
    bool AnyVisibleWave() const;
    bool AnyToolTipWave() const;
    bool PlotContains(const QPoint& point) const;
    // A logical client coordinate or rectangle in buffer pixels: logical pixel p covers
    // device pixels ToDevice(p) .. ToDevice(p + 1) - 1.
    int ToDevice(int logical) const;
    // A screen's ratio, within what a buffer can sensibly be made for.
    static double UsableRatio(double ratio);
    RECT ToDevice(const RECT& logical) const;
    // Background parts (CWaveWndBackground.cpp).
    void DeleteBitmaps();
    void EnsureScaledPicture();
    void FillPlotBackground();
    void DrawAxisLabels(QPainter& painter);
    void DrawTextOverlays(QPainter& painter);
    void FreeOverlays();
    // Frame parts (CWaveWndFrame.cpp).
    void PrepareWavePoints();
    void DrawWaves(QPainter& painter, std::uint64_t& mostWindows);
    void DrawMarkers();
    void DrawTitle(QPainter& painter, std::uint64_t windows);
    // What goes back to the background each frame (CWaveWndRestore.cpp).
    // Where this frame's waves, markers and title may draw, in client pixels.
    RECT OverlayArea() const;
    // A curve crosses each column band of the plot in few rows: a frame of plain curves
    // restores only those rows of each band, last frame's and this one's. Logical rows,
    // empty when top >= bottom.
    static constexpr int kRestoreBands = 32;
    struct RowSpan {
        LONG top = 0;
        LONG bottom = 0;
    };
    using BandRows = std::array<RowSpan, kRestoreBands>;
    // The rows of area's bands that this frame's curves may draw over; false when the
    // frame may draw elsewhere too (a hook, a spline, markers or a title).
    bool CurveBandRows(const RECT& area, BandRows& rows) const;
    void RestoreBands(const RECT& area, const BandRows& rows, const BandRows& lastRows);
    // Copies area (logical) of the back buffer into the front buffer.
    void CopyBackRows(const RECT& area);
    // Pan and zoom (CWaveWndPanZoom.cpp).
    void ApplyDrag(const QPoint& point);
    void ZoomX(const QPoint& point, bool zoomIn);
    void ZoomY(const QPoint& point, bool zoomIn);
    void ResetView();
    void SetValueRangeOnAll(double low, double high);
    // Hover read-out (CWaveWndToolTip.cpp).
    void TrackToolTip(const QPoint& point);
    void HideToolTip();

    // Geometry and appearance.
    int m_clientWidth = 0;
    int m_clientHeight = 0;
    // Device pixels per logical one, and the buffers' size in device pixels.
    double m_pixelRatio = 1.0;
    int m_bufferWidth = 0;
    int m_bufferHeight = 0;
    bool m_smoothCurve = false;
    int m_maxPoints = -1;
    bool m_plotBackgroundOn = true;
    int m_plotBackgroundMode = PlotColor;
    DWORD m_plotBackgroundColor = 0;
    PictureHandle m_picture;
    PictureHandle m_scaledPicture;
    QSize m_scaledPictureSize;
    int m_lineWidth = 3;
    bool m_gridOn = true;
    int m_gridRows = 16;
    int m_gridDashLength = 1;
    DWORD m_gridColor = 0x5F20;
    DWORD m_gridCenterColor = 0xE3CF57;
    DWORD m_backColor = 0;
    RECT m_plotRect;
    double m_gridCellWidth = 8.0;
    double m_gridCellHeight = 8.0;
    std::array<AxisStrip, 4> m_axes;

    // Waves. m_waveCount is also read by the acquisition thread.
    std::atomic<int> m_waveCount{1};
    std::unique_ptr<WaveSlot[]> m_slots;
    std::vector<void*> m_pointScratch;

    // Off-screen buffers; the images wrap the DIBs' pixels without owning them.
    DibHandle m_frontBitmap;
    void* m_frontPixels = nullptr;
    QImage m_frontImage;
    DibHandle m_backBitmap;
    void* m_backPixels = nullptr;
    QImage m_backImage;
    bool m_dirty = false;
    // Where the last composed frame drew over the back buffer (UI thread only).
    RECT m_lastOverlayArea{0, 0, 0, 0};
    BandRows m_lastBandRows{};
    bool m_lastBanded = false;
    // Repaints asked for by any thread (see CRepaintRequest).
    CRepaintRequest m_repaintRequest{*this, [this] { update(); }};

    // View.
    double m_xStart = 0.0;
    double m_xEnd = 63.0;
    int m_windowLength = 64;
    int m_offset = 0;
    double m_zoom = 1.0;
    double m_yLow = -32767.0;
    double m_yHigh = 32767.0;

    // Pan and zoom.
    bool m_yWheelZoom = false;
    bool m_yDrag = false;
    bool m_xWheelZoom = false;
    bool m_xDrag = false;
    QPoint m_lastMousePoint;
    bool m_dragging = false;
    bool m_firstXMove = true;
    bool m_firstYMove = true;

    // Title.
    bool m_titleOn = false;
    QString m_titlePrefix;
    QFont m_titleFont;
    COLORREF m_titleColor = 0;
    int m_titleFormat = Qt::AlignLeft | Qt::AlignTop;

    // Text overlays: owned WaveTextOverlay records, guarded by m_overlayLock because
    // any thread may edit them; m_overlaysChanged tells the UI thread to re-render.
    CBaseLock m_overlayLock;
    CPtrListCtrl m_overlays;
    std::atomic<bool> m_overlaysChanged{false};

    // Hover read-out.
    bool m_toolTipActive = false;
    QPoint m_lastToolTipPoint{-1, -1};
    CWaveToolTip* m_toolTip = nullptr;

    // Markers: sample positions stored in pointer-sized items.
    bool m_markersOn = false;
    int m_markerWidth = 3;
    DWORD m_markerColor = 0xFFFF00;
    CPtrArrayCtrl m_markers;

    IWaveDrawInterface* m_drawHook = nullptr;
    std::intptr_t m_drawHookUser = 0;
    IWaveTipInterface* m_tipHook = nullptr;
    std::intptr_t m_tipHookUser = 0;
};
