#include <atomic>
#include <thread>
#include <vector>
#include <gtest/gtest.h>
#include "BaseBuffer.h"
#include "DistanceHistory.h"
#include "IReportSink.h"
#include "ReportFrameDecoder.h"

namespace {

TEST(DistanceHistory, LengthCoversFifteenSecondsOfReports)
{
    const struct {
        std::int32_t reportTimeMS;
        std::int32_t length;
    } cases[] = {{50, 300}, {100, 150}, {15000, 1}, {0, 300}, {15001, 0}, {-5, -3000}, {7, 2142}};
    for (const auto& c : cases)
        EXPECT_EQ(CDistanceHistory::LengthForReportInterval(c.reportTimeMS), c.length) << c.reportTimeMS << " ms";
}

TEST(DistanceHistory, ReplaceStartsFromZerosAndNonPositiveLengthsLeaveNone)
{
    CDistanceHistory history;
    history.Replace(4);
    EXPECT_EQ(history.GetValues(), (std::vector<std::int32_t>{0, 0, 0, 0}));
    history.Replace(-3);
    EXPECT_EQ(history.GetLength(), 0);
}

class LastFeed : public IReportSink {
public:
    void PostRadarReport() override {}
    void FeedChart(const std::int32_t* history, std::int32_t length) override { fed.assign(history, history + length); }
    std::vector<std::int32_t> fed;
};

TEST(DistanceHistory, MissingDistancesSlideInAndNeverOverrunTheHistory)
{
    constexpr std::int32_t kNo = CDistanceHistory::kNoDistance;
    CDistanceHistory history;
    LastFeed sink;
    history.Replace(4);
    history.Advance(7, sink);
    EXPECT_FALSE(history.AdvanceMissing(0, sink));
    EXPECT_TRUE(history.AdvanceMissing(2, sink));
    EXPECT_EQ(sink.fed, (std::vector<std::int32_t>{0, 7, kNo, kNo}));
    history.Advance(9, sink);
    EXPECT_EQ(sink.fed, (std::vector<std::int32_t>{7, kNo, kNo, 9}));
    EXPECT_TRUE(history.AdvanceMissing(1000, sink));  // a gap longer than the history
    EXPECT_EQ(sink.fed, (std::vector<std::int32_t>(4, kNo)));
}

// Checks, in every chart feed, that the history it sees is whole: as long as the
// history the set-up made, and ending with the distance of the frame just decoded.
class CheckingSink : public IReportSink {
public:
    void PostRadarReport() override {}
    void FeedChart(const std::int32_t* history, std::int32_t length) override
    {
        if (length < 1 || length > 300 || history[length - 1] != expectedLast.load())
            torn.store(true);
        for (std::int32_t i = 0; i < length; ++i)
            sum += history[i];  // touches the whole array: a freed one shows up under the sanitizers
        feeds.fetch_add(1);
    }
    std::atomic<std::int32_t> expectedLast{0};
    std::atomic<bool> torn{false};
    std::atomic<int> feeds{0};
    std::int64_t sum = 0;  // acquisition thread only
};

TEST(DistanceHistory, ReplacingWhileTheDecoderStepsNeverTearsTheHistory)
{
    CheckingSink sink;
    CReportFrameDecoder decoder(sink);
    decoder.GetHistory().Replace(300);
    std::atomic<bool> done{false};
    std::thread acquisition([&] {
        CBaseBuffer buffer;
        for (int i = 0; i < 20000; ++i) {
            const auto distance = std::uint16_t(i % 1000 + 1);
            const std::uint8_t frame[7] = {0xAA, 0xAA, 1, std::uint8_t(distance), std::uint8_t(distance >> 8), 0x55, 0x55};
            sink.expectedLast.store(distance);
            buffer.AppendBuffer(frame, sizeof frame);
            decoder.DecodeReportFrames(buffer);
        }
        done.store(true);
    });
    // The user-interface thread resizing the chart over and over.
    for (int length = 1; !done.load(); length = length % 64 + 1)
        decoder.GetHistory().Replace(length);
    acquisition.join();
    EXPECT_FALSE(sink.torn.load());
    EXPECT_GT(sink.feeds.load(), 0);
}

}  // namespace
