// What one chart frame costs at the main window's configuration: 300 32-bit samples,
// a picture background, a 4-pixel polyline, a plot of 1000 x 380 between a 50-pixel
// strip on each side and a 24-pixel strip below. A new frame comes with every report
// (20 a second at the default interval), so a frame should stay well under 1 ms.
// The ...2x cases put the chart on a second screen of two device pixels to a logical
// one, where the buffers hold four times the pixels; they should cost at most four
// times their 1x cases. The state band under the chart repaints with every report too:
// BM_StateBandPaint should cost at most a tenth of BM_WholePaint.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QScreen>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <vector>

#include "CWaveWnd.h"
#include "StateBand.h"
#include "StateStrip.h"
#include "GdiplusApi.h"
#include "WaveLabel.h"

namespace {

constexpr int kSamples = 300;
constexpr int kClientWidth = 1100;
constexpr int kClientHeight = 404;

// A picture like the prepared background: light field, coloured edges, dashed lines.
Gdiplus::Bitmap* MakeBackgroundPicture()
{
    std::vector<std::uint32_t> pixels(std::size_t(1156) * 500, 0xFFFFFFFFu);
    QImage image(reinterpret_cast<uchar*>(pixels.data()), 1156, 500, 1156 * 4, QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, 12, 500, QColor(40, 90, 200));
    painter.fillRect(1144, 0, 12, 500, QColor(40, 90, 200));
    painter.fillRect(0, 488, 1156, 12, QColor(255, 150, 30));
    painter.setPen(QPen(QColor(200, 200, 200), 2, Qt::DashLine));
    for (int i = 1; i < 4; ++i)
        painter.drawLine(12, i * 122, 1144, i * 122);
    painter.end();
    // The view borrows the pixels; the copy owns its own.
    Gdiplus::Bitmap* view = Gdiplus_LoadBitmapFromImageBits(pixels.data(), 1156, 500, 1156 * 4, PixelFormat32bppARGB);
    Gdiplus::Bitmap* picture = Gdiplus_CopyBitmap(view);
    Gdiplus_DeleteBitmap(view);
    return picture;
}

// The off-screen platform's screens: the first at 1x, the second (right of it) at 2x.
void UseScreensOfBothRatios()
{
    QFile config(QDir::temp().filePath(QStringLiteral("chart_bench_screens.json")));
    if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    config.write(R"({"screens": [)"
                 R"({"name": "one", "x": 0, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96},)"
                 R"({"name": "two", "x": 1920, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96}]})");
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    qputenv("QT_SCREEN_SCALE_FACTORS", "one=1;two=2");
}

// The screen of two device pixels to a logical one, or null when the platform has none.
QScreen* DoubleScreen()
{
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->devicePixelRatio() == 2.0)
            return screen;
    return nullptr;
}

std::unique_ptr<CWaveWnd> MakeMainWindowChart(QScreen* screen = nullptr)
{
    auto chart = std::make_unique<CWaveWnd>();
    if (screen) {
        chart->setScreen(screen);
        chart->move(screen->geometry().topLeft());
    }
    chart->resize(kClientWidth, kClientHeight);
    chart->SetWaveCount(1);
    chart->SetSmoothCurve(false);
    chart->SetBackColor(0xFFFFFF);
    Gdiplus::Bitmap* picture = MakeBackgroundPicture();
    chart->SetPlotBackground(true, CWaveWnd::PlotPicture, 0xFFFFFFFF, picture);
    Gdiplus_DeleteBitmap(picture);
    chart->SetLineWidth(4);
    chart->SetGrid(false, 1, 0xFF007F40, 0xFFFF0000);
    chart->SetWaveColor(0, 0x0000FF);
    chart->SetSampleType(CWaveBuffer::kInt32);
    chart->SetValueRange(0.0, 800.0);
    chart->SetSampleCount(kSamples);
    chart->SetAxis(CWaveWnd::AxisLeft, true, 50);
    chart->SetAxis(CWaveWnd::AxisRight, true, 50);
    chart->SetAxis(CWaveWnd::AxisBottom, true, 24);
    chart->SetXAxisFont(100, QStringLiteral("宋体"), 0xE8A200, 5, 0);
    chart->SetYAxisFont(100, QStringLiteral("宋体"), 0xE8A200, 2, 0);
    chart->SetXRange(15.0, 0.0);
    std::vector<WaveLabel> labels{{0, "T0-15"}, {1, "T0-10"}, {2, "T0-5"}, {3, "T0"}};
    CPtrArrayCtrl list;
    for (WaveLabel& label : labels)
        list.AddData(&label);
    chart->SetXTickCount(4);
    chart->SetXLabels(&list);
    chart->SetYTickCount(5);
    chart->SetYAxisRange(0.0, 800.0);
    chart->InitChart();
    return chart;
}

// A moving person: distances that change at every report.
class History {
public:
    History() : m_values(kSamples) {}
    const std::int32_t* Next()
    {
        ++m_tick;
        for (int i = 0; i < kSamples; ++i)
            m_values[std::size_t(i)] = std::int32_t(400 + 300 * std::sin((i + m_tick) / 17.0));
        return m_values.data();
    }

private:
    std::vector<std::int32_t> m_values;
    int m_tick = 0;
};

