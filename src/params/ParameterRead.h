#pragma once
// Reading the module's parameters and firmware version in one command-mode bracket.
// Threads: the calling thread only, as CModuleExchange says.
#include <string>

#include "DetectionParams.h"
#include "ModuleExchange.h"
#include "RadarDevice.h"

namespace ModuleParams {

struct ReadResult {
    // The values were read and the module left command mode again.
    bool ok = false;
    // Empty when ok; otherwise what went wrong, in a sentence.
    std::string error;
    bool valuesRead = false;  // params holds the module's 18 values
    DetectionParams params;
    std::string firmware;     // the module's version text (when valuesRead)
    int protocolVersion = 0;  // as the module gave it on entering command mode; 0 when it did not answer
    bool leftCommandMode = false;
    int retries = 0;          // commands sent again after a time-out
};

// Enters command mode, reads the firmware version and all 18 parameters, and leaves
// command mode (also when something failed). Blocks the calling thread; see
// CModuleExchange for the threads.
ReadResult ReadAll(VetraRadarHandle device, const ExchangeTimings& timings = {});

// The same inside a bracket the caller has entered; does not leave it.
ReadResult ReadInBracket(CModuleExchange& exchange);

}  // namespace ModuleParams
