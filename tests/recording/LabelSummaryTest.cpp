// The module's agreement with hand-made ground truth whose answers are known exactly.
#include <clocale>
#include <gtest/gtest.h>
#include "LabelSummary.h"

namespace {

constexpr std::int64_t kMs = 1000;
constexpr std::int32_t kNobody = 0, kMoving = 1, kMotionless = 2;
constexpr GroundTruthLabel kEmpty = GroundTruthLabel::Empty, kMovingLabel = GroundTruthLabel::Moving,
                           kStill = GroundTruthLabel::Still, kOff = GroundTruthLabel::Off;

struct SummaryCase {
    const char* name;
    std::vector<std::pair<std::int64_t, std::int32_t>> reports;  // ms, state
    std::vector<std::pair<std::int64_t, GroundTruthLabel>> labels;  // ms, label
    std::int64_t endMs;
    // Expected, in ms: labelled and agreeing time per label (empty, moving, still),
    // false presence, missed, delays (rising), and changes never agreed with.
    std::array<std::int64_t, 6> tallyMs;
    std::int64_t falsePresenceMs;
    std::int64_t missedMs;
    std::vector<std::int64_t> delaysMs;
    std::size_t neverAgreed;
    // The stall threshold and the link losses (ms), and the time expected unobserved.
    std::int64_t stallMs = 0;  // 0: no stall rule
    std::vector<std::int64_t> linkLostMs = {};
    std::int64_t unobservedMs = 0;
};

class LabelSummaryCases : public testing::TestWithParam<SummaryCase> {};

TEST_P(LabelSummaryCases, MatchTheTimelineWorkedOutByHand)
{
    const SummaryCase& c = GetParam();
    std::vector<DecodedReport> reports;
    for (const auto& [ms, state] : c.reports)
        reports.push_back({ms * kMs, state, 100});
    std::vector<LabelChange> labels;
    for (const auto& [ms, label] : c.labels)
        labels.push_back({ms * kMs, label});
    ObservationRule rule;
    if (c.stallMs > 0)
        rule.stallThresholdUs = c.stallMs * kMs;
    for (std::int64_t ms : c.linkLostMs)
        rule.linkLostUs.push_back(ms * kMs);
    const LabelSummary s = SummarizeLabels(reports, labels, c.endMs * kMs, rule);
    const std::array<std::int64_t, 6> tallyMs = {
        s.Tally(kEmpty).labelledUs / kMs,  s.Tally(kEmpty).agreeingUs / kMs, s.Tally(kMovingLabel).labelledUs / kMs,
        s.Tally(kMovingLabel).agreeingUs / kMs, s.Tally(kStill).labelledUs / kMs, s.Tally(kStill).agreeingUs / kMs};
    EXPECT_EQ(tallyMs, c.tallyMs);
    EXPECT_EQ(s.falsePresenceUs, c.falsePresenceMs * kMs);
    EXPECT_EQ(s.missedUs, c.missedMs * kMs);
    std::vector<std::int64_t> delaysMs;
    for (std::int64_t us : s.delaysUs)
        delaysMs.push_back(us / kMs);
    EXPECT_EQ(delaysMs, c.delaysMs);
    EXPECT_EQ(s.neverAgreed, c.neverAgreed);
    EXPECT_EQ(s.unobservedUs, c.unobservedMs * kMs);
    std::int64_t perLabelUs = 0;
    for (const LabelTally& tally : s.tallies)
        perLabelUs += tally.unobservedUs;
    EXPECT_EQ(perLabelUs, s.unobservedUs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LabelSummaryCases,
    testing::Values(
        SummaryCase{"emptyWithTwoSecondsOfMotion", {{0, kNobody}, {4000, kMoving}, {6000, kNobody}}, {{0, kEmpty}},
                    10000, {10000, 8000, 0, 0, 0, 0}, 2000, 0, {0}, 0},
        SummaryCase{"movingNoticedHalfASecondLate", {{0, kNobody}, {2500, kMoving}}, {{0, kEmpty}, {2000, kMovingLabel}},
                    4000, {2000, 2000, 2000, 1500, 0, 0}, 0, 500, {0, 500}, 0},
        SummaryCase{"stillAgreesWithMotionlessAndMoving", {{0, kMoving}, {1000, kMotionless}, {2000, kNobody}},
                    {{0, kStill}}, 3000, {0, 0, 0, 0, 3000, 2000}, 0, 1000, {0}, 0},
        SummaryCase{"unknownBeforeTheFirstReportDisagrees", {{1000, kNobody}}, {{0, kEmpty}}, 5000,
                    {5000, 4000, 0, 0, 0, 0}, 0, 0, {1000}, 0, 0, {}, 1000},
        SummaryCase{"neverAgreedBeforeTheNextChange", {{0, kNobody}}, {{0, kMovingLabel}, {3000, kEmpty}}, 5000,
                    {2000, 2000, 3000, 0, 0, 0}, 0, 3000, {0}, 1},
        SummaryCase{"offEndsLabellingAndARepeatIsNoChange", {{0, kMoving}},
                    {{0, kMovingLabel}, {1000, kMovingLabel}, {2000, kOff}, {5000, kMovingLabel}}, 6000,
                    {0, 0, 3000, 3000, 0, 0}, 0, 0, {0, 0}, 0},
        SummaryCase{"aReportAtTheChangeCountsAtIt", {{0, kNobody}, {2000, kMoving}},
                    {{0, kEmpty}, {2000, kMovingLabel}}, 3000, {2000, 2000, 1000, 1000, 0, 0}, 0, 0, {0, 0}, 0},
        SummaryCase{"aStateOutsideTheProtocolCountsAsNobody", {{0, 5}}, {{0, kEmpty}, {1000, kStill}}, 2000,
                    {1000, 1000, 0, 0, 1000, 0}, 0, 1000, {0}, 1},
        SummaryCase{"aRunOfState3LabelledEmptyIsFullAgreement", {{0, 3}, {50, 3}, {100, 3}, {150, 3}}, {{0, kEmpty}},
                    200, {200, 200, 0, 0, 0, 0}, 0, 0, {0}, 0, 1000},
        // The module was present before the link went; nothing it said covers the label.
        SummaryCase{"aLabelInsideALinkGapIsNotObserved", {{0, kMoving}, {100, kMoving}, {1700, kNobody}},
                    {{300, kEmpty}, {1400, kOff}}, 1800, {1100, 0, 0, 0, 0, 0}, 0, 0, {}, 1, 1000, {150}, 1100},
        SummaryCase{"aStallIsNotObservedTheTimeAroundItIs", {{0, kMoving}, {100, kMoving}, {3100, kMoving}},
                    {{0, kMovingLabel}}, 4000, {0, 0, 4000, 1000, 0, 0}, 0, 0, {0}, 0, 1000, {}, 3000},
        SummaryCase{"aLinkLostAfterTheLastReportLeavesTheRestUnobserved", {{0, kNobody}, {100, kNobody}},
                    {{0, kEmpty}}, 600, {600, 100, 0, 0, 0, 0}, 0, 0, {0}, 0, 1000, {300}, 500},
        SummaryCase{"labelsOutOfOrderAndPastTheEnd", {{0, kNobody}}, {{9000, kMovingLabel}, {0, kEmpty}}, 4000,
                    {4000, 4000, 0, 0, 0, 0}, 0, 0, {0}, 0}),
    [](const testing::TestParamInfo<SummaryCase>& info) { return std::string(info.param.name); });

TEST(LabelSummary, MedianAndMaximumOfTheDelays)
{
    LabelSummary odd;
    odd.delaysUs = {100 * kMs, 300 * kMs, 900 * kMs};
    EXPECT_DOUBLE_EQ(odd.MedianDelayMs(), 300.0);
    EXPECT_DOUBLE_EQ(odd.MaxDelayMs(), 900.0);
    LabelSummary even;
    even.delaysUs = {100 * kMs, 200 * kMs, 400 * kMs, 1000 * kMs};
    EXPECT_DOUBLE_EQ(even.MedianDelayMs(), 300.0);
    EXPECT_DOUBLE_EQ(LabelSummary().MedianDelayMs(), 0.0);
}

TEST(LabelSummary, TextKeepsItsDecimalPointUnderACommaLocale)
{
    const std::vector<DecodedReport> reports = {{0, kNobody, 0}, {4000 * kMs, kMoving, 90}, {6000 * kMs, kNobody, 0},
                                                {10500 * kMs, kMoving, 120}};
    const std::vector<LabelChange> labels = {{0, kEmpty}, {10000 * kMs, kMovingLabel}, {12000 * kMs, kStill}};
    const LabelSummary summary = SummarizeLabels(reports, labels, 12000 * kMs);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "no de_DE.UTF-8 locale (tools/install-deps.sh makes one)";
    const std::string text = FormatLabelSummary(summary, LabelLayer::Live);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(text,
              "Labels: those set while recording\n"
              "Ground truth: 12.0 s labelled\n"
              "  empty   10.0 s labelled, the module agreed 80.0 % of it\n"
              "  moving  2.0 s labelled, the module agreed 75.0 % of it\n"
              "  still   not labelled\n"
              "False presence: 2.0 s (the module reported someone while labelled empty)\n"
              "Missed: 0.5 s (the module reported nobody while labelled moving or still)\n"
              "Delay after a label change: median 250 ms, max 500 ms over 2 changes\n");
}

}  // namespace
