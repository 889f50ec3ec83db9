#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include "JsonObjectLine.h"

// Typed reading of the members of a parsed line. Each returns false with error naming
// the key when the member has the wrong type or lies outside [min, max]; an absent
// member is an error only when required, and leaves value as it was otherwise.

bool ReadIntegerField(const CJsonObjectLine& line, std::string_view key, bool required, std::int64_t min,
                      std::int64_t max, std::int64_t& value, std::string& error);

bool ReadStringField(const CJsonObjectLine& line, std::string_view key, bool required, std::string& value,
                     std::string& error);

// How a JSON value reads as a 32-bit float: a number within its range, or the strings
// "NaN", "Infinity" and "-Infinity" that stand for the values a JSON number cannot hold
// (AppendJsonFloat writes them so).
enum class JsonFloatRead { Ok, NotANumber, TooLarge };
JsonFloatRead ReadJsonFloat(const JsonMember& member, float& value);
