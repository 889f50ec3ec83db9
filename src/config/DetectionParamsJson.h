#pragma once
#include <span>
#include <string>
#include "DetectionParams.h"
#include "JsonFields.h"
#include "JsonObjectLine.h"

// The 18 detection parameters as the "parameters" object of a capture index header,
// each under its DetectionParams field name.

// Appends {"nMotionlessRangeMin":30,...} with all 18 fields in record order; floats
// round-trip exactly.
void AppendParametersJson(std::string& out, const DetectionParams& params);

// Fills params from the members of a "parameters" object. Fields not present keep their
// value; unknown keys are ignored. False, with error naming the field, when a value has
// the wrong type or does not fit its field (integers must fit 32 bits).
bool ReadParametersJson(std::span<const JsonMember> members, DetectionParams& params, std::string& error);
