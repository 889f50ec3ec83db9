#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include "DetectionParams.h"

// The five detection parameters every module version can set, by the names they carry
// in appConfig.xml and DetectionParams, with their set-parameters identifiers.
struct BasicParameter {
    const char* name;
    std::uint16_t identifier;
    std::int32_t DetectionParams::*field;
};

// In the order the tool lists them (that of DetectionParams), not by identifier.
const std::array<BasicParameter, 5>& BasicParameters();
// The parameter named exactly so, or null.
const BasicParameter* FindBasicParameter(std::string_view name);
// "nMotionlessRangeMin, nMotionlessRangeMax, ...", for messages.
std::string BasicParameterNames();
