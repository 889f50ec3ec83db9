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

    // Settings of later features: each is an extra attribute of AppConfig, written only
    // while it differs from its default, so a file never touched by them keeps its 20.
    // Reconnect to the same device when the link is lost during a run.
    bool autoReconnect = false;
    // The statistics panel under the chart is open.
    bool showStatistics = false;
};
