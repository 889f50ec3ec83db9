#pragma once
// A parameter snapshot: the module's 18 detection parameters at one moment, with where
// and when they were read, as a human-readable JSON file:
//
//   {
//     "format": "tivane-parameter-snapshot",
//     "version": 1,
//     "saved_utc": "2026-12-10T11:53:21.123Z",
//     "firmware": "1.0.0-sim",
//     "port": "/dev/ttyUSB0",
//     "identity": "usb:1a86:7523:A1B2",
//     "tool_version": "1.0.0",
//     "parameters": {
//       "nMotionlessRangeMin": 30,
//       ...                              (all 18, by their appConfig.xml names)
//       "nDistanceCalibration": 0
//     }
//   }
//
// Floats are written as the shortest decimal that reads back to the same 32-bit float;
// one the module holds as not-a-number or infinite is written "NaN", "Infinity" or
// "-Infinity" (a NaN reads back as the quiet NaN 0x7FC00000, whatever its payload was).
// Formatting and parsing are pure functions: any thread.
#include <string>
#include <string_view>

#include "DetectionParams.h"

namespace ModuleParams {

inline constexpr const char* kSnapshotFormat = "tivane-parameter-snapshot";
constexpr int kSnapshotVersion = 1;

struct ParameterSnapshot {
    std::string savedUtc;     // when the values were read, "2026-12-10T11:53:21.123Z"
    std::string firmware;     // the module's firmware version text
    std::string port;         // the serial device it was read on
    std::string identity;     // how the tool knows that device again (USB ids, or "path:...")
    std::string toolVersion;  // the version of the program that saved it
    DetectionParams parameters;
};

// The snapshot as the file's text, one member a line, ending with a line break.
std::string FormatSnapshot(const ParameterSnapshot& snapshot);

// Reads a snapshot from the file's text. Everything is checked: that it is a snapshot
// of this format and version, that every member and all 18 parameters are there with
// the right types, that nothing unknown is there, and that each value fits its field.
// False with error naming the member or field and why; snapshot is untouched then.
bool ParseSnapshot(std::string_view text, ParameterSnapshot& snapshot, std::string& error);

}  // namespace ModuleParams
