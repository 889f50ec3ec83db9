#pragma once
#include "CliOptions.h"

class CStopSignal;

// radarcli record: one recording per port, with one diagnostic log, until the time is
// up or a stop is requested; then a clean stop and a check that every file is whole.
// Returns the exit code.
int RunRecordCommand(const RecordOptions& options, const CStopSignal& stop);
