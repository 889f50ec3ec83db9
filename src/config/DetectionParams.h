#pragma once
#include <cstddef>
#include <cstdint>

// The tool's copy of the module's 18 detection parameters. Each field is named like
// its attribute in appConfig.xml. The order and the 32-bit width of every field are
// part of the record's contract: the parameter dialog and the read-parameters reply
// map onto it field by field. Touched on the user-interface thread only (the module
// reply parse runs while that thread waits for it).
struct DetectionParams {
    std::int32_t nMotionlessRangeMin = 0;   // cm, start of the micro-motion range
    std::int32_t nMotionlessRangeMax = 0;   // cm, end of the micro-motion range
    std::int32_t nMotionRangeMin = 0;       // cm, start of the motion range
    std::int32_t nMotionRangeMax = 0;       // cm, end of the motion range
    std::int32_t nOffTime = 0;              // units of 100 ms: absence report delay
    std::int32_t nMotionIIR = 0;
    std::int32_t nMotionlessIIR = 0;
    float fMotionNearEndCoef = 0.0f;
    float fMotionFarEndCoef = 0.0f;
    float fMotionlessNearEndCoef = 0.0f;
    float fMotionlessFarEndCoef = 0.0f;
    std::int32_t nMotionWindowRange = 0;
    std::int32_t nMotionlessWindowRange = 0;
    float fKalman1 = 0.0f;
    float fKalman2 = 0.0f;
    float fKalman3 = 0.0f;
    float fKalman4 = 0.0f;
    std::int32_t nDistanceCalibration = 0;  // range offset

    // Writes the module's power-up defaults into all 18 fields (so the range offset
    // becomes 0). The baud rate and the report interval are not part of this record.
    void RestoreDefaults();

    // The record holding exactly the defaults.
    static DetectionParams Defaults();
};

static_assert(sizeof(DetectionParams) == 18 * 4, "18 fields of 32 bits, no padding");
static_assert(offsetof(DetectionParams, nOffTime) == 4 * 4);
static_assert(offsetof(DetectionParams, fMotionNearEndCoef) == 7 * 4);
static_assert(offsetof(DetectionParams, fKalman1) == 13 * 4);
static_assert(offsetof(DetectionParams, nDistanceCalibration) == 17 * 4);
