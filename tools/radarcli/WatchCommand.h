#pragma once
#include "CliOptions.h"

class CStopSignal;

// radarcli watch: the firmware version, then one line per report for a while, in the
// words radarcli has always printed them. Returns the exit code.
int RunWatchCommand(const WatchOptions& options, const CStopSignal& stop);
