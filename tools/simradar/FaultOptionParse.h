#pragma once
// The values of simradar's fault options: command faults and lists of parameter
// identifiers. Each parse answers false with a sentence in error on bad text.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "SimulatedModuleOptions.h"

// "CMD[:SKIP[:TIMES]]", or for a Late fault "CMD:MS[:SKIP[:TIMES]]". CMD is a command
// word in hex ("0x0067") or "any"; MS, SKIP and TIMES are whole numbers (TIMES at least 1).
bool ParseCommandFault(std::string_view text, CommandFaultKind kind, CommandFault* fault, std::string* error);

// "5" or "0,9,17": parameter identifiers from 0 to 17, appended to ids.
bool ParseParameterIdList(std::string_view text, std::vector<std::uint16_t>* ids, std::string* error);
