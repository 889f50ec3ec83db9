// What a replay hands the decoder, and when: from the index, after it, and without it.
#include <gtest/gtest.h>
#include "CaptureIndexReader.h"
#include "RecordingPrinters.h"
#include "ReplayTimeline.h"

namespace {

const std::string kHeader = R"({"type":"header","format":"tivane-capture-index","version":1})"
                            "\n";

std::vector<ReplayDelivery> AllDeliveries(const CReplayTimeline& timeline)
{
    std::vector<ReplayDelivery> deliveries;
    for (std::size_t i = 0; i < timeline.Size(); ++i)
        deliveries.push_back(timeline.At(i));
    return deliveries;
}

struct TimelineCase {
    const char* name;
    const char* index;  // lines after the header; null: no index at all
    std::int64_t datSize;
    std::int64_t reportTimeMs;
    bool pacedByFallback;
    std::vector<ReplayDelivery> deliveries;
};

class ReplayTimelineDeliveries : public testing::TestWithParam<TimelineCase> {};

TEST_P(ReplayTimelineDeliveries, CoverTheDatOnceAtTheRightTimes)
{
    const TimelineCase& c = GetParam();
    const CReplayTimeline timeline = c.index
                                         ? CReplayTimeline(CCaptureIndexReader::ReadText(kHeader + c.index), c.datSize,
                                                           c.reportTimeMs)
                                         : CReplayTimeline(c.datSize, c.reportTimeMs);
    EXPECT_EQ(timeline.PacedByFallback(), c.pacedByFallback) << timeline.IndexOutcome().reason;
    const std::vector<ReplayDelivery> deliveries = AllDeliveries(timeline);
    EXPECT_EQ(deliveries, c.deliveries);
    std::int64_t covered = 0;
    for (const ReplayDelivery& d : deliveries) {
        EXPECT_EQ(d.offset, covered);
        covered += d.length;
    }
    EXPECT_EQ(covered, c.datSize);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplayTimelineDeliveries,
    testing::Values(
        TimelineCase{"noIndexReportTimeZeroMeans50ms", nullptr, 20, 0, true,
                     {{0, 0, 7, false}, {50000, 7, 7, false}, {100000, 14, 6, false}}},
        TimelineCase{"noIndexEmptyDat", nullptr, 0, 100, true, {}},
        TimelineCase{"indexCoversAll", "{\"t\":1000,\"o\":0,\"n\":10}\n{\"t\":5000,\"o\":10,\"n\":4}\n", 14, 100,
                     false, {{1000, 0, 10, false}, {5000, 10, 4, false}}},
        TimelineCase{"restAfterTheLastBlockAtTheReportInterval", "{\"t\":1000,\"o\":0,\"n\":10}\n", 20, 100, false,
                     {{1000, 0, 10, false}, {101000, 10, 7, false}, {201000, 17, 3, false}}},
        TimelineCase{"skippedBytesGoWithTheNextBlock", "{\"t\":1000,\"o\":3,\"n\":4}\n{\"t\":2000,\"o\":9,\"n\":5}\n",
                     14, 50, false, {{1000, 0, 7, false}, {2000, 7, 7, false}}},
        TimelineCase{"resetAfterLinkBack",
                     "{\"t\":1000,\"o\":0,\"n\":4}\n{\"t\":2000,\"event\":\"link_lost\",\"reason\":\"unplugged\"}\n"
                     "{\"t\":9000,\"event\":\"link_back\",\"path\":\"/dev/ttyUSB1\"}\n{\"t\":9500,\"o\":4,\"n\":7}\n"
                     "{\"t\":9600,\"o\":11,\"n\":7}\n",
                     18, 50, false, {{1000, 0, 4, false}, {9500, 4, 7, true}, {9600, 11, 7, false}}},
        TimelineCase{"linkBackAfterTheLastIndexedBlockResetsTheRest",
                     "{\"t\":1000,\"o\":0,\"n\":4}\n{\"t\":9000,\"event\":\"link_back\",\"path\":\"/dev/ttyUSB1\"}\n", 11,
                     50, false, {{1000, 0, 4, false}, {59000, 4, 7, true}}},
        TimelineCase{"corruptIndexFallsBack", "{\"t\":1000,\"o\":0,\"n\":10}\nnot json\n", 14, 50, true,
                     {{0, 0, 7, false}, {50000, 7, 7, false}}},
        TimelineCase{"indexPastTheDatFallsBack", "{\"t\":1000,\"o\":0,\"n\":10}\n", 8, 50, true,
                     {{0, 0, 7, false}, {50000, 7, 1, false}}}),
    [](const testing::TestParamInfo<TimelineCase>& info) { return std::string(info.param.name); });

TEST(ReplayTimeline, LabelsAndLinkEventsComeInOrderWithTheirPlaceAmongDeliveries)
{
    const CReplayTimeline timeline(
        CCaptureIndexReader::ReadText(kHeader +
                                      "{\"t\":0,\"event\":\"start\"}\n"
                                      "{\"t\":100,\"event\":\"label\",\"label\":\"empty\"}\n"
                                      "{\"t\":100,\"o\":0,\"n\":7}\n"
                                      "{\"t\":200,\"event\":\"link_lost\",\"reason\":\"gone\"}\n"
                                      "{\"t\":300,\"event\":\"write_error\",\"offset\":7,\"lost\":3}\n"
                                      "{\"t\":400,\"event\":\"label\",\"label\":\"off\"}\n"),
        7, 50);
    ASSERT_FALSE(timeline.PacedByFallback()) << timeline.IndexOutcome().reason;
    const std::vector<TimedCaptureEvent> expected = {
        {100, 0, CaptureEvent::Labelled(GroundTruthLabel::Empty)},
        {200, 1, CaptureEvent::LinkLost("gone")},
        {400, 1, CaptureEvent::Labelled(GroundTruthLabel::Off)},
    };
    EXPECT_EQ(timeline.Events(), expected);
    EXPECT_EQ(timeline.LabelChanges(),
              (std::vector<LabelChange>{{100, GroundTruthLabel::Empty}, {400, GroundTruthLabel::Off}}));
    EXPECT_EQ(timeline.EndUs(), 400);
    EXPECT_EQ(timeline.FallbackFromOffset(), 7);
}

TEST(ReplayTimeline, SaysWhyTheIndexWasNotUsed)
{
    const CReplayTimeline missing(100, 50);
    EXPECT_EQ(missing.IndexOutcome().status, ReadStatus::Missing);
    const CReplayTimeline mismatch(CCaptureIndexReader::ReadText(kHeader + "{\"t\":1,\"o\":0,\"n\":101}\n"), 100, 50);
    EXPECT_EQ(mismatch.IndexOutcome().status, ReadStatus::MismatchesDat);
    EXPECT_NE(mismatch.IndexOutcome().reason.find("(100 bytes)"), std::string::npos) << mismatch.IndexOutcome().reason;
    EXPECT_TRUE(mismatch.Header().has_value());
}

}  // namespace
