// Strips, plot rectangle and grid cells from the client size and axis settings,
// and the grid as written into a pixel buffer.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ChartTestSupport.h"

namespace {

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(WaveWndLayout, StripsAndPlotFollowAxisSizes)
{
    CWaveWnd chart;
    chart.resize(700, 224);
    chart.SetAxis(CWaveWnd::AxisLeft, true, 50);
    chart.SetAxis(CWaveWnd::AxisRight, true, 50);
    chart.SetAxis(CWaveWnd::AxisBottom, true, 24);
    chart.InitChart();
    EXPECT_TRUE(SameRect(chart.GetPlotRect(), RECT{50, 0, 650, 200}));
    EXPECT_TRUE(SameRect(chart.GetAxis(CWaveWnd::AxisLeft).GetStrip(), RECT{0, 0, 50, 200}));
    EXPECT_TRUE(SameRect(chart.GetAxis(CWaveWnd::AxisRight).GetStrip(), RECT{650, 0, 700, 200}));
    EXPECT_TRUE(SameRect(chart.GetAxis(CWaveWnd::AxisBottom).GetStrip(), RECT{50, 200, 650, 224}));
    EXPECT_TRUE(SameRect(chart.GetAxis(CWaveWnd::AxisTop).GetStrip(), RECT{50, 0, 650, 0}));
}

TEST(WaveWndLayout, GridCellSizes)
{
    struct Case {
        int width;
        int height;
        double cellWidth;
        double cellHeight;
    };
    const Case cases[] = {
        {600, 200, 12.5, 12.5},         // 48 columns
        {600, 100, 600.0 / 74, 8.0},    // 6.25 clamped up to 8; 75 columns made even
        {600, 1000, 600.0 / 14, 40.0},  // 62.5 clamped down to 40; 15 columns made even
        {10, 200, 5.0, 12.5},           // narrower than two cells: still two columns
    };
    for (const Case& c : cases) {
        CWaveWnd chart;
        chart.resize(c.width, c.height);
        chart.InitChart();
        EXPECT_DOUBLE_EQ(chart.GetGridCellWidth(), c.cellWidth) << c.width << "x" << c.height;
        EXPECT_DOUBLE_EQ(chart.GetGridCellHeight(), c.cellHeight) << c.width << "x" << c.height;
        EXPECT_TRUE(std::isfinite(chart.GetGridCellWidth()));
    }
}

TEST(WaveWndLayout, OversizedStripsLeaveAnEmptyPlotSafely)
{
    CWaveWnd chart;
    SetUpPlainChart(chart, 80, 60);
    chart.SetGrid(true, 1, 0x5F20, 0xE3CF57);
    chart.SetAxis(CWaveWnd::AxisLeft, true, 70);
    chart.SetAxis(CWaveWnd::AxisRight, true, 70);
    chart.SetAxis(CWaveWnd::AxisBottom, true, 100);
    PushConstant(chart, 0, 300, 400);
    chart.ComposeFrame();
    EXPECT_TRUE(WavePoints(chart, 0).empty());
    chart.UpdateToolTip();
}

// Grid lines land on the rows and columns the cell sizes give, centre lines on top.
TEST(WaveWndGrid, LinesOnTheirRowsAndColumns)
{
    const int width = 620;
    const int height = 210;
    std::vector<DWORD> pixels(std::size_t(width) * height, 0);
    const RECT plot{10, 5, 610, 205};
    CWaveWnd::DrawGrid(pixels.data(), width, height, plot, 12.5, 12.5, 1, 0x5F20, 0xE3CF57);
    auto at = [&](int x, int y) { return pixels[std::size_t(y) * width + x]; };

    for (int i = 0; i <= 16; ++i) {
        const int y = 5 + int(i * 12.5);
        EXPECT_EQ(at(11, y), i == 8 ? 0xE3CF57u : 0x5F20u) << "row " << y;
    }
    for (int i = 0; i <= 48; ++i) {
        const int x = 10 + int(i * 12.5);
        EXPECT_EQ(at(x, 7), i == 24 ? 0xE3CF57u : 0x5F20u) << "column " << x;
    }
    EXPECT_EQ(at(310, 105), 0xE3CF57u);
    EXPECT_EQ(at(11, 6), 0u);
    EXPECT_EQ(at(17, 11), 0u);
}

TEST(WaveWndGrid, BadCellSizesDrawNothing)
{
    std::vector<DWORD> pixels(100 * 100, 0);
    const RECT plot{0, 0, 100, 100};
    for (double cell : {0.0, -3.0, 0.001, std::nan(""), double(INFINITY)}) {
        CWaveWnd::DrawGrid(pixels.data(), 100, 100, plot, cell, 10.0, 1, 1, 2);
        CWaveWnd::DrawGrid(pixels.data(), 100, 100, plot, 10.0, cell, 1, 1, 2);
    }
    CWaveWnd::DrawGrid(nullptr, 100, 100, plot, 10.0, 10.0, 1, 1, 2);
    for (DWORD p : pixels)
        ASSERT_EQ(p, 0u);
}

}  // namespace
