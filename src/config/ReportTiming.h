#pragma once
#include <cstdint>
#include "DetectionParams.h"

// The timing rules every part of the tool reads a run or a recording by. Constant:
// any thread may call them.

// The report interval when neither a recording nor the settings give one.
inline constexpr std::int64_t kDefaultReportIntervalMs = 50;

// The report interval a run or recording is paced and judged at: the capture index
// header's when it gives one above 0 (pass 0 without a header), else the settings' when
// above 0 (pass 0 without settings), else kDefaultReportIntervalMs.
constexpr std::int64_t ReportIntervalMs(std::int64_t fromIndexMs, std::int64_t fromSettingsMs)
{
    if (fromIndexMs > 0)
        return fromIndexMs;
    return fromSettingsMs > 0 ? fromSettingsMs : kDefaultReportIntervalMs;
}

// How long the module keeps reporting presence after the last detection: nOffTime is
// in units of 100 ms.
constexpr std::int64_t AbsenceDelayMs(const DetectionParams& params)
{
    return std::int64_t(params.nOffTime) * 100;
}
