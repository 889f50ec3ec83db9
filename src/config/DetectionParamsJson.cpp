#include "DetectionParamsJson.h"

#include <cstdint>
#include <limits>
#include "JsonText.h"

namespace {
// Exactly one of integer and real is set.
struct Field {
    const char* name;
    std::int32_t DetectionParams::*integer;
    float DetectionParams::*real;
};

constexpr Field kFields[] = {
    {"nMotionlessRangeMin", &DetectionParams::nMotionlessRangeMin, nullptr},
    {"nMotionlessRangeMax", &DetectionParams::nMotionlessRangeMax, nullptr},
    {"nMotionRangeMin", &DetectionParams::nMotionRangeMin, nullptr},
    {"nMotionRangeMax", &DetectionParams::nMotionRangeMax, nullptr},
    {"nOffTime", &DetectionParams::nOffTime, nullptr},
    {"nMotionIIR", &DetectionParams::nMotionIIR, nullptr},
    {"nMotionlessIIR", &DetectionParams::nMotionlessIIR, nullptr},
    {"fMotionNearEndCoef", nullptr, &DetectionParams::fMotionNearEndCoef},
    {"fMotionFarEndCoef", nullptr, &DetectionParams::fMotionFarEndCoef},
    {"fMotionlessNearEndCoef", nullptr, &DetectionParams::fMotionlessNearEndCoef},
    {"fMotionlessFarEndCoef", nullptr, &DetectionParams::fMotionlessFarEndCoef},
    {"nMotionWindowRange", &DetectionParams::nMotionWindowRange, nullptr},
    {"nMotionlessWindowRange", &DetectionParams::nMotionlessWindowRange, nullptr},
    {"fKalman1", nullptr, &DetectionParams::fKalman1},
    {"fKalman2", nullptr, &DetectionParams::fKalman2},
    {"fKalman3", nullptr, &DetectionParams::fKalman3},
    {"fKalman4", nullptr, &DetectionParams::fKalman4},
    {"nDistanceCalibration", &DetectionParams::nDistanceCalibration, nullptr},
};
static_assert(sizeof(kFields) / sizeof(kFields[0]) == 18, "one entry per detection parameter");

}  // namespace

void AppendParametersJson(std::string& out, const DetectionParams& params)
{
    out += '{';
    bool first = true;
    for (const Field& field : kFields) {
        if (!first)
            out += ',';
        first = false;
        out += '"';
        out += field.name;
        out += "\":";
        if (field.integer)
            AppendJsonInteger(out, params.*field.integer);
        else
            AppendJsonFloat(out, params.*field.real);
    }
    out += '}';
}

bool ReadParametersJson(std::span<const JsonMember> members, DetectionParams& params, std::string& error)
{
    for (const Field& field : kFields) {
        const JsonMember* member = CJsonObjectLine::FindIn(members, field.name);
        if (!member)
            continue;
        if (field.integer) {
            const bool fits = member->type == JsonType::Integer &&
                              member->integer >= std::numeric_limits<std::int32_t>::min() &&
                              member->integer <= std::numeric_limits<std::int32_t>::max();
            if (!fits) {
                error = std::string("parameter ") + field.name + " is not a 32-bit integer";
                return false;
            }
            params.*field.integer = std::int32_t(member->integer);
        } else if (ReadJsonFloat(*member, params.*field.real) != JsonFloatRead::Ok) {
            error = std::string("parameter ") + field.name + " is not a 32-bit float";
            return false;
        }
    }
    return true;
}
