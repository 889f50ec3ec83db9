#pragma once
#include "CliOptions.h"

// radarcli params read|write|reset: the five basic detection parameters, exchanged with
// the same calls and command-mode brackets as the window's parameter dialog. A write
// or reset is checked by reading back. Returns the exit code.
int RunParamsCommand(const ParamsOptions& options);
