#include "BasicParameters.h"

const std::array<BasicParameter, 5>& BasicParameters()
{
    // Identifiers as the module numbers them: 0 and 1 the motion range (max, min),
    // 2 and 3 the motionless range (max, min), 4 the absence delay.
    static const std::array<BasicParameter, 5> parameters{{
        {"nMotionlessRangeMin", 3, &DetectionParams::nMotionlessRangeMin},
        {"nMotionlessRangeMax", 2, &DetectionParams::nMotionlessRangeMax},
        {"nMotionRangeMin", 1, &DetectionParams::nMotionRangeMin},
        {"nMotionRangeMax", 0, &DetectionParams::nMotionRangeMax},
        {"nOffTime", 4, &DetectionParams::nOffTime},
    }};
    return parameters;
}

const BasicParameter* FindBasicParameter(std::string_view name)
{
    for (const BasicParameter& parameter : BasicParameters()) {
        if (name == parameter.name)
            return &parameter;
    }
    return nullptr;
}

std::string BasicParameterNames()
{
    std::string names;
    for (const BasicParameter& parameter : BasicParameters()) {
        if (!names.empty())
            names += ", ";
        names += parameter.name;
    }
    return names;
}