void CountFrames(benchmark::State& state)
{
    state.counters["frames_per_s_per_core"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Push(benchmark::State& state)
{
    auto chart = MakeMainWindowChart();
    History history;
    const std::int32_t* values = history.Next();
    for (auto _ : state)
        chart->WaveBuffer(0).Push(values, kSamples);
    CountFrames(state);
}
BENCHMARK(BM_Push)->Unit(benchmark::kMicrosecond);

void BM_BuildPoints(benchmark::State& state)
{
    auto chart = MakeMainWindowChart();
    History history;
    chart->WaveBuffer(0).Push(history.Next(), kSamples);
    CPtrArrayCtrl points;
    for (auto _ : state) {
        points.RemoveAll();
        chart->WaveBuffer(0).BuildPoints(chart->GetPlotRect(), 1.0, points);
        benchmark::DoNotOptimize(points.GetCount());
    }
    CountFrames(state);
}
BENCHMARK(BM_BuildPoints)->Unit(benchmark::kMicrosecond);

// Push and compose: everything but the copy to the screen.
void BM_ComposeFrame(benchmark::State& state)
{
    auto chart = MakeMainWindowChart();
    History history;
    chart->ComposeFrame();  // the one re-render after set-up
    for (auto _ : state) {
        chart->WaveBuffer(0).Push(history.Next(), kSamples);
        chart->ComposeFrame();
    }
    CountFrames(state);
}
BENCHMARK(BM_ComposeFrame)->Unit(benchmark::kMicrosecond);

void BM_ComposeFrame2x(benchmark::State& state)
{
    QScreen* screen = DoubleScreen();
    if (!screen) {
        state.SkipWithError("no screen of ratio 2");
        return;
    }
    auto chart = MakeMainWindowChart(screen);
    if (chart->GetDevicePixelRatio() != 2.0) {
        state.SkipWithError("the chart did not take the screen's ratio");
        return;
    }
    History history;
    chart->ComposeFrame();
    for (auto _ : state) {
        chart->WaveBuffer(0).Push(history.Next(), kSamples);
        chart->ComposeFrame();
    }
    CountFrames(state);
}
BENCHMARK(BM_ComposeFrame2x)->Unit(benchmark::kMicrosecond);

// The whole paint of a shown chart: push, repaint request, compose, copy to the window.
void WholePaint(benchmark::State& state, QScreen* screen)
{
    auto chart = MakeMainWindowChart(screen);
    chart->show();
    QApplication::processEvents();
    if (screen && chart->devicePixelRatioF() != 2.0) {
        state.SkipWithError("the chart is not on the screen of ratio 2");
        return;
    }
    History history;
    for (auto _ : state) {
        chart->WaveBuffer(0).Push(history.Next(), kSamples);
        chart->repaint();
    }
    CountFrames(state);
}

void BM_WholePaint(benchmark::State& state)
{
    WholePaint(state, nullptr);
}
BENCHMARK(BM_WholePaint)->Unit(benchmark::kMicrosecond);

void BM_WholePaint2x(benchmark::State& state)
{
    QScreen* screen = DoubleScreen();
    if (!screen) {
        state.SkipWithError("no screen of ratio 2");
        return;
    }
    WholePaint(state, screen);
}
BENCHMARK(BM_WholePaint2x)->Unit(benchmark::kMicrosecond);

// The band as the main window has it: as wide as the chart, its plot span the chart's,
// the strip changing state every few reports so that it draws many runs.
void BM_StateBandPaint(benchmark::State& state)
{
    CStateStrip strip;
    strip.Replace(kSamples);
    CStateBand band(strip);
    band.resize(kClientWidth, band.PreferredHeight());
    band.SetPlotSpan(50, kClientWidth - 50);
    band.show();
    QApplication::processEvents();
    std::int64_t timeUs = 0;
    int report = 0;
    for (auto _ : state) {
        strip.PushReport(timeUs += 50000, (++report / 7) % 3);
        band.repaint(band.StripArea());
    }
    CountFrames(state);
}
BENCHMARK(BM_StateBandPaint)->Unit(benchmark::kMicrosecond);


// After a resize: new buffers, the picture scaled to the new plot, the background rendered.
void BM_RenderBackgroundAfterResize(benchmark::State& state)
{
    auto chart = MakeMainWindowChart();
    for (auto _ : state) {
        chart->RecreateBitmaps();
        chart->RenderBackground();
    }
}
BENCHMARK(BM_RenderBackgroundAfterResize)->Unit(benchmark::kMicrosecond);

// A re-render with the scaled picture already made, as after a settings change.
void BM_RenderBackground(benchmark::State& state)
{
    auto chart = MakeMainWindowChart();
    chart->RenderBackground();
    for (auto _ : state)
        chart->RenderBackground();
}
BENCHMARK(BM_RenderBackground)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        UseScreensOfBothRatios();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
