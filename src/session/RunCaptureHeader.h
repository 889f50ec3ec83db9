#pragma once
#include <cstdint>
#include <string>

#include "CaptureHeader.h"
#include "DetectionParams.h"
#include "ModuleLink.h"

// What the capture index of a run started now says of the link and the module: the
// device as the link knows it, the line and report settings, the firmware and, when they
// are known, the detection parameters. The start time is the index writer's to stamp.
CaptureHeader RunCaptureHeader(const CModuleLink& link, int baud, std::int64_t reportTimeMs,
                               const std::string& firmware, const DetectionParams* parameters);
