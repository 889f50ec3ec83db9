#pragma once
#include "CliOptions.h"

class CStopSignal;

// radarcli params read|write|reset|save|diff|restore: the module's 18 detection
// parameters, read in one command-mode bracket, written with a verified write (every
// field read back), saved to and compared with snapshot files, and restored from one
// after a backup. A stop request ends the exchange within a time-out, command mode
// left; the command then fails. Returns the exit code.
int RunParamsCommand(const ParamsOptions& options, const CStopSignal& stop);
