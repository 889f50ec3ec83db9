// Composed frames, checked on the pixels of the front buffer.
#include <gtest/gtest.h>

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "ChartTestSupport.h"
#include "GdiplusApi.h"
#include "IWaveDrawInterface.h"

namespace {

constexpr QRgb kRed = 0xFF0000;
constexpr COLORREF kRedColorRef = 0x0000FF;

TEST(WaveWndFrame, ConstantSeriesLandsOnItsRow)
{
    for (int lineWidth : {1, 4}) {
        CWaveWnd chart;
        SetUpPlainChart(chart, 600, 200);
        chart.SetWaveColor(0, kRedColorRef);
        chart.SetLineWidth(lineWidth);
        PushConstant(chart, 0, 300, 400);  // half of 0 .. 800: row 100
        chart.ComposeFrame();
        const QImage frame = chart.GrabFrontBuffer();
        for (int x : {0, 1, 150, 300, 598, 599}) {
            const std::vector<int> rows = RowsOfColor(frame, x, kRed);
            ASSERT_FALSE(rows.empty()) << "width " << lineWidth << " column " << x;
            EXPECT_LE(rows.front(), 100) << "width " << lineWidth << " column " << x;
            EXPECT_GE(rows.back(), 100) << "width " << lineWidth << " column " << x;
            EXPECT_LE(int(rows.size()), lineWidth + 1) << "width " << lineWidth << " column " << x;
        }
    }
}

// A history of one sample (a report interval of 15 s) is one point, which is no line.
TEST(WaveWndFrame, ASingleSampleDrawsNothing)
{
    for (int lineWidth : {1, 4}) {
        CWaveWnd chart;
        SetUpPlainChart(chart, 600, 200, 1);
        chart.SetWaveColor(0, kRedColorRef);
        chart.SetLineWidth(lineWidth);
        PushConstant(chart, 0, 1, 400);
        chart.ComposeFrame();
        ASSERT_EQ(WavePoints(chart, 0).size(), 1u);
        const QImage frame = chart.GrabFrontBuffer();
        for (int x = 0; x < frame.width(); ++x)
            ASSERT_TRUE(RowsOfColor(frame, x, kRed).empty()) << "width " << lineWidth << " column " << x;
    }
}

// Each frame starts from the background again: nothing of the last frame's curve is
// left, even where a wider line of the last frame reached past the plot.
TEST(WaveWndFrame, ANewFrameKeepsNothingOfTheLastOne)
{
    CWaveWnd chart;
    SetUpPlainChart(chart, 600, 220);
    chart.SetAxis(CWaveWnd::AxisTop, true, 20);  // the plot starts at row 20
    chart.RecreateBitmaps();
    chart.SetWaveColor(0, kRedColorRef);
    chart.SetLineWidth(12);
    PushConstant(chart, 0, 300, 800);  // along the plot's top edge, reaching 6 rows above it
    chart.ComposeFrame();
    ASSERT_FALSE(RowsOfColor(chart.GrabFrontBuffer(), 300, kRed).empty());
    ASSERT_LT(RowsOfColor(chart.GrabFrontBuffer(), 300, kRed).front(), 18);
    chart.SetLineWidth(1);
    PushConstant(chart, 0, 300, 100);
    chart.ComposeFrame();
    const QImage frame = chart.GrabFrontBuffer();
    for (int x : {0, 300, 599}) {
        const std::vector<int> rows = RowsOfColor(frame, x, kRed);
        ASSERT_FALSE(rows.empty()) << x;
        EXPECT_GE(rows.front(), 190) << "only the last curve, near the bottom, at column " << x;
    }
}

// A steep zigzag shows whether the wide line is one piece: every column between its
// ends is covered, and the joins are round (they reach half the width past each turn)
// rather than cut square at the turning point.
TEST(WaveWndFrame, WideLineIsWholeWithRoundJoins)
{
    constexpr int kWidth = 6;
    CWaveWnd chart;
    SetUpPlainChart(chart, 600, 200);  // 2 pixels per sample; 600 maps to row 50, 200 to row 150
    chart.SetWaveColor(0, kRedColorRef);
    chart.SetLineWidth(kWidth);
    std::vector<std::int32_t> zigzag(300);
    for (std::size_t i = 0; i < zigzag.size(); ++i)
        zigzag[i] = i % 2 ? 600 : 200;
    chart.WaveBuffer(0).Push(zigzag.data(), int(zigzag.size()));
    chart.ComposeFrame();
    const QImage frame = chart.GrabFrontBuffer();
    int top = frame.height(), bottom = -1;
    for (int x = 4; x < 596; ++x) {
        const std::vector<int> rows = RowsOfColor(frame, x, kRed);
        ASSERT_FALSE(rows.empty()) << "column " << x;
        top = std::min(top, rows.front());
        bottom = std::max(bottom, rows.back());
    }
    EXPECT_LE(top, 50 - kWidth / 2 + 1);
    EXPECT_GE(top, 50 - kWidth / 2 - 1);
    EXPECT_GE(bottom, 150 + kWidth / 2 - 2);
    EXPECT_LE(bottom, 150 + kWidth / 2);
}

// Pixels of the plot that are not the line's colour and cannot be reached from the
// image border through other such pixels: specks enclosed by the stroke.
int EnclosedUnpaintedPixels(const QImage& frame, QRgb line)
{
    const int w = frame.width(), h = frame.height();
    std::vector<char> reached(std::size_t(w) * std::size_t(h), 0);
    std::vector<std::pair<int, int>> stack;
    auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        char& r = reached[std::size_t(y) * std::size_t(w) + std::size_t(x)];
        if (r || (frame.pixel(x, y) & 0xFFFFFF) == (line & 0xFFFFFF)) return;
        r = 1;
        stack.emplace_back(x, y);
    };
    for (int x = 0; x < w; ++x) { visit(x, 0); visit(x, h - 1); }
    for (int y = 0; y < h; ++y) { visit(0, y); visit(w - 1, y); }
    while (!stack.empty()) {
        const auto [x, y] = stack.back();
        stack.pop_back();
        visit(x + 1, y); visit(x - 1, y); visit(x, y + 1); visit(x, y - 1);
    }
    int enclosed = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!reached[std::size_t(y) * std::size_t(w) + std::size_t(x)] &&
                (frame.pixel(x, y) & 0xFFFFFF) != (line & 0xFFFFFF))
                ++enclosed;
    return enclosed;
}

