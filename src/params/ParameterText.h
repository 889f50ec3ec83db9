#pragma once
// A parameter's value as text, the same under every locale: what an operator types
// for a field, and how a field's raw value is shown. Pure functions: any thread.
#include <cstdint>
#include <string>
#include <string_view>

#include "ParameterTable.h"

namespace ModuleParams {

// Parses text for field into raw (the set-parameters value). Integer kinds take a
// whole decimal number within the field's range; F32 takes a decimal number ("0.85",
// "-4", "1.5e-3") that a 32-bit float can hold. Nothing else is accepted: no blanks,
// no decimal comma, no hex, no "nan" or "inf". False, raw untouched, with error naming
// the field and why ("nOffTime: 70000 is outside 0 to 65535").
bool ParseParameterText(const ParameterInfo& field, std::string_view text, std::int32_t& raw, std::string& error);

// The raw value as text: integers in decimal, floats as the shortest decimal that reads
// back to the same bits ("0.85"); a float that is not a number shows as NaN, Infinity
// or -Infinity, which ParseParameterText refuses.
std::string FormatParameterValue(const ParameterInfo& field, std::int32_t raw);

}  // namespace ModuleParams
