#pragma once
// UTF-16 and UTF-8 strings at the edge of the exported functions.
#include <QString>
#include <cstddef>

// Characters of the wide path buffers of the A variants, terminator included.
constexpr std::size_t kWidePathChars = 260;

// text as a QString; null gives an empty string.
QString WideToQString(const char16_t* text);
// Converts the UTF-8 path into out (kWidePathChars). False, with out empty, for a null
// path or one that does not fit.
bool Utf8PathToWideBuffer(const char* path, char16_t* out);
// Writes text into out of outSize units (terminator included), never more. False, with
// out empty when outSize allows, when it does not fit.
bool CopyToWideBuffer(const QString& text, char16_t* out, std::size_t outSize);
bool CopyToUtf8Buffer(const QString& text, char* out, std::size_t outSize);
