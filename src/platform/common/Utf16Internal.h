#pragma once
// Internal to the common library: UTF-8 / UTF-16 conversion without a locale.
#include <string>

namespace vetra_common_internal {

// Length of a zero-terminated UTF-16 text; 0 for null.
std::size_t U16Length(const char16_t* text);
// Invalid sequences become U+FFFD.
std::string Utf16ToUtf8(const char16_t* text, std::size_t length);
std::u16string Utf8ToUtf16(const char* text, std::size_t length);

}  // namespace vetra_common_internal