// A slowly changing distance bends the line by small angles at many points; the
// stroke must stay solid through every bend, whatever the width.
TEST(WaveWndFrame, GentleCurvesLeaveNoHoleInTheWideLine)
{
    for (int lineWidth : {2, 3, 4, 6}) {
        for (unsigned seed = 1; seed <= 12; ++seed) {
            CWaveWnd chart;
            SetUpPlainChart(chart, 1000 + int(seed) * 7, 380);
            chart.SetWaveColor(0, kRedColorRef);
            chart.SetLineWidth(lineWidth);
            std::vector<std::int32_t> walk(300);
            std::uint32_t state = seed * 2654435761u;
            double value = 400.0, slope = 0.0;
            for (auto& sample : walk) {
                state = state * 1664525u + 1013904223u;
                slope = std::clamp(slope + (double(state >> 16) / 65536.0 - 0.5) * 3.0, -12.0, 12.0);
                value = std::clamp(value + slope, 60.0, 740.0);
                sample = std::int32_t(value);
            }
            chart.WaveBuffer(0).Push(walk.data(), int(walk.size()));
            chart.ComposeFrame();
            EXPECT_EQ(EnclosedUnpaintedPixels(chart.GrabFrontBuffer(), kRed), 0)
                << "width " << lineWidth << " seed " << seed;
        }
    }
}

