// Mouse pan and zoom: flags, drag thresholds, zoom limits, rest view.
#include <gtest/gtest.h>

#include <cmath>

#include "ChartTestSupport.h"

namespace {

// 600 x 200 plot filling the chart, 300 samples, values 0 .. 800.
void SetUpPanZoomChart(CWaveWnd& chart, bool yWheel, bool yDrag, bool xWheel, bool xDrag)
{
    SetUpPlainChart(chart, 600, 200);
    chart.SetInteraction(yWheel, yDrag, xWheel, xDrag);
    PushConstant(chart, 0, 300, 400);
}

struct View {
    double low;
    double high;
    double xLow;
    double xHigh;
    double zoom;
    int offset;
};

View ViewOf(CWaveWnd& chart)
{
    View v{};
    chart.WaveBuffer(0).GetValueRange(v.low, v.high);
    v.xLow = chart.GetAxis(CWaveWnd::AxisBottom).GetRangeLow();
    v.xHigh = chart.GetAxis(CWaveWnd::AxisBottom).GetRangeHigh();
    v.zoom = chart.GetZoom();
    v.offset = chart.GetOffset();
    return v;
}

void ExpectSameView(const View& a, const View& b)
{
    EXPECT_TRUE(a.low == b.low && a.high == b.high && a.xLow == b.xLow && a.xHigh == b.xHigh && a.zoom == b.zoom &&
                a.offset == b.offset);
}

TEST(WaveWndPanZoom, AllFlagsOffIgnoresTheMouse)
{
    CWaveWnd chart;
    SetUpPanZoomChart(chart, false, false, false, false);
    const View before = ViewOf(chart);
    EXPECT_FALSE(SendMouse(chart, QEvent::MouseButtonPress, QPoint(100, 100)));
    EXPECT_FALSE(chart.IsDragging());
    SendMouse(chart, QEvent::MouseMove, QPoint(200, 180));
    EXPECT_FALSE(SendMouse(chart, QEvent::MouseButtonRelease, QPoint(200, 180)));
    EXPECT_FALSE(SendMouse(chart, QEvent::MouseButtonDblClick, QPoint(200, 180)));
    EXPECT_FALSE(SendWheel(chart, QPoint(300, 100), 120));
    EXPECT_FALSE(SendWheel(chart, QPoint(300, 100), -120, Qt::ControlModifier));
    ExpectSameView(ViewOf(chart), before);
}

TEST(WaveWndPanZoom, YDragThresholds)
{
    CWaveWnd chart;
    SetUpPanZoomChart(chart, false, true, false, false);
    EXPECT_TRUE(SendMouse(chart, QEvent::MouseButtonPress, QPoint(100, 100)));
    ASSERT_TRUE(chart.IsDragging());
    // Range 800 over 200 rows: 4 per pixel, and a downward drag raises the range.
    struct Step {
        int y;
        double low;
    };
    const Step steps[] = {{110, 0}, {90, 0}, {111, 44}, {112, 44}, {114, 56}, {113, 56}, {111, 44}};
    for (const Step& step : steps) {
        SendMouse(chart, QEvent::MouseMove, QPoint(100, step.y));
        const View v = ViewOf(chart);
        EXPECT_DOUBLE_EQ(v.low, step.low) << "to y " << step.y;
        EXPECT_DOUBLE_EQ(v.high - v.low, 800.0);
        EXPECT_DOUBLE_EQ(chart.GetAxis(CWaveWnd::AxisLeft).GetRangeLow(), step.low);
    }
    SendMouse(chart, QEvent::MouseButtonRelease, QPoint(100, 111));
    EXPECT_FALSE(chart.IsDragging());
    SendMouse(chart, QEvent::MouseMove, QPoint(100, 150));
    EXPECT_DOUBLE_EQ(ViewOf(chart).low, 44);
}

TEST(WaveWndPanZoom, XDragMovesBackInHistory)
{
    CWaveWnd chart;
    SetUpPanZoomChart(chart, false, false, false, true);
    SendMouse(chart, QEvent::MouseButtonPress, QPoint(100, 100));
    struct Step {
        int x;
        int offset;
        double axisLow;
    };
    // Shift = int(dx * 300 / 600); a step that would not shift leaves the point to add up.
    const Step steps[] = {{110, 0, 0}, {111, 5, -5}, {112, 5, -5}, {113, 6, -6}, {100, 0, -0.0}, {40, 270, 30}};
    for (const Step& step : steps) {
        SendMouse(chart, QEvent::MouseMove, QPoint(step.x, 100));
        const View v = ViewOf(chart);
        EXPECT_EQ(v.offset, step.offset) << "to x " << step.x;
        EXPECT_EQ(chart.WaveBuffer(0).GetOffset(), step.offset) << "to x " << step.x;
        EXPECT_DOUBLE_EQ(v.xLow, step.axisLow) << "to x " << step.x;
        EXPECT_DOUBLE_EQ(v.xHigh, step.axisLow + 299) << "to x " << step.x;
    }
}

TEST(WaveWndPanZoom, CtrlWheelZoomsSamplesWithinItsLimits)
{
    CWaveWnd chart;
    SetUpPanZoomChart(chart, false, false, true, false);
    int steps = 0;
    for (int i = 0; i < 30; ++i) {
        const double before = chart.GetZoom();
        SendWheel(chart, QPoint(300, 100), 120, Qt::ControlModifier);
        steps += chart.GetZoom() != before;
    }
    EXPECT_EQ(steps, 22);
    EXPECT_NEAR(chart.GetZoom(), std::pow(1.25, 22), 1e-9);
    EXPECT_NEAR(chart.GetZoom(), 135.5, 0.1);
    EXPECT_EQ(chart.WaveBuffer(0).GetPageCount(), 2);

    SendMouse(chart, QEvent::MouseButtonDblClick, QPoint(300, 100));
    EXPECT_DOUBLE_EQ(chart.GetZoom(), 1.0);
    steps = 0;
    for (int i = 0; i < 30; ++i) {
        const double before = chart.GetZoom();
        SendWheel(chart, QPoint(300, 100), -120, Qt::ControlModifier);
        steps += chart.GetZoom() != before;
    }
    EXPECT_EQ(steps, 9);
    EXPECT_NEAR(chart.GetZoom(), 0.134, 0.001);
    EXPECT_EQ(int(300 / chart.GetZoom()), 2235);
    EXPECT_EQ(chart.WaveBuffer(0).GetPageCount(), 9);
    EXPECT_EQ(chart.WaveBuffer(255).GetPageCount(), 9);

    // The zoomed-out view stays inside the store: every point can be built and drawn.
    PushConstant(chart, 0, 300, 400);
    chart.ComposeFrame();
    EXPECT_EQ(WavePoints(chart, 0).size(), 600u);
}

TEST(WaveWndPanZoom, WheelChoosesTheDirectionByCtrlAndFlags)
{
    struct Case {
        const char* name;
        bool yWheel;
        bool xWheel;
        Qt::KeyboardModifiers modifiers;
        bool zoomsY;
        bool zoomsX;
    };
    const Case cases[] = {
        {"plain wheel zooms y even with x enabled", true, true, Qt::NoModifier, true, false},
        {"ctrl with x disabled zooms y", true, false, Qt::ControlModifier, true, false},
        {"ctrl with x enabled zooms x", true, true, Qt::ControlModifier, false, true},
        {"plain wheel with only x enabled does nothing", false, true, Qt::NoModifier, false, false},
    };
    for (const Case& c : cases) {
        CWaveWnd chart;
        SetUpPanZoomChart(chart, c.yWheel, false, c.xWheel, false);
        const View before = ViewOf(chart);
        EXPECT_EQ(SendWheel(chart, QPoint(300, 50), 120, c.modifiers), c.zoomsX || c.zoomsY) << c.name;
        const View after = ViewOf(chart);
        EXPECT_EQ(after.high - after.low != before.high - before.low, c.zoomsY) << c.name;
        EXPECT_EQ(after.zoom != before.zoom, c.zoomsX) << c.name;
    }
}

TEST(WaveWndPanZoom, YZoomKeepsTheValueUnderThePointer)
{
    CWaveWnd chart;
    SetUpPanZoomChart(chart, true, false, false, false);
    // Row 50 of 200 shows 600.
    SendWheel(chart, QPoint(300, 50), 120);
    View v = ViewOf(chart);
    EXPECT_DOUBLE_EQ(v.high, 600 + 200 / 1.25);
    EXPECT_DOUBLE_EQ(v.low, 600 - 600 / 1.25);
    SendWheel(chart, QPoint(300, 50), -120);
    v = ViewOf(chart);
    EXPECT_NEAR(v.low, 0.0, 1e-9);
    EXPECT_NEAR(v.high, 800.0, 1e-9);
    EXPECT_DOUBLE_EQ(chart.GetAxis(CWaveWnd::AxisRight).GetRangeHigh(), v.high);
}

TEST(WaveWndPanZoom, WheelOverAnAxisStripChangesNothing)
{
    CWaveWnd chart;
    SetUpPanZoomChart(chart, true, true, true, true);
    chart.SetAxis(CWaveWnd::AxisLeft, true, 50);
    chart.RecreateBitmaps();
    const View before = ViewOf(chart);
    EXPECT_FALSE(SendWheel(chart, QPoint(20, 100), 120));
    EXPECT_FALSE(SendWheel(chart, QPoint(20, 100), 120, Qt::ControlModifier));
    ExpectSameView(ViewOf(chart), before);
}

TEST(WaveWndPanZoom, DoubleClickRestoresTheRestView)
{
    CWaveWnd chart;
    SetUpPanZoomChart(chart, true, true, true, true);
    chart.SetXRange(15.0, 0.0);
    const View rest = ViewOf(chart);
    SendWheel(chart, QPoint(300, 50), 120);
    SendWheel(chart, QPoint(400, 50), 120, Qt::ControlModifier);
    SendMouse(chart, QEvent::MouseButtonPress, QPoint(100, 100));
    SendMouse(chart, QEvent::MouseMove, QPoint(140, 140));
    SendMouse(chart, QEvent::MouseButtonRelease, QPoint(140, 140));
    const View moved = ViewOf(chart);
    ASSERT_NE(moved.low, rest.low);
    ASSERT_NE(moved.zoom, rest.zoom);
    ASSERT_NE(moved.offset, rest.offset);

    SendMouse(chart, QEvent::MouseButtonDblClick, QPoint(140, 140));
    ExpectSameView(ViewOf(chart), rest);
    EXPECT_EQ(chart.WaveBuffer(0).GetOffset(), 0);
    EXPECT_EQ(chart.WaveBuffer(0).GetPageCount(), 2);
    EXPECT_FALSE(chart.IsDragging());
}

}  // namespace
