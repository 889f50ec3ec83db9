#include "TextLinePlacement.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct PlacementCase {
    const char* name;
    std::vector<double> heights;
    double top, height;
    int spacing, alignment;
    std::vector<double> expectedTops;
};

void PrintTo(const PlacementCase& c, std::ostream* os) { *os << c.name; }

class PlaceTextLinesTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(PlaceTextLinesTest, PutsLinesWhereTheSpacingRuleSays)
{
    const PlacementCase& c = GetParam();
    const std::vector<double> tops = PlaceTextLines(c.heights, c.top, c.height, c.spacing, c.alignment);
    ASSERT_EQ(tops.size(), c.expectedTops.size());
    for (std::size_t i = 0; i < tops.size(); ++i)
        EXPECT_NEAR(tops[i], c.expectedTops[i], 1e-9) << "line " << i;
}

constexpr double kThird = 40.0 / 3;  // (100 - 2 x 30) / 3

INSTANTIATE_TEST_SUITE_P(
    Rule, PlaceTextLinesTest,
    ::testing::Values(
        // One line of h in H: g = (H - h) / 2, drawn at T + g whatever the alignment.
        PlacementCase{"OneLineCentred", {62}, 0, 100, 0, 1, {19}},
        PlacementCase{"OneLineNear", {62}, 0, 100, 0, 0, {19}},
        PlacementCase{"OneLineFar", {62}, 0, 100, 0, 2, {19}},
        // Two 30-pixel lines in 100: g = 40/3, lines at T + 13.3 and T + 56.7.
        PlacementCase{"TwoLinesCentred", {30, 30}, 10, 100, 0, 1, {10 + kThird, 10 + 30 + 2 * kThird}},
        PlacementCase{"TwoLinesNear", {30, 30}, 10, 100, 0, 0, {10 + kThird, 10 + 30 + 2 * kThird}},
        PlacementCase{"TwoLinesFar", {30, 30}, 10, 100, 0, 2, {10 + kThird, 10 + 30 + 2 * kThird}},
        // A fixed 5-pixel gap: near starts one gap down, far ends one gap up.
        PlacementCase{"FixedGapNear", {30, 30}, 0, 100, 5, 0, {5, 40}},
        PlacementCase{"FixedGapCentred", {30, 30}, 0, 100, 5, 1, {17.5, 52.5}},
        PlacementCase{"FixedGapFar", {30, 30}, 0, 100, 5, 2, {30, 65}},
        // Empty lines (height 0) still take their gap.
        PlacementCase{"EmptyLineKeepsItsGap", {20, 0, 20}, 0, 100, 0, 1, {15, 50, 65}},
        // Lines taller than the area overlap rather than vanish.
        PlacementCase{"Overfull", {40, 40}, 0, 50, 0, 1, {-10, 20}},
        PlacementCase{"UnknownAlignmentIsNear", {30, 30}, 0, 100, 5, 9, {5, 40}},
        PlacementCase{"NoLines", {}, 0, 100, 0, 1, {}}),
    [](const ::testing::TestParamInfo<PlacementCase>& info) { return std::string(info.param.name); });

}  // namespace