TEST(WaveWndFrame, OnlyVisibleWavesBelowTheCountAreBuiltAndDrawn)
{
    CWaveWnd chart;
    SetUpPlainChart(chart, 600, 200);
    chart.SetWaveColor(1, 0xFF0000);  // blue
    PushConstant(chart, 0, 300, 100);
    PushConstant(chart, 1, 300, 700);
    chart.ComposeFrame();
    EXPECT_EQ(WavePoints(chart, 0).size(), 300u);
    EXPECT_TRUE(WavePoints(chart, 1).empty());
    EXPECT_TRUE(RowsOfColor(chart.GrabFrontBuffer(), 300, 0x0000FF).empty());

    chart.SetWaveCount(2);
    chart.ComposeFrame();
    EXPECT_EQ(RowsOfColor(chart.GrabFrontBuffer(), 300, 0x0000FF), (std::vector<int>{25}));

    chart.SetWaveVisible(1, false);
    chart.ComposeFrame();
    EXPECT_TRUE(RowsOfColor(chart.GrabFrontBuffer(), 300, 0x0000FF).empty());
}

// Samples never received (a link gap) leave the plot empty between the runs on either
// side, however the points are thinned, and the read-out finds no value there.
TEST(WaveWndFrame, MissingSamplesBreakTheLine)
{
    for (int maxPoints : {0, 25}) {
        CWaveWnd chart;
        SetUpPlainChart(chart, 600, 200);
        chart.SetWaveColor(0, kRedColorRef);
        chart.SetLineWidth(4);
        chart.SetMaxPoints(maxPoints);
        std::vector<std::int32_t> samples(300, 400);
        std::fill(samples.begin() + 100, samples.begin() + 200, CWaveBuffer::kNoInt32Sample);
        chart.WaveBuffer(0).Push(samples.data(), int(samples.size()));
        chart.ComposeFrame();
        const CPtrArrayCtrl& points = chart.GetWavePoints(0);
        int breaks = 0;
        for (int i = 0; i < points.GetCount(); ++i)
            breaks += IsWaveBreak(points.GetAt(i)) ? 1 : 0;
        EXPECT_EQ(breaks, 1) << "at most " << maxPoints << " points";
        const QImage frame = chart.GrabFrontBuffer();
        for (int x : {10, 190})
            EXPECT_FALSE(RowsOfColor(frame, x, kRed).empty()) << "column " << x << ", at most " << maxPoints;
        for (int x = 206; x < 394; ++x)
            ASSERT_TRUE(RowsOfColor(frame, x, kRed).empty()) << "column " << x << ", at most " << maxPoints;
        for (int x : {410, 590})
            EXPECT_FALSE(RowsOfColor(frame, x, kRed).empty()) << "column " << x << ", at most " << maxPoints;
        int sample = 0, type = 0;
        double value = 0.0, row = 0.0;
        EXPECT_FALSE(chart.WaveBuffer(0).ValueAt(chart.GetPlotRect(), 1.0, 300, sample, type, value, row));
        EXPECT_TRUE(chart.WaveBuffer(0).ValueAt(chart.GetPlotRect(), 1.0, 100, sample, type, value, row));
    }
}

TEST(WaveWndFrame, ThinningKeepsEveryThirdPointAndTheLast)
{
    CWaveWnd chart;
    SetUpPlainChart(chart, 600, 200);
    PushConstant(chart, 0, 300, 400);
    chart.ComposeFrame();
    const std::vector<POINT> all = WavePoints(chart, 0);
    ASSERT_EQ(all.size(), 300u);  // about 2 pixels apart
    chart.SetMaxPoints(100);      // spacing 6 pixels
    chart.ComposeFrame();
    std::vector<int> expected;
    for (std::size_t i = 0; i < all.size(); i += 3)
        expected.push_back(all[i].x);
    expected.push_back(all.back().x);
    std::vector<int> kept;
    for (const POINT& p : WavePoints(chart, 0))
        kept.push_back(p.x);
    EXPECT_EQ(kept, expected);
}

