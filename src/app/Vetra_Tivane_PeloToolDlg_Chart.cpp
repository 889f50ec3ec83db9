// The distance chart: its set-up and the feed from the acquisition thread.
#include <QFile>

#include <algorithm>

#include "AppResources.h"
#include "CWaveWnd.h"
#include "DistanceHistory.h"
#include "GdiplusApi.h"
#include "PtrArrayCtrl.h"
#include "ReportTiming.h"
#include "StateBand.h"
#include "StringTable.h"
#include "Vetra_Tivane_PeloToolDlg.h"
#include "WaveLabel.h"

namespace {

static_assert(CDistanceHistory::kNoDistance == CWaveBuffer::kNoInt32Sample,
              "a distance never received is a missing sample of the chart");

constexpr int kBackgroundPictureId = 198;
constexpr int kHistorySeconds = 15;
constexpr int kTimeLabelStepSeconds = 5;
constexpr int kDistanceTickCount = 5;
constexpr COLORREF kChartBackColor = 0xFFFFFF;
constexpr COLORREF kDistanceLineColor = 0x0000FF;
constexpr COLORREF kAxisTextColor = 0xE8A200;
constexpr DWORD kGridColor = 0xFF007F40;
constexpr DWORD kCentreLineColor = 0xFFFF0000;
// With every bit set: no plot colour of its own, the picture carries the field.
constexpr DWORD kNoPlotColor = 0xFFFFFFFF;
constexpr int kLineWidth = 4;
const QString kAxisFace = QStringLiteral("宋体");

// The chart background in the interface language, or null when it cannot be decoded.
Gdiplus::Bitmap* LoadBackgroundPicture()
{
    QFile file(AppResourcePath(QStringLiteral("PNG"), kBackgroundPictureId, StringTable::language()));
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray data = file.readAll();
    Gdiplus::Bitmap* picture = Gdiplus_LoadBitmapFromData(data.constData(), UINT(data.size()));
    if (!Gdiplus_BitmapOK(picture)) {
        Gdiplus_DeleteBitmap(picture);
        return nullptr;
    }
    return picture;
}

}  // namespace

void CVetra_Tivane_PeloToolDlg::SetupChart()
{
    if (!m_chart)
        return;
    CWaveWnd& chart = *m_chart;
    chart.SetWaveCount(1);
    chart.SetSmoothCurve(false);
    chart.SetBackColor(kChartBackColor);
    Gdiplus::Bitmap* background = LoadBackgroundPicture();
    chart.SetPlotBackground(true, CWaveWnd::PlotPicture, kNoPlotColor, background);
    Gdiplus_DeleteBitmap(background);
    chart.SetLineWidth(kLineWidth);
    chart.SetGrid(false, 1, kGridColor, kCentreLineColor);
    chart.SetWaveColor(0, kDistanceLineColor);

    if (m_settings.reportTimeMS == 0)
        m_settings.reportTimeMS = std::int32_t(kDefaultReportIntervalMs);
    // Intervals above 15000 ms or below 0 would leave no sample; the chart needs one.
    const std::int32_t historyLength =
        std::max<std::int32_t>(1, CDistanceHistory::LengthForReportInterval(m_settings.reportTimeMS));
    // The feed may run now (a resize during a run). The history's own lock keeps the
    // replacement apart from its step; a push that lands between the steps below is
    // whole 32-bit samples too (the type only changes at the first set-up, before any
    // run), and the next push puts the whole new history in place anyway.
    m_tool.Decoder().GetHistory().Replace(historyLength);
    // The band under the chart shows a state for each step the chart plots; it keeps
    // what was received (a new run clears it with the figures).
    m_tool.Insight().Strip().Resize(historyLength);
    chart.SetSampleType(CWaveBuffer::kInt32);
    chart.SetValueRange(0.0, m_distanceMax);
    chart.SetSampleCount(historyLength);
    chart.SetWholeWindows(false);
    chart.ShowTitle(false);

    chart.SetAxis(CWaveWnd::AxisLeft, true, int(m_scale * 50));
    chart.SetAxis(CWaveWnd::AxisRight, true, int(m_scale * 50));
    chart.SetAxis(CWaveWnd::AxisBottom, true, int(m_scale * 24));
    const int pointTenths = int(m_scale * 10) * 10;
    chart.SetXAxisFont(pointTenths, kAxisFace, kAxisTextColor, int(m_scale * 5), 0);
    chart.SetYAxisFont(pointTenths, kAxisFace, kAxisTextColor, int(m_scale + m_scale), 0);
    chart.SetXRange(double(kHistorySeconds), 0.0);

    // T0-15, T0-10, T0-5, then T0: seconds before now, left to right.
    std::vector<WaveLabel> labels;
    for (int seconds = kHistorySeconds; seconds > 0; seconds -= kTimeLabelStepSeconds)
        labels.push_back({int(labels.size()), QStringLiteral("T0-%1").arg(seconds)});
    labels.push_back({int(labels.size()), QStringLiteral("T0")});
    CPtrArrayCtrl labelList;
    for (WaveLabel& label : labels)
        labelList.AddData(&label);
    chart.SetXTickCount(int(labels.size()));
    chart.SetXLabels(&labelList);

    chart.SetYTickCount(kDistanceTickCount);
    chart.SetYAxisRange(0.0, m_distanceMax);
    chart.SetInteraction(false, false, false, false);
    chart.InitChart();
    m_chartSetUpFor = {chart.size(), m_scale};
    PlaceInsightViews();
}

// Acquisition thread, with the history lock held (see CDistanceHistory::Advance); the
// user-interface thread while the worker is paused for a reconnect (AdvanceMissing). The
// chart allows exactly this from another thread: the wave count, Push and RequestRepaint.
void CVetra_Tivane_PeloToolDlg::FeedChart(const std::int32_t* history, std::int32_t length)
{
    // The session's fan-out has fed the insight with a report (a step through a link gap
    // tells the band itself).
    if (history[length - 1] != CDistanceHistory::kNoDistance && m_stateBand)
        m_stateBand->RequestRepaint();
    if (m_chart->GetWaveCount() <= 0)
        return;
    m_chart->WaveBuffer(0).Push(history, length);
    // After the push and before the repaint it asks for: a paint that reads this count
    // first draws this frame or a later one (the paint trace relies on it).
    m_framesCharted.store(m_tool.Decoder().FramesReported(), std::memory_order_release);
    // At most one repaint waits: a burst of reports costs one.
    m_chart->RequestRepaint();
}
