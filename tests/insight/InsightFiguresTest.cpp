#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "ColumnEnvelope.h"
#include "DecodedReport.h"
#include "PresenceFiguresCsv.h"
#include "PresenceStatistics.h"
#include "StateStrip.h"

namespace {

constexpr std::int64_t kMs = 1000;
constexpr std::int64_t kGap = -1;  // a link gap before the next report

struct Step {
    std::int64_t ms;  // kGap: a link gap
    std::int32_t state = 0;
    std::int32_t distance = 0;
};

PresenceFigures Feed(const std::vector<Step>& steps, std::int64_t stallMs = 1000)
{
    CPresenceStatistics statistics(stallMs * kMs);
    for (const Step& s : steps) {
        if (s.ms == kGap)
            statistics.AddLinkGap();
        else
            statistics.AddReport(s.ms * kMs, s.state, s.distance);
    }
    return statistics.Figures();
}

// Reports every 100 ms from `fromMs`, `count` of them, all in one state and distance.
void Repeat(std::vector<Step>& steps, std::int64_t fromMs, int count, std::int32_t state, std::int32_t distance)
{
    for (int i = 0; i < count; ++i)
        steps.push_back({fromMs + 100 * i, state, distance});
}

struct DwellCase {
    const char* name;
    std::vector<Step> steps;
    std::array<std::int64_t, 3> timeMs;
    std::int64_t changes;
    std::int64_t longestPresenceMs;
    std::int64_t longestAbsenceMs;
    std::int64_t currentDwellMs;
    std::int64_t unobservedMs;
    std::int64_t gaps;
};

TEST(PresenceStatistics, DwellTimesOfHandMadeSequences)
{
    const std::vector<DwellCase> cases = {
        {"one report has no time yet", {{0, 1, 100}}, {0, 0, 0}, 0, 0, 0, 0, 0, 0},
        {"time goes to the earlier report's state",
         {{0, 0, 0}, {100, 0, 0}, {200, 1, 50}, {300, 2, 50}, {400, 2, 51}, {500, 0, 0}},
         {200, 100, 200}, 3, 300, 200, 0, 0, 0},
        // Moving and motionless are one presence; the current dwell is the state's own.
        {"presence spans moving and motionless",
         {{0, 1, 10}, {100, 2, 10}, {200, 1, 10}, {300, 2, 10}, {400, 2, 10}},
         {0, 200, 200}, 3, 400, 0, 100, 0, 0},
        // 0, 1, 2 only: a 7 is shown as nobody, so it is absence.
        {"unknown states count as nobody",
         {{0, 7, 0}, {100, 0, 0}, {200, 255, 0}, {300, 1, 0}},
         {300, 0, 0}, 1, 0, 300, 0, 0, 0},
        {"a stall is unobserved and ends the runs",
         {{0, 2, 80}, {100, 2, 80}, {1600, 2, 80}, {1700, 2, 80}},
         {0, 0, 200}, 0, 100, 0, 100, 1500, 1},
        {"a link gap is unobserved even when short",
         {{0, 0, 0}, {100, 0, 0}, {kGap}, {300, 0, 0}, {400, 1, 5}},
         {200, 0, 0}, 1, 0, 100, 0, 200, 1},
        {"the threshold itself is no stall", {{0, 1, 5}, {1000, 1, 5}}, {0, 1000, 0}, 0, 1000, 0, 1000, 0, 0},
        {"a clock stepping back adds no time", {{500, 0, 0}, {400, 0, 0}, {500, 0, 0}},
         {100, 0, 0}, 0, 0, 100, 100, 0, 0},
    };
    for (const DwellCase& c : cases) {
        SCOPED_TRACE(c.name);
        const PresenceFigures f = Feed(c.steps);
        for (int s = 0; s < 3; ++s)
            EXPECT_EQ(f.timeUs[std::size_t(s)], c.timeMs[std::size_t(s)] * kMs) << "state " << s;
        EXPECT_EQ(f.stateChanges, c.changes);
        EXPECT_EQ(f.longestPresenceUs, c.longestPresenceMs * kMs);
        EXPECT_EQ(f.longestAbsenceUs, c.longestAbsenceMs * kMs);
        EXPECT_EQ(f.currentDwellUs, c.currentDwellMs * kMs);
        EXPECT_EQ(f.unobservedUs, c.unobservedMs * kMs);
        EXPECT_EQ(f.gaps, c.gaps);
    }
}

TEST(PresenceStatistics, SharesAndDistanceFiguresPerState)
{
    std::vector<Step> steps;
    Repeat(steps, 0, 10, 0, 0);        // 1 s nobody
    Repeat(steps, 1000, 10, 1, 100);   // 1 s moving at 100, then 300
    Repeat(steps, 2000, 10, 1, 300);
    Repeat(steps, 3000, 11, 2, 200);   // motionless, last report ends the time
    const PresenceFigures f = Feed(steps);
    EXPECT_EQ(f.ObservedUs(), 4000 * kMs);
    EXPECT_DOUBLE_EQ(f.Share(PresenceState::Nobody), 0.25);
    EXPECT_DOUBLE_EQ(f.Share(PresenceState::Moving), 0.5);
    const DistanceSpread& moving = f.distance[1];
    EXPECT_EQ(moving.count, 20);
    EXPECT_DOUBLE_EQ(moving.mean, 200.0);
    EXPECT_DOUBLE_EQ(moving.StandardDeviation(), 100.0);
    EXPECT_EQ(moving.minimum, 100);
    EXPECT_EQ(moving.maximum, 300);
    EXPECT_EQ(f.distance[2].count, 11);
    EXPECT_DOUBLE_EQ(f.distance[2].StandardDeviation(), 0.0);
    EXPECT_EQ(f.reports, 41);
    EXPECT_EQ(f.currentDwellUs, 1000 * kMs);
    EXPECT_EQ(PresenceFigures{}.Share(PresenceState::Moving), 0.0);
}

// The figures of a recording count its recorded link losses as gaps, and their file
// keeps its decimal point (and so its columns) under a comma-decimal locale.
TEST(PresenceStatistics, RecordingFiguresFileCountsLinkLossesAndKeepsItsPoint)
{
    const std::vector<DecodedReport> reports = {{0, 0, 0}, {709 * kMs, 0, 0}, {900 * kMs, 1, 120}};
    const PresenceFigures f = FiguresOfReports(reports, 1000 * kMs, {800 * kMs});
    EXPECT_EQ(f.timeUs[0], 709 * kMs);
    EXPECT_EQ(f.unobservedUs, 191 * kMs);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "no de_DE.UTF-8 locale (tools/install-deps.sh makes one)";
    const std::string csv = PresenceFiguresCsv(f, 1500);
    std::setlocale(LC_ALL, "C");
    EXPECT_NE(csv.find("\r\ntime,nobody,0.709,s\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\r\nshare,nobody,100.00,%\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\r\nnot_observed,,0.191,s\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\r\ndistance_mean,moving,120.00,cm\r\n"), std::string::npos) << csv;
}

TEST(PresenceStatistics, AbsenceDelayRunsFromTheHeldReportToNobody)
{
    // The person stands still with a jittering distance, leaves, and the module holds
    // its last report for 2 s before it reports nobody.
    std::vector<Step> steps{{0, 2, 150}, {100, 2, 151}, {200, 2, 149}};
    Repeat(steps, 300, 20, 2, 152);
    steps.push_back({2300, 0, 0});
    PresenceFigures f = Feed(steps);
    EXPECT_EQ(f.absenceDelays, 1);
    EXPECT_EQ(f.lastAbsenceDelayUs, 2000 * kMs);

    // A second visit with a 1 s hold; the mean is over both.
    Repeat(steps, 2400, 5, 1, 90);
    Repeat(steps, 2900, 10, 1, 95);
    steps.push_back({3900, 0, 0});
    f = Feed(steps);
    EXPECT_EQ(f.absenceDelays, 2);
    EXPECT_EQ(f.lastAbsenceDelayUs, 1000 * kMs);
    EXPECT_EQ(f.MeanAbsenceDelayUs(), 1500 * kMs);

    // Nobody after a gap says nothing of the delay; nor does nobody after nobody.
    f = Feed({{0, 1, 50}, {100, 1, 50}, {kGap}, {200, 0, 0}, {300, 0, 0}});
    EXPECT_EQ(f.absenceDelays, 0);
}

TEST(StateStrip, SamplesStayAlignedWithTheHistoryAndKnowWhenTheirRunBegan)
{
    CStateStrip strip;
    strip.Replace(4);
    std::vector<StripSample> samples;
    strip.CopyTo(samples);
    ASSERT_EQ(samples.size(), 4u);
    EXPECT_EQ(samples[0].state, StripSample::kNoData);

    strip.PushReport(100, 1);
    strip.PushReport(200, 1);
    strip.PushReport(300, 1);
    strip.PushReport(400, 1);
    strip.PushReport(500, 2);  // the first moving sample scrolls off
    strip.CopyTo(samples);
    StateRun run;
    ASSERT_TRUE(FindStateRun(samples, 0, run));
    EXPECT_EQ(run.first, 0);
    EXPECT_EQ(run.last, 2);
    EXPECT_EQ(run.beganUs, 100);  // before the oldest sample on show
    EXPECT_EQ(run.lastedUs, 400);
    EXPECT_FALSE(run.goesOn);
    ASSERT_TRUE(FindStateRun(samples, 3, run));
    EXPECT_TRUE(run.goesOn);
    EXPECT_EQ(run.state, std::int8_t(PresenceState::Motionless));

    // A gap of more steps than the strip holds fills it, no more.
    strip.PushMissing(9, 600);
    strip.PushReport(900, 9);  // shown as nobody
    strip.CopyTo(samples);
    ASSERT_EQ(samples.size(), 4u);
    ASSERT_TRUE(FindStateRun(samples, 1, run));
    EXPECT_EQ(run.state, StripSample::kNoData);
    EXPECT_EQ(run.first, 0);
    EXPECT_EQ(run.lastedUs, 300);
    EXPECT_EQ(samples[3].state, std::int8_t(PresenceState::Nobody));
    EXPECT_FALSE(FindStateRun(samples, 4, run));
    EXPECT_FALSE(FindStateRun(samples, -1, run));

    // Two visits in the same state are two runs.
    strip.Replace(3);
    strip.PushReport(0, 1);
    strip.PushMissing(1, 50);
    strip.PushReport(100, 1);
    strip.CopyTo(samples);
    ASSERT_TRUE(FindStateRun(samples, 2, run));
    EXPECT_EQ(run.first, 2);
    // A resize (the chart's set-up) keeps the newest samples where they were received.
    strip.Resize(5);
    strip.CopyTo(samples);
    ASSERT_EQ(samples.size(), 5u);
    EXPECT_EQ(samples[1].state, StripSample::kNoData);
    EXPECT_EQ(samples[2].timeUs, 0);
    EXPECT_EQ(samples[4].timeUs, 100);
    EXPECT_EQ(samples[4].state, std::int8_t(PresenceState::Moving));
    strip.Resize(2);
    strip.PushReport(200, 2);
    strip.CopyTo(samples);
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_EQ(samples[0].timeUs, 100);
    EXPECT_EQ(samples[1].state, std::int8_t(PresenceState::Motionless));
    strip.Replace(0);
    strip.PushReport(0, 1);
    strip.CopyTo(samples);
    EXPECT_TRUE(samples.empty());
}

}  // namespace

