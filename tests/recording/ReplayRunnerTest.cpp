// The replay's clock and runner: pacing arithmetic, stepping, jumping ahead, and a
// recording that shrinks under the replay.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "CaptureIndexWriter.h"
#include "CaptureIndexReader.h"
#include "IReportSink.h"
#include "ReplayClock.h"
#include "ReplayRunner.h"
#include "ReportFrameDecoder.h"

namespace {

using namespace std::chrono_literals;
using Clock = CReplayClock::Clock;

TEST(ReplayClock, PositionFollowsPlayPauseAndSpeedWithoutJumps)
{
    const Clock::time_point t0{};
    CReplayClock clock;
    clock.Reset(1'000'000);
    EXPECT_EQ(clock.PositionAt(t0 + 5s), 1'000'000) << "paused: it stands still";
    clock.Play(t0 + 1s);
    EXPECT_EQ(clock.PositionAt(t0 + 3s), 3'000'000);
    clock.SetSpeed(4, t0 + 3s);
    EXPECT_EQ(clock.PositionAt(t0 + 3s), 3'000'000) << "a new speed starts where the old one stood";
    EXPECT_EQ(clock.PositionAt(t0 + 4s), 7'000'000);
    EXPECT_EQ(clock.WhenAt(11'000'000), t0 + 5s);
    EXPECT_EQ(clock.WhenAt(2'000'000), t0 + 3s) << "already passed: at once";
    clock.Pause(t0 + 4s);
    EXPECT_EQ(clock.PositionAt(t0 + 9s), 7'000'000);
    clock.Play(t0 + 10s);
    EXPECT_EQ(clock.PositionAt(t0 + 10500ms), 9'000'000);
    clock.SetSpeed(CReplayClock::kFastest, t0 + 10500ms);
    EXPECT_EQ(clock.PositionAt(t0 + 20s), 9'000'000) << "fastest: the deliveries move it";
    clock.MoveTo(12'000'000, t0 + 20s);
    EXPECT_EQ(clock.PositionAt(t0 + 21s), 12'000'000);
    EXPECT_EQ(clock.WhenAt(50'000'000), t0 + 20s);
}

class CountingSink : public IReportSink {
public:
    void PostRadarReport() override { ++posts; }
    void FeedChart(const std::int32_t*, std::int32_t) override {}
    std::atomic<int> posts{0};
};

// A recording of `frames` reports, one block each 50 ms, with a block of garbage after
// every fourth, and its capture index.
class RecordingFixture : public testing::Test {
protected:
    void Write(int frames)
    {
        std::ofstream out(dat, std::ios::binary);
        CCaptureIndexWriter index;
        ASSERT_TRUE(index.Open(dat));
        index.WriteHeader(CaptureHeader{});
        std::int64_t offset = 0;
        std::int64_t time = 0;
        for (int i = 0; i < frames; ++i) {
            const unsigned char frame[] = {0xAA, 0xAA, std::uint8_t(i % 3), std::uint8_t(i), 0x01, 0x55, 0x55};
            out.write(reinterpret_cast<const char*>(frame), sizeof frame);
            index.AddBlock(offset, sizeof frame, time);
            offset += std::int64_t(sizeof frame);
            time += 50'000;
            if (i % 4 == 3) {
                out.write("\x01\x02\xAA", 3);
                index.AddBlock(offset, 3, time);
                offset += 3;
                time += 50'000;
            }
        }
        ASSERT_TRUE(index.Close());
        out.close();
        timeline = std::make_shared<CReplayTimeline>(CCaptureIndexReader::ReadFile(dat + ".idx"),
                                                     std::int64_t(std::filesystem::file_size(dat)), 50);
        ASSERT_FALSE(timeline->PacedByFallback()) << timeline->IndexOutcome().reason;
    }
    template <typename Condition>
    static bool WaitUntil(Condition done)
    {
        const auto deadline = Clock::now() + 10s;
        while (!done()) {
            if (Clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(2ms);
        }
        return true;
    }
    void TearDown() override
    {
        std::filesystem::remove(dat);
        std::filesystem::remove(dat + ".idx");
    }

    const std::string dat = (std::filesystem::temp_directory_path() /
                             ("replay-runner-" + std::to_string(::getpid()) + ".dat")).string();
    std::shared_ptr<CReplayTimeline> timeline;
    CountingSink sink;
    CReportFrameDecoder decoder{sink};
};

TEST_F(RecordingFixture, EachStepShowsOneMoreReportPastGarbage)
{
    Write(12);
    CReplayRunner runner(decoder);
    std::string error;
    ASSERT_TRUE(runner.Start(timeline, dat, 0, &error)) << error;
    for (int step = 1; step <= 6; ++step) {
        runner.StepReport();
        ASSERT_TRUE(WaitUntil([&] { return sink.posts.load() == step; })) << "step " << step;
        std::this_thread::sleep_for(20ms);
        EXPECT_EQ(sink.posts.load(), step) << "a step stops after its report";
    }
    EXPECT_FALSE(runner.Playing());
    EXPECT_EQ(decoder.GetDistance(), 5 + 256);
}

TEST_F(RecordingFixture, AJumpHandsOverEverythingBeforeItAndThenWaits)
{
    Write(40);  // 50 blocks, 50 ms apart
    CReplayRunner runner(decoder);
    std::string error;
    ASSERT_TRUE(runner.Start(timeline, dat, 1'000'000, &error)) << error;  // to 1 s, paused
    ASSERT_TRUE(WaitUntil([&] { return runner.Delivered() == 20; }));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(runner.Delivered(), 20u) << "paused at the position";
    EXPECT_EQ(sink.posts.load(), 16);
    EXPECT_EQ(runner.PositionUs(), 1'000'000);
    runner.SetSpeed(CReplayClock::kFastest);
    runner.Play();
    ASSERT_TRUE(WaitUntil([&] { return runner.Ended(); }));
    EXPECT_EQ(sink.posts.load(), 40);
    EXPECT_EQ(runner.ReadError(), "");
    EXPECT_EQ(runner.PositionUs(), timeline->EndUs());
}

TEST_F(RecordingFixture, ARecordingCutShortUnderTheReplayEndsItWithAReason)
{
    Write(40);
    CReplayRunner runner(decoder);
    std::string error;
    ASSERT_TRUE(runner.Start(timeline, dat, 0, &error)) << error;
    std::filesystem::resize_file(dat, 100);
    runner.SetSpeed(CReplayClock::kFastest);
    runner.Play();
    ASSERT_TRUE(WaitUntil([&] { return runner.Ended(); }));
    EXPECT_NE(runner.ReadError().find("offset 100"), std::string::npos) << runner.ReadError();
    EXPECT_LT(sink.posts.load(), 15);
    EXPECT_FALSE(runner.Start(timeline, dat + ".missing", 0, &error));
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
}

// A run that lost its link: the replay reports the gap once, before the first block
// after it, so the owner can show it as the live display did.
TEST_F(RecordingFixture, ALinkGapIsReportedBeforeTheBlockAfterIt)
{
    {
        std::ofstream out(dat, std::ios::binary);
        CCaptureIndexWriter index;
        ASSERT_TRUE(index.Open(dat));
        index.WriteHeader(CaptureHeader{});
        const unsigned char frame[] = {0xAA, 0xAA, 1, 44, 1, 0x55, 0x55};
        for (int i = 0; i < 4; ++i) {
            out.write(reinterpret_cast<const char*>(frame), sizeof frame);
            if (i == 2) {
                index.AddEvent(150'000, CaptureEvent::LinkLost("the port closed"));
                index.AddEvent(1'650'000, CaptureEvent::LinkBack("/dev/ttyUSB1"));
            }
            index.AddBlock(i * 7, 7, i < 2 ? i * 50'000 : 1'600'000 + i * 50'000);
        }
        ASSERT_TRUE(index.Close());
    }
    timeline = std::make_shared<CReplayTimeline>(CCaptureIndexReader::ReadFile(dat + ".idx"), 28, 50);
    ASSERT_FALSE(timeline->PacedByFallback()) << timeline->IndexOutcome().reason;
    std::vector<std::pair<std::int64_t, int>> gaps;  // gap, reports before it
    CReplayRunner runner(decoder);
    runner.SetLinkGapCallback([&](std::int64_t gapUs) { gaps.emplace_back(gapUs, sink.posts.load()); });
    std::string error;
    ASSERT_TRUE(runner.Start(timeline, dat, 0, &error)) << error;
    runner.SetSpeed(CReplayClock::kFastest);
    runner.Play();
    ASSERT_TRUE(WaitUntil([&] { return runner.Ended(); }));
    runner.Stop();
    EXPECT_EQ(gaps, (std::vector<std::pair<std::int64_t, int>>{{1'500'000, 2}}));
    EXPECT_EQ(sink.posts.load(), 4);
}

}  // namespace
