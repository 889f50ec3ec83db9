#pragma once
#include <cstdint>
#include <string>
#include "DetectionParams.h"

// The first line of a capture index: where and how a run was recorded. Every field may
// be empty or zero when the tool did not know it (a module that never told its
// firmware version, parameters never read).
struct CaptureHeader {
    std::string startedUtc;            // when the run began, "2026-12-10T11:53:21.123Z"
    std::int64_t utcOffsetMinutes = 0; // the local time's offset from UTC at that moment
    std::string port;                  // device path, "/dev/ttyUSB0"
    std::string identity;              // the device identity, "usb:1a86:7523:XYZ"
    std::int64_t baud = 0;
    std::int64_t reportTimeMs = 0;     // the module's report interval as set in the tool
    std::string firmware;
    std::string toolVersion;
    bool hasParameters = false;        // parameters holds what the module reported
    DetectionParams parameters;
};
