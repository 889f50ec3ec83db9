// The acquisition thread pushing while the UI thread paints, resizes and reads out.
// Built as its own program so that it can run under ThreadSanitizer alone.
#include <gtest/gtest.h>

#include <QPaintEvent>
#include <atomic>
#include <thread>
#include <vector>

#include "ChartTestSupport.h"

namespace {

// Counts the paints that reach the chart.
class CountingChart : public CWaveWnd {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        ++paints;
        CWaveWnd::paintEvent(event);
    }
};

void DrainEvents()
{
    for (int i = 0; i < 10; ++i)
        QApplication::processEvents();
}

TEST(WaveWndConcurrency, FramesNeverSeeAHalfWrittenHistory)
{
    CWaveWnd chart;
    SetUpPlainChart(chart, 600, 200);
    chart.show();
    DrainEvents();

    std::atomic<bool> stop{false};
    std::atomic<long> pushes{0};
    // Acquisition thread: whole histories of one value each, as fast as it can.
    std::thread worker([&] {
        std::vector<std::int32_t> history(300);
        std::int32_t value = 0;
        while (!stop.load(std::memory_order_relaxed)) {
            value = (value + 37) % 800;
            std::fill(history.begin(), history.end(), value);
            if (chart.GetWaveCount() > 0)
                chart.WaveBuffer(0).Push(history.data(), int(history.size()));
            chart.RequestRepaint();
            pushes.fetch_add(1, std::memory_order_relaxed);
        }
    });

    // UI thread: compose, check, resize, set up again, read out, paint.
    int frames = 0;
    for (int i = 0; i < 400; ++i) {
        chart.ComposeFrame();
        const std::vector<POINT> points = WavePoints(chart, 0);
        ASSERT_FALSE(points.empty());
        for (const POINT& p : points)
            ASSERT_EQ(p.y, points.front().y) << "frame " << i << " mixes two histories";
        ++frames;
        if (i % 25 == 0)
            chart.resize(600 + (i / 25) % 3 * 20, 200 + (i / 25) % 2 * 30);
        if (i % 50 == 0) {
            chart.SetSampleCount(i % 100 == 0 ? 300 : 150);  // what the set-up does on resize
            chart.SetValueRange(0.0, 800.0);
        }
        SendMouse(chart, QEvent::MouseMove, QPoint(10 + i % 500, 100));
        QApplication::processEvents();
    }
    // Let the worker run at least a little alongside the frames, however slow the machine.
    while (pushes.load() < 100)
        std::this_thread::yield();
    stop = true;
    worker.join();
    EXPECT_EQ(frames, 400);
    EXPECT_GT(chart.WaveBuffer(0).GetWindowsReceived(), 0);
}

TEST(WaveWndConcurrency, BurstOfRepaintRequestsCostsOnePaint)
{
    CountingChart chart;
    SetUpPlainChart(chart, 300, 100);
    chart.show();
    DrainEvents();
    for (int round = 1; round <= 3; ++round) {
        chart.paints = 0;
        std::thread worker([&] {
            const std::vector<std::int32_t> history(300, 100 * round);
            for (int i = 0; i < 2000; ++i) {
                chart.WaveBuffer(0).Push(history.data(), 300);
                chart.RequestRepaint();
            }
        });
        worker.join();
        DrainEvents();
        EXPECT_EQ(chart.paints, 1) << "round " << round;
    }
}

TEST(WaveWndConcurrency, HiddenChartQueuesNoMoreThanOneRequest)
{
    CountingChart chart;
    SetUpPlainChart(chart, 300, 100);
    std::thread worker([&] {
        for (int i = 0; i < 1000; ++i)
            chart.RequestRepaint();
    });
    worker.join();
    DrainEvents();
    EXPECT_EQ(chart.paints, 0);
    // Shown later, it paints and takes requests again.
    chart.show();
    DrainEvents();
    const int shownPaints = chart.paints;
    EXPECT_GE(shownPaints, 1);
    chart.RequestRepaint();
    DrainEvents();
    EXPECT_EQ(chart.paints, shownPaints + 1);
}

}  // namespace
