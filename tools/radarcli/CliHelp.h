#pragma once
#include "CliOptions.h"

// The --help text of command (the general one for None), for standard output.
const char* HelpText(CliCommand command);