namespace {

struct EnvelopeCase {
    const char* name;
    std::vector<DecodedReport> reports;
    std::int64_t from, to;
    int columns;
    std::int64_t hold;
    // Per column: no data as "-", else "min..max/state".
    std::vector<std::string> expected;
};

std::string Describe(const EnvelopeColumn& c)
{
    if (!c.hasData)
        return "-";
    return std::to_string(c.minimum) + ".." + std::to_string(c.maximum) + "/" + std::to_string(c.state);
}

TEST(ColumnEnvelope, KeepsEveryColumnsExtremesAndTellsGapsFromHeldReports)
{
    const std::vector<EnvelopeCase> cases = {
        {"a spike among many reports per column survives",
         {{0, 1, 100}, {10, 1, 900}, {20, 1, 100}, {30, 2, 50}, {40, 2, 60}, {50, 2, 55}},
         0, 60, 2, 10, {"100..900/1", "50..60/2"}},
        {"the state most reports of the column had", {{0, 1, 5}, {1, 2, 5}, {2, 2, 5}, {3, 7, 5}}, 0, 4, 1, 0,
         {"5..5/2"}},
        {"zoomed in: columns between reports hold the last one", {{0, 0, 10}, {100, 1, 20}}, 0, 200, 4, 100,
         {"10..10/0", "10..10/0", "20..20/1", "20..20/1"}},
        {"a gap longer than the hold has no data", {{0, 0, 10}, {100, 1, 20}}, 0, 200, 4, 40,
         {"10..10/0", "-", "20..20/1", "-"}},
        {"the report before the range carries in", {{0, 2, 30}, {1000, 2, 40}}, 500, 700, 2, 1000,
         {"30..30/2", "30..30/2"}},
        {"reports outside the range are left out", {{0, 1, 1}, {50, 1, 2}, {99, 1, 3}, {100, 1, 999}}, 40, 100, 3,
         0, {"2..2/1", "-", "3..3/1"}},
        {"no reports at all", {}, 0, 100, 2, 1000, {"-", "-"}},
        {"an empty range has no columns", {{0, 1, 1}}, 100, 100, 4, 0, {}},
        {"no columns", {{0, 1, 1}}, 0, 100, 0, 0, {}},
    };
    std::vector<EnvelopeColumn> out;
    for (const EnvelopeCase& c : cases) {
        SCOPED_TRACE(c.name);
        BuildEnvelope(c.reports, c.from, c.to, c.columns, c.hold, out);
        std::vector<std::string> described;
        for (const EnvelopeColumn& column : out)
            described.push_back(Describe(column));
        EXPECT_EQ(described, c.expected);
    }
}

}  // namespace
