#pragma once
// The command line of the stand-alone simulated module.
#include <string>

#include "SimulatedModuleOptions.h"

struct SimRadarOptions {
    SimulatedModuleOptions module;
    std::string recordPath;  // empty: no recording
    std::string stampPath;   // empty: no time stamps
    bool showHelp = false;

    // Parses argv; false with a message in error for unknown options or bad values.
    bool Parse(int argc, char** argv, std::string* error);
    static const char* Usage();
};
