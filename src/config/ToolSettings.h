#pragma once
#include <cstdint>
#include "DetectionParams.h"

// The values the tool keeps in appConfig.xml, with the values they hold before any
// file is read. The main window owns one record; the user-interface thread alone
// touches it.
struct ToolSettings {
    std::int32_t baudRate = 256000;
    // All zero until RestoreDefaults; the file then replaces what it holds.
    DetectionParams params;
    // The module's report interval as the chart assumes it, in milliseconds.
    std::int32_t reportTimeMS = 50;
};
