#pragma once
#include <cstdint>
#include <string_view>

// Reads a number the way the standard text-to-double conversion does (leading white
// space, an optional sign, decimal digits with an optional point and exponent, or a
// hexadecimal number, or inf / nan; the longest such start of the text) and truncates
// it toward zero to a 32-bit signed integer: "12.9" gives 12, "-5" -5, "1e3" 1000,
// " 40" 40. A text that does not start with a number gives 0, and so does nan.
// Values beyond the 32-bit range (inf included) clamp to its nearest end.
// The parameter dialog reads its edit boxes with this. Any thread.
std::int32_t TextToTruncatedInt32(std::string_view text);
