#include <gtest/gtest.h>

#include <set>

#include "PresenceScenario.h"

namespace {

constexpr int kStepMs = 50;

std::vector<PresenceSample> RunScenario(std::uint64_t seed, const SimulatedParameters& parameters, int steps)
{
    CPresenceScenario scenario(seed);
    std::vector<PresenceSample> samples;
    for (int i = 0; i < steps; ++i)
        samples.push_back(scenario.Step(kStepMs, parameters));
    return samples;
}

// Step index of the first return to nobody after someone was there.
int FirstReturnToNobody(const std::vector<PresenceSample>& samples)
{
    bool someone = false;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        someone = someone || samples[i].state != 0;
        if (someone && samples[i].state == 0)
            return int(i);
    }
    return -1;
}

}  // namespace

TEST(PresenceScenario, SameSeedSameStoryOtherSeedOtherStory)
{
    const SimulatedParameters defaults;
    const auto a = RunScenario(42, defaults, 2000);
    const auto b = RunScenario(42, defaults, 2000);
    const auto c = RunScenario(43, defaults, 2000);
    auto same = [](const std::vector<PresenceSample>& x, const std::vector<PresenceSample>& y) {
        return std::equal(x.begin(), x.end(), y.begin(), [](const PresenceSample& p, const PresenceSample& q) {
            return p.state == q.state && p.distanceCm == q.distanceCm;
        });
    };
    EXPECT_TRUE(same(a, b));
    EXPECT_FALSE(same(a, c));
}

struct RangeCase {
    const char* name;
    std::int32_t motionMin, motionMax, motionlessMin, motionlessMax;
    int lo1, hi1, lo2, hi2;  // the ranges as the distances must respect them
};

class PresenceScenarioRanges : public testing::TestWithParam<RangeCase> {};

TEST_P(PresenceScenarioRanges, TellsTheWholeStoryInsideTheRanges)
{
    const RangeCase& c = GetParam();
    SimulatedParameters p;
    p.nMotionRangeMin = c.motionMin;
    p.nMotionRangeMax = c.motionMax;
    p.nMotionlessRangeMin = c.motionlessMin;
    p.nMotionlessRangeMax = c.motionlessMax;
    std::set<int> statesSeen;
    int previous = 0;
    for (const PresenceSample& s : RunScenario(5, p, 6000)) {  // five minutes
        statesSeen.insert(s.state);
        if (s.state == 0) {
            EXPECT_EQ(s.distanceCm, 0);
        }
        if (s.state == 1) {
            EXPECT_GE(s.distanceCm, c.lo1);
            EXPECT_LE(s.distanceCm, c.hi1);
        }
        if (s.state == 2) {
            EXPECT_GE(s.distanceCm, c.lo2);
            EXPECT_LE(s.distanceCm, c.hi2);
        }
        // A person walks in before standing still.
        if (previous == 0) {
            EXPECT_NE(s.state, 2);
        }
        previous = s.state;
    }
    EXPECT_EQ(statesSeen, (std::set<int>{0, 1, 2}));
}

INSTANTIATE_TEST_SUITE_P(
    Parameters, PresenceScenarioRanges,
    testing::Values(RangeCase{"defaults", 30, 717, 30, 425, 30, 717, 30, 425},
                    RangeCase{"narrow", 100, 150, 110, 120, 100, 150, 110, 120},
                    RangeCase{"reversed", 500, 200, 300, 250, 200, 500, 250, 300},
                    RangeCase{"negative", -40, 900, -1, 90, 0, 900, 0, 90},
                    RangeCase{"beyond_u16", 65500, 70000, 65520, 80000, 65500, 65535, 65520, 65535},
                    RangeCase{"disjoint", 400, 600, 50, 100, 400, 600, 50, 100}),
    [](const testing::TestParamInfo<RangeCase>& info) { return std::string(info.param.name); });

TEST(PresenceScenario, OffTimeDelaysOnlyTheReturnToNobody)
{
    SimulatedParameters shortDelay;
    shortDelay.nOffTime = 5;  // 0.5 s
    SimulatedParameters longDelay;
    longDelay.nOffTime = 30;  // 3 s
    const auto a = RunScenario(9, shortDelay, 3000);
    const auto b = RunScenario(9, longDelay, 3000);
    const int returnA = FirstReturnToNobody(a);
    const int returnB = FirstReturnToNobody(b);
    ASSERT_GT(returnA, 0);
    EXPECT_EQ((returnB - returnA) * kStepMs, 2500);
    // Until then both runs tell the same story; during the delay the last presence is held.
    for (int i = 0; i < returnA - 10; ++i)
        ASSERT_EQ(a[std::size_t(i)].distanceCm, b[std::size_t(i)].distanceCm) << "step " << i;
    for (int i = returnA; i < returnB; ++i)
        EXPECT_NE(b[std::size_t(i)].state, 0);
}
