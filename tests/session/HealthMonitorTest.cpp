// The health monitor on a clock of the test's own: rates over a second or more, stalls
// that start and end, and a gap's restart that keeps the rates.
#include <gtest/gtest.h>

#include "HealthMonitor.h"

using namespace std::chrono_literals;

TEST(HealthMonitor, RatesCoverASecondOrMoreAndStallsStartAndEnd)
{
    CHealthMonitor health;
    const auto t0 = CHealthMonitor::Clock::time_point{} + 100s;
    health.Start(1000, t0);
    EXPECT_EQ(health.Look(1010, 700, "", 50, t0 + 500ms), CStallWatch::Change::None);
    EXPECT_EQ(health.ReportsPerSecond(), 0.0) << "half a second is too short to tell";
    health.Look(1020, 1400, "", 50, t0 + 1000ms);
    EXPECT_DOUBLE_EQ(health.ReportsPerSecond(), 20.0);
    EXPECT_DOUBLE_EQ(health.BytesPerSecond(), 1400.0);

    // 50 ms reports: silent for three intervals and at least a second is a stall.
    EXPECT_EQ(health.Look(1020, 1400, "", 50, t0 + 1900ms), CStallWatch::Change::None);
    EXPECT_EQ(health.Look(1020, 1400, "", 50, t0 + 2100ms), CStallWatch::Change::Started);
    EXPECT_TRUE(health.Stalled());
    EXPECT_EQ(health.SilenceMs(t0 + 2100ms), 1100);
    EXPECT_EQ(health.Look(1021, 1470, "", 50, t0 + 2200ms), CStallWatch::Change::Ended);

    // After a gap the silence counts from the return, the rates from before.
    health.RestartStallWatch(1021, t0 + 9000ms);
    EXPECT_FALSE(health.Stalled());
    EXPECT_EQ(health.SilenceMs(t0 + 9500ms), 500);
    health.Look(1041, 2870, "", 50, t0 + 9500ms);
    EXPECT_NEAR(health.ReportsPerSecond(), 21.0 / 7.4, 1e-9) << "since the look at 2.1 s";
    health.Stop();
    EXPECT_EQ(health.LowDiskFreeMb(), -1);
    EXPECT_FALSE(health.Stalled());
}
