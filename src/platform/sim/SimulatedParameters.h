#pragma once
// The detection parameters the simulated module keeps, at their power-up defaults.
// Set stores each value in the width its field has in the read-parameters reply (16
// bits for identifiers 0 to 4, 8 bits for 9 to 12), keeping what does not fit modulo
// that width, as the module's registers do; there is no range check.
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

    // True when a module answering protocolVersion sets id: 0 to 4 in version 1, 0 to 17 from 2 on.
    static bool IsSettable(std::uint16_t id, int protocolVersion);
    // Stores value under identifier id (0 to 17; a float field takes the bits of its
    // float); false (nothing stored) for any other identifier.
    bool Set(std::uint16_t id, std::int32_t value);
    // The read-parameters block that follows the reply's status word.
    std::array<std::uint8_t, 50> Encode() const;
};