TEST(WaveWndFrame, PictureFillsThePlotAndStripsKeepTheWindowColour)
{
    // Left half red, right half blue, both fully opaque.
    std::vector<std::uint32_t> bits(40 * 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 40; ++x)
            bits[std::size_t(y) * 40 + x] = x < 20 ? 0xFFFF0000u : 0xFF0000FFu;
    Gdiplus::Bitmap* picture = Gdiplus_LoadBitmapFromImageBits(bits.data(), 40, 10, 160, PixelFormat32bppARGB);
    ASSERT_NE(picture, nullptr);

    CWaveWnd chart;
    chart.resize(700, 224);
    chart.SetBackColor(0x00FFFFFF);
    chart.SetPlotBackground(true, CWaveWnd::PlotPicture, 0xFFFFFFFF, picture);
    Gdiplus_DeleteBitmap(picture);  // the chart keeps its own copy
    chart.SetGrid(false, 1, 0, 0);
    chart.SetAxis(CWaveWnd::AxisLeft, true, 50);
    chart.SetAxis(CWaveWnd::AxisRight, true, 50);
    chart.SetAxis(CWaveWnd::AxisBottom, true, 24);
    chart.SetXTickCount(0);
    chart.SetYTickCount(0);
    chart.InitChart();
    chart.ComposeFrame();
    const QImage frame = chart.GrabFrontBuffer();

    EXPECT_EQ(frame.pixel(50, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(frame.pixel(340, 199) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(frame.pixel(360, 100) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(frame.pixel(649, 199) & 0xFFFFFF, 0x0000FFu);
    for (QPoint strip : {QPoint(49, 100), QPoint(650, 100), QPoint(300, 200), QPoint(0, 223), QPoint(699, 0)})
        EXPECT_EQ(frame.pixel(strip) & 0xFFFFFF, 0xFFFFFFu) << strip.x() << "," << strip.y();

    // An axis change moves the plot edges; the picture follows at the next render.
    chart.SetAxis(CWaveWnd::AxisLeft, true, 100);
    chart.ComposeFrame();
    const QImage moved = chart.GrabFrontBuffer();
    EXPECT_EQ(moved.pixel(99, 100) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(moved.pixel(100, 100) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(moved.pixel(649, 100) & 0xFFFFFF, 0x0000FFu);

    // Without a picture the plot colour fills in.
    chart.SetPlotBackground(true, CWaveWnd::PlotPicture, 0xFF123456, nullptr);
    chart.RecreateBitmaps();
    chart.ComposeFrame();
    EXPECT_EQ(chart.GrabFrontBuffer().pixel(300, 100) & 0xFFFFFF, 0x123456u);
}

TEST(WaveWndFrame, FrameIsOpaqueWhateverTheAlphaOfItsColours)
{
    CWaveWnd chart;
    SetUpPlainChart(chart, 200, 100);
    chart.SetBackColor(0x00808080);
    chart.SetPlotBackground(true, CWaveWnd::PlotColor, 0x00000000, nullptr);
    chart.SetGrid(true, 1, 0x5F20, 0xE3CF57);
    chart.SetMarkers(true, 3, 0xFFFF00);
    chart.AddMarker(150);
    PushConstant(chart, 0, 300, 200);
    chart.RecreateBitmaps();
    chart.ComposeFrame();
    const QImage frame = chart.GrabFrontBuffer();
    // The grid keeps its colour: a plain screen copy ignores the alpha byte.
    EXPECT_EQ(RawPixel(frame, 1, 2), 0xFF005F20u);
    EXPECT_EQ(RawPixel(frame, 1, 50), 0xFFE3CF57u);
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            ASSERT_EQ(RawPixel(frame, x, y) >> 24, 0xFFu) << x << "," << y;
}

// Lets the owner edit wave 0 (its first half goes) and draw wave 1 itself.
class TakeOverHook : public IWaveDrawInterface {
public:
    void OnDrawBackground(QPainter&, HBITMAP back, void* pixels, int width, int, int stride, const RECT& left,
                          const RECT&, const RECT&, const RECT&, const RECT& plot, std::intptr_t user) override
    {
        ++backgrounds;
        sawFrame = back && pixels == back->bits.data() && width == 650 && stride == 2600 && left.right == 50 &&
                   plot.left == 50 && user == 77;
    }
    void OnBeforeDrawWave(int, const RECT&, CPtrArrayCtrl& points, std::intptr_t) override
    {
        points.RemoveAt(0, points.GetCount() / 2);
    }
    int OnDrawWave(QPainter&, const RECT&, int wave, CPtrArrayCtrl&, int, COLORREF, bool, std::intptr_t) override
    {
        return wave == 1;
    }
    int backgrounds = 0;
    bool sawFrame = false;
};

// What the main window leaves off, together: markers, spline, overlay and hooks.
TEST(WaveWndFrame, MarkersSplineOverlayAndHooks)
{
    CWaveWnd chart;
    SetUpPlainChart(chart, 650, 200);  // plot 50 .. 650: 2 pixels per sample
    chart.SetAxis(CWaveWnd::AxisLeft, true, 50);
    chart.SetYTickCount(0);
    chart.SetWaveCount(2);
    chart.SetWaveColor(0, kRedColorRef);
    chart.SetWaveColor(1, 0xFF0000);
    chart.SetSmoothCurve(true);
    chart.SetLineWidth(3);
    chart.SetMarkers(true, 4, 0x00FF00);
    chart.AddMarker(225);  // plot columns 448 .. 452
    WaveTextOverlay overlay;
    overlay.text = QStringLiteral("████████");
    overlay.layout = RECT{0, 10, 120, 60};  // partly over the left strip
    overlay.font.setPixelSize(30);
    overlay.flags = Qt::AlignLeft | Qt::AlignTop;
    overlay.argb = 0xFFFF00FF;
    chart.AddTextOverlay(overlay);
    TakeOverHook hook;
    chart.SetDrawHook(&hook, 77);
    PushConstant(chart, 0, 300, 200);  // row 150
    PushConstant(chart, 1, 300, 600);  // row 50
    chart.ComposeFrame();
    chart.ComposeFrame();
    const QImage frame = chart.GrabFrontBuffer();

    EXPECT_EQ(hook.backgrounds, 1);  // rendered once until something marks it dirty
    EXPECT_TRUE(hook.sawFrame);
    EXPECT_TRUE(RowsOfColor(frame, 100, kRed).empty());
    EXPECT_FALSE(RowsOfColor(frame, 400, kRed).empty());
    EXPECT_TRUE(RowsOfColor(frame, 400, 0x0000FF).empty());
    int blended = 0;  // the spline is anti-aliased
    for (int y = 140; y < 160; ++y)
        blended += qRed(frame.pixel(400, y)) == 255 && qGreen(frame.pixel(400, y)) > 0 &&
                   qGreen(frame.pixel(400, y)) < 255;
    EXPECT_GT(blended, 0);

    // The bar runs from the highest wave (row 50) to the bottom, under the waves.
    const std::vector<int> bar = RowsOfColor(frame, 500, 0x00FF00);
    ASSERT_FALSE(bar.empty());
    EXPECT_EQ(bar.front(), 50);
    EXPECT_EQ(bar.back(), 199);
    EXPECT_FALSE(RowsOfColor(frame, 500, kRed).empty());
    EXPECT_TRUE(RowsOfColor(frame, 497, 0x00FF00).empty());
    EXPECT_TRUE(RowsOfColor(frame, 503, 0x00FF00).empty());

    int overlayInk = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 650; ++x) {
            const bool magenta = (frame.pixel(x, y) & 0xFFFFFF) == 0xFF00FF;
            const bool allowed = x >= 50 && x < 120 && y >= 10 && y < 60;
            overlayInk += magenta && allowed;
            ASSERT_FALSE(magenta && !allowed) << x << "," << y;
        }
    EXPECT_GT(overlayInk, 100);
}

// A frame composed over the last ones is the frame composed afresh: the curve moves a
// long way between frames (up, down, across a gap), and nothing of it may stay behind.
TEST(WaveWndFrame, FramesOverEarlierOnesEqualAFreshFrame)
{
    for (int lineWidth : {1, 4, 9}) {
        CWaveWnd chart;
        SetUpPlainChart(chart, 650, 224);
        chart.SetAxis(CWaveWnd::AxisLeft, true, 50);
        chart.SetAxis(CWaveWnd::AxisBottom, true, 24);
        chart.SetGrid(true, 1, 0x5F20, 0xE3CF57);
        chart.SetWaveColor(0, kRedColorRef);
        chart.SetLineWidth(lineWidth);
        chart.RecreateBitmaps();
        std::vector<std::int32_t> samples(300);
        for (int frame = 0; frame < 6; ++frame) {
            for (std::size_t i = 0; i < samples.size(); ++i) {
                const double phase = double(i) / 9.0 + frame * 2.1;
                samples[i] = std::int32_t(400 + (frame % 2 ? -1 : 1) * (350 - frame * 40) * std::sin(phase));
            }
            const std::size_t gap = std::size_t(frame) * 40;
            std::fill(samples.begin() + gap, samples.begin() + gap + 20, CWaveBuffer::kNoInt32Sample);
            chart.WaveBuffer(0).Push(samples.data(), int(samples.size()));
            chart.ComposeFrame();
        }
        CWaveWnd fresh;
        SetUpPlainChart(fresh, 650, 224);
        fresh.SetAxis(CWaveWnd::AxisLeft, true, 50);
        fresh.SetAxis(CWaveWnd::AxisBottom, true, 24);
        fresh.SetGrid(true, 1, 0x5F20, 0xE3CF57);
        fresh.SetWaveColor(0, kRedColorRef);
        fresh.SetLineWidth(lineWidth);
        fresh.RecreateBitmaps();
        fresh.WaveBuffer(0).Push(samples.data(), int(samples.size()));
        fresh.ComposeFrame();
        EXPECT_TRUE(chart.GrabFrontBuffer() == fresh.GrabFrontBuffer()) << "width " << lineWidth;
    }
}

// Pairs of neighbouring device pixels (2k, 2k + 1) in one row or column of rect that
// differ: a picture drawn at half the size and doubled has none.
int SplitPixelPairs(const QImage& frame, const QRect& rect)
{
    int split = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left() & ~1; x + 1 <= rect.right(); x += 2)
            split += frame.pixel(x, y) != frame.pixel(x + 1, y);
    for (int x = rect.left(); x <= rect.right(); ++x)
        for (int y = rect.top() & ~1; y + 1 <= rect.bottom(); y += 2)
            split += frame.pixel(x, y) != frame.pixel(x, y + 1);
    return split;
}

// Runs at whatever ratio the screen has: ctest runs it again under QT_SCALE_FACTOR 2
// and 1.5. The buffer holds device pixels; everything the owner sees stays logical;
// the wide line stays whole; and at 2x the curve and the labels are drawn on device
// pixels, not doubled.
TEST(WaveWndFrame, BuffersHoldDevicePixelsAtTheScreenRatio)
{
    CWaveWnd chart;
    SetUpPlainChart(chart, 650, 224);
    chart.SetAxis(CWaveWnd::AxisLeft, true, 50);
    chart.SetAxis(CWaveWnd::AxisBottom, true, 24);
    chart.SetYTickCount(5);
    chart.SetXTickCount(4);
    chart.SetWaveColor(0, kRedColorRef);
    chart.SetLineWidth(4);
    chart.SetMarkers(true, 4, 0x00FF00);
    chart.AddMarker(150);  // plot column 300, client column 350
    chart.RecreateBitmaps();
    const double ratio = chart.devicePixelRatioF();
    EXPECT_EQ(chart.GetDevicePixelRatio(), ratio);
    std::vector<std::int32_t> slope(300);
    for (std::size_t i = 0; i < slope.size(); ++i)
        slope[i] = std::int32_t(100 + i * 2);  // rising gently from row 175 to row 26
    chart.WaveBuffer(0).Push(slope.data(), int(slope.size()));
    chart.ComposeFrame();
    const QImage frame = chart.GrabFrontBuffer();

    const auto device = [ratio](int logical) { return int(std::lround(logical * ratio)); };
    EXPECT_EQ(frame.size(), QSize(int(std::ceil(650 * ratio - 1e-9)), int(std::ceil(224 * ratio - 1e-9))));
    EXPECT_EQ(frame.devicePixelRatio(), ratio);
    EXPECT_EQ(chart.GetPlotRect().left, 50);
    EXPECT_EQ(chart.GetPlotRect().bottom, 200);
    const std::vector<POINT> points = WavePoints(chart, 0);
    ASSERT_EQ(points.size(), 300u);
    EXPECT_EQ(points.front().x, 50);

    // The line is lineWidth logical pixels thick, a pixel either way for the slope.
    const POINT middle = points[150];
    const std::vector<int> rows = RowsOfColor(frame, device(middle.x) + 1, kRed);
    ASSERT_FALSE(rows.empty());
    EXPECT_NEAR(rows.size(), 4 * ratio, ratio + 1);
    EXPECT_NEAR(rows.front(), (middle.y - 2) * ratio, ratio + 1);
    EXPECT_EQ(EnclosedUnpaintedPixels(frame, kRed), 0);

    // The marker bar stays 4 + 1 logical columns wide, reaching the plot's bottom.
    int barColumns = 0;
    for (int x = device(330); x < device(370); ++x)
        barColumns += !RowsOfColor(frame, x, 0x00FF00).empty();
    EXPECT_NEAR(barColumns, 5 * ratio, 1);
    const std::vector<int> bar = RowsOfColor(frame, device(350), 0x00FF00);
    ASSERT_FALSE(bar.empty());
    EXPECT_EQ(bar.back(), device(200) - 1);

    if (ratio < 2.0)
        return;
    const QRect plot(device(50), 0, device(600), device(200));
    const QRect leftLabels(0, 0, device(50), device(200));
    EXPECT_GT(SplitPixelPairs(frame, plot), 100) << "curve drawn at 1x and doubled";
    EXPECT_GT(SplitPixelPairs(frame, leftLabels), 100) << "labels drawn at 1x and doubled";
}

TEST(WaveWndFrame, ResizeRecreatesOnlyOnANewSize)
{
    CWaveWnd chart;
    SetUpPlainChart(chart, 300, 100);
    chart.show();
    QApplication::processEvents();
    chart.ComposeFrame();
    ASSERT_FALSE(chart.IsDirty());
    chart.resize(300, 100);
    QApplication::processEvents();
    EXPECT_FALSE(chart.IsDirty());
    chart.resize(400, 150);
    QApplication::processEvents();
    EXPECT_EQ(chart.GrabFrontBuffer().size(), QSize(400, 150));
    EXPECT_EQ(chart.GetPlotRect().right, 400);
    chart.resize(0, 150);  // no buffers: nothing is composed, nothing breaks
    QApplication::processEvents();
    chart.ComposeFrame();
    EXPECT_TRUE(chart.GrabFrontBuffer().isNull());
}

}  // namespace
