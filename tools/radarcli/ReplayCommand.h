#pragma once
#include "CliOptions.h"

// radarcli replay: loads a recording, decodes it without a window and writes its CSV,
// its label summary or a short description. Returns the exit code.
int RunReplayCommand(const ReplayOptions& options);
