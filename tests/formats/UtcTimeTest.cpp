// The UTC and wall-clock time texts of the tool's files, independent of the machine's
// time zone.
#include <cstdint>
#include <optional>
#include <gtest/gtest.h>
#include "UtcTime.h"

namespace {

struct WallTimeCase {
    const char* utc;
    std::int64_t offsetMinutes;
    const char* wall;  // null: the UTC text is refused
};

class UtcTimeText : public testing::TestWithParam<WallTimeCase> {};

TEST_P(UtcTimeText, ParsesAndFormatsAcrossDaysAndZones)
{
    const std::optional<std::int64_t> ms = ParseUtcTimestampMs(GetParam().utc);
    if (!GetParam().wall) {
        EXPECT_FALSE(ms) << GetParam().utc;
        return;
    }
    ASSERT_TRUE(ms) << GetParam().utc;
    EXPECT_EQ(FormatWallTimeMs(*ms, GetParam().offsetMinutes), GetParam().wall);
    EXPECT_EQ(ParseUtcTimestampMs(FormatUtcTimestampMs(*ms)), ms);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UtcTimeText,
    testing::Values(WallTimeCase{"2026-12-31T23:59:59.999Z", 60, "2027-01-01T00:59:59.999+01:00"},
                    WallTimeCase{"2026-03-01T02:00:00Z", -330, "2026-02-28T20:30:00.000-05:30"},
                    WallTimeCase{"2028-02-29T12:00:00.5Z", 0, "2028-02-29T12:00:00.500+00:00"},
                    WallTimeCase{"1969-12-31T23:59:59.123456789Z", 0, "1969-12-31T23:59:59.123+00:00"},
                    WallTimeCase{"0999-01-01T00:00:00.007Z", 845, "0999-01-01T14:05:00.007+14:05"},
                    WallTimeCase{"2026-02-29T12:00:00Z", 0, nullptr},
                    WallTimeCase{"2026-12-10T11:53:21.123", 0, nullptr},
                    WallTimeCase{"2026-12-10 11:53:21Z", 0, nullptr},
                    WallTimeCase{"2026-12-10T24:00:00Z", 0, nullptr},
                    WallTimeCase{"2026-12-10T11:53:21.Z", 0, nullptr}));

}  // namespace
