// When a running module counts as gone quiet, and when it is back.
#include <gtest/gtest.h>

#include "RecordingRoom.h"
#include "StallWatch.h"

namespace {

using namespace std::chrono_literals;

TEST(StallWatch, ThreeReportIntervalsAndAtLeastASecond)
{
    EXPECT_EQ(CStallWatch::Threshold(50), 1000ms);
    EXPECT_EQ(CStallWatch::Threshold(333), 1000ms);
    EXPECT_EQ(CStallWatch::Threshold(500), 1500ms);
    EXPECT_EQ(CStallWatch::Threshold(15000), 45000ms);
    EXPECT_EQ(CStallWatch::Threshold(0), 1000ms);
    EXPECT_EQ(CStallWatch::Threshold(-5), 1000ms);
}

TEST(StallWatch, StartsOnceEndsWithTheNextReportAndNotAfterTheRun)
{
    using Change = CStallWatch::Change;
    const CStallWatch::Clock::time_point t0{};
    CStallWatch watch;
    EXPECT_EQ(watch.Update(0, t0 + 5s, 50), Change::None) << "not running";
    watch.Start(10, t0);
    const struct {
        std::chrono::milliseconds at;
        std::uint64_t frames;
        Change change;
        bool stalled;
    } steps[] = {
        {999ms, 10, Change::None, false},      // silent since the start, not long enough
        {1000ms, 10, Change::Started, true},   // no report since the start of the run
        {1500ms, 10, Change::None, true},      // told once
        {1600ms, 11, Change::Ended, false},    // a report: back at once
        {2599ms, 11, Change::None, false},
        {2600ms, 11, Change::Started, true},   // silent again, measured from that report
        {2700ms, 12, Change::Ended, false},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(watch.Update(step.frames, t0 + step.at, 50), step.change) << step.at.count();
        EXPECT_EQ(watch.Stalled(), step.stalled) << step.at.count();
    }
    EXPECT_EQ(watch.Silence(t0 + 2800ms), 100ms);
    watch.Stop();
    EXPECT_FALSE(watch.Stalled());
    EXPECT_EQ(watch.Update(12, t0 + 10s, 50), Change::None);
    EXPECT_EQ(watch.Silence(t0 + 10s), 0ms);
}

// The low-disk warning: a fixed floor, and ten minutes at the rate the recording grows.
TEST(RecordingRoom, LowUnderAHundredMegabytesOrTenMinutesOfRecording)
{
    const struct {
        long long freeBytes;
        double bytesPerSecond;
        bool low;
    } cases[] = {
        {-1, 0.0, false},                  // the disk could not be asked
        {0, 0.0, true},                    // full
        {99'999'999, 0.0, true},           // under the floor, nothing recorded yet
        {100'000'000, 0.0, false},         // at the floor
        {500'000'000, 1'000'000.0, true},  // 500 s left at 1 MB/s
        {600'000'000, 1'000'000.0, false}, // exactly ten minutes
        {200'000'000, 5'120.0, false},     // 20 reports/s of 256 bytes: days
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsRecordingRoomLow(c.freeBytes, c.bytesPerSecond), c.low) << c.freeBytes << " at " << c.bytesPerSecond;
}

}  // namespace
