#include "UtcTime.h"

#include <cstdio>
#include <ctime>

namespace {
constexpr std::int64_t kMsPerDay = 86400000;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + std::int64_t(doe) - 719468;
}

struct CivilDate {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

CivilDate CivilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {std::int64_t(yoe) + era * 400 + (m <= 2 ? 1 : 0), m, d};
}

bool IsLeapYear(std::int64_t y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

unsigned DaysInMonth(std::int64_t y, unsigned m)
{
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// Reads exactly `count` digits at text[pos]; false when they are not all digits.
bool ReadDigits(std::string_view text, std::size_t pos, std::size_t count, unsigned& value)
{
    if (pos + count > text.size())
        return false;
    value = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const char c = text[pos + k];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + unsigned(c - '0');
    }
    return true;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0);
}

void AppendTwoDigits(std::string& out, std::int64_t value)
{
    out += char('0' + value / 10 % 10);
    out += char('0' + value % 10);
}

// "+01:00": the offset's sign, hours (two digits, as many as a day's offset has) and minutes.
void AppendZone(std::string& out, std::int64_t utcOffsetMinutes)
{
    const std::int64_t magnitude = utcOffsetMinutes < 0 ? -utcOffsetMinutes : utcOffsetMinutes;
    out += utcOffsetMinutes < 0 ? '-' : '+';
    AppendTwoDigits(out, magnitude / 60 % 100);
    out += ':';
    AppendTwoDigits(out, magnitude % 60);
}

// The date and time of ms with milliseconds, without a zone. Digits are put by hand:
// a CSV export writes one per report, and the C library's formatting would cost more
// than all the rest of the row.
void AppendMs(std::string& out, std::int64_t ms)
{
    const std::int64_t days = FloorDiv(ms, kMsPerDay);
    const std::int64_t inDay = ms - days * kMsPerDay;
    const CivilDate date = CivilFromDays(days);
    if (date.year < 0 || date.year > 9999) {
        char year[24];
        std::snprintf(year, sizeof year, "%04lld", static_cast<long long>(date.year));
        out += year;
    } else {
        AppendTwoDigits(out, date.year / 100);
        AppendTwoDigits(out, date.year % 100);
    }
    out += '-';
    AppendTwoDigits(out, date.month);
    out += '-';
    AppendTwoDigits(out, date.day);
    out += 'T';
    AppendTwoDigits(out, inDay / 3600000);
    out += ':';
    AppendTwoDigits(out, inDay / 60000 % 60);
    out += ':';
    AppendTwoDigits(out, inDay / 1000 % 60);
    out += '.';
    out += char('0' + inDay % 1000 / 100);
    AppendTwoDigits(out, inDay % 100);
}
}  // namespace

std::optional<std::int64_t> ParseUtcTimestampMs(std::string_view text)
{
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    const bool shape = ReadDigits(text, 0, 4, year) && text.size() > 19 && text[4] == '-' &&
                       ReadDigits(text, 5, 2, month) && text[7] == '-' && ReadDigits(text, 8, 2, day) &&
                       text[10] == 'T' && ReadDigits(text, 11, 2, hour) && text[13] == ':' &&
                       ReadDigits(text, 14, 2, minute) && text[16] == ':' && ReadDigits(text, 17, 2, second);
    if (!shape || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59)
        return std::nullopt;
    std::size_t pos = 19;
    unsigned ms = 0;
    if (text[pos] == '.') {
        ++pos;
        std::size_t digits = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 9) {
            if (digits < 3)
                ms = ms * 10 + unsigned(text[pos] - '0');
            ++pos;
            ++digits;
        }
        if (digits == 0)
            return std::nullopt;
        for (std::size_t k = digits; k < 3; ++k)
            ms *= 10;
    }
    if (pos + 1 != text.size() || text[pos] != 'Z')
        return std::nullopt;
    const std::int64_t days = DaysFromCivil(year, month, day);
    return days * kMsPerDay + std::int64_t(hour) * 3600000 + std::int64_t(minute) * 60000 +
           std::int64_t(second) * 1000 + ms;
}

std::string FormatUtcTimestampMs(std::int64_t utcMs)
{
    std::string text;
    AppendMs(text, utcMs);
    text += 'Z';
    return text;
}

std::string FormatWallTimeMs(std::int64_t utcMs, std::int64_t utcOffsetMinutes)
{
    std::string text;
    AppendWallTimeMs(text, utcMs, utcOffsetMinutes);
    return text;
}

void AppendWallTimeMs(std::string& out, std::int64_t utcMs, std::int64_t utcOffsetMinutes)
{
    AppendMs(out, utcMs + utcOffsetMinutes * 60000);
    AppendZone(out, utcOffsetMinutes);
}

std::int64_t LocalUtcOffsetMinutes(std::int64_t utcMs)
{
    const std::time_t seconds = std::time_t(FloorDiv(utcMs, 1000));
    std::tm local{};
    if (!localtime_r(&seconds, &local))
        return 0;
    return std::int64_t(local.tm_gmtoff) / 60;
}
