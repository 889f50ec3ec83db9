#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Wall-clock times in the tool's files, independent of the machine's time zone and locale.
// Times are milliseconds since 1970-01-01T00:00:00Z.

// "2026-12-10T11:53:21.123Z" (1 to 9 fraction digits, or none) as milliseconds (the
// fraction is cut to whole ms); none for any other text or an impossible date.
std::optional<std::int64_t> ParseUtcTimestampMs(std::string_view text);

// The UTC form with milliseconds, "2026-12-10T11:53:21.123Z".
std::string FormatUtcTimestampMs(std::int64_t utcMs);

// The local wall time with its offset, "2026-12-10T12:53:21.173+01:00" for an offset
// of 60 minutes.
std::string FormatWallTimeMs(std::int64_t utcMs, std::int64_t utcOffsetMinutes);
// The same appended to out, for a text written row after row.
void AppendWallTimeMs(std::string& out, std::int64_t utcMs, std::int64_t utcOffsetMinutes);

// This machine's offset from UTC, in minutes, at the given moment (daylight saving
// included); 0 when the system cannot tell.
std::int64_t LocalUtcOffsetMinutes(std::int64_t utcMs);
