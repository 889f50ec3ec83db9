#pragma once
#include <cstdint>

// One valid report frame of a recording: the state and distance it carried, and the
// time (µs since the run began) of the delivery that completed it.
struct DecodedReport {
    std::int64_t timeUs = 0;
    std::int32_t state = 0;     // 0 nobody, 1 moving, 2 motionless; other values as sent
    std::int32_t distance = 0;  // cm
    bool operator==(const DecodedReport&) const = default;
};
