#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Pieces of JSON text for the tool's JSON Lines files, written the same under
// every locale.

// Appends text as a JSON string with its quotes: quote and backslash escaped, control
// characters (and DEL) as \u00XX, valid UTF-8 passed through. A byte outside valid
// UTF-8 (a device path in another encoding) becomes U+FFFD, so the line stays readable
// JSON.
void AppendJsonString(std::string& out, std::string_view text);

// Appends the integer in decimal.
void AppendJsonInteger(std::string& out, std::int64_t value);

// Appends the shortest decimal that reads back as exactly this float. JSON has no
// infinity or NaN, so those are written as the strings "Infinity", "-Infinity", "NaN".
void AppendJsonFloat(std::string& out, float value);

// The length of the valid UTF-8 sequence at the start of bytes (1 to 4), or 0 when it
// is not one (overlong forms, surrogates and code points above U+10FFFF included).
std::size_t Utf8SequenceLength(const unsigned char* bytes, std::size_t available);
