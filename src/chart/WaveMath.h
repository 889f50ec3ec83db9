#pragma once
#include <cmath>
#include <cstdint>

// Rounding and conversion rules shared by the wave buffer and the chart window.
// Every value that becomes a pixel row or a sample index goes through these, so a
// NaN or an infinity from a degenerate range can never reach an integer cast.
namespace wave_math {

// Nearest integer, halves away from zero.
inline double Nearest(double x) { return std::round(x); }

// int(x): truncation toward zero, saturated to the 64-bit range (NaN gives 0).
inline std::int64_t Truncate(double x)
{
    if (!(x == x))
        return 0;
    if (x >= 9.2e18)
        return INT64_MAX;
    if (x <= -9.2e18)
        return INT64_MIN;
    return std::int64_t(x);
}

// x clamped to lo .. hi and truncated; NaN lands on lo. Requires lo <= hi.
inline std::int64_t ClampToRange(double x, std::int64_t lo, std::int64_t hi)
{
    if (!(x >= double(lo)))
        return lo;
    if (x >= double(hi))
        return hi;
    return std::int64_t(x);
}

// a modulo m taken into 0 .. m - 1; m must be positive.
inline std::int64_t PositiveModulo(std::int64_t a, std::int64_t m)
{
    const std::int64_t r = a % m;
    return r < 0 ? r + m : r;
}

}  // namespace wave_math
