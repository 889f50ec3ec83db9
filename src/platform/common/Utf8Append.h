#pragma once
#include <cstdint>
#include <string>

// Appends a Unicode code point (at most U+10FFFF, no surrogate) as UTF-8: the one
// encoder behind the text conversions and the JSON writer.
void AppendUtf8(std::string& out, std::uint32_t code);
