#pragma once
// The detection parameters the simulated module keeps, at their power-up defaults.
// Values are stored as the host sends them (the module does no range check); the
// read-parameters block then carries each in its own width.
#include <array>
#include <cstdint>

struct SimulatedParameters {
    std::int32_t nMotionlessRangeMin = 30;
    std::int32_t nMotionlessRangeMax = 425;
    std::int32_t nMotionRangeMin = 30;
    std::int32_t nMotionRangeMax = 717;
    std::int32_t nOffTime = 20;  // units of 100 ms
    std::int32_t nMotionIIR = 2;
    std::int32_t nMotionlessIIR = 8;
    float fMotionNearEndCoef = 40.0f;
    float fMotionFarEndCoef = 6.0f;
    float fMotionlessNearEndCoef = 40.0f;
    float fMotionlessFarEndCoef = 9.0f;
    std::int32_t nMotionWindowRange = 5;
    std::int32_t nMotionlessWindowRange = 10;
    float fKalman1 = 0.5f;
    float fKalman2 = 0.5f;
    float fKalman3 = 0.85f;
    float fKalman4 = 0.15f;
    std::int32_t nDistanceCalibration = 0;

    // True when id is one of the settable identifiers (0 to 4).
    static bool IsSettable(std::uint16_t id);
    // Stores value under a settable identifier; false (nothing stored) for any other.
    bool Set(std::uint16_t id, std::int32_t value);
    // The read-parameters block that follows the reply's status word.
    std::array<std::uint8_t, 50> Encode() const;
};
