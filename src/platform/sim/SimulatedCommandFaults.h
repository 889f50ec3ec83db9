#pragma once
// Which of a simulated module's command faults hits each command it receives.
// Single-threaded: the module's owner serialises every call.
#include <cstdint>
#include <vector>

#include "SimulatedModuleOptions.h"

class CSimulatedCommandFaults {
public:
    explicit CSimulatedCommandFaults(std::vector<CommandFault> faults);

    // Counts word against every fault that matches it and returns the first fault that
    // hits it this time, or null when the command is to be dealt with normally.
    const CommandFault* Hit(std::uint16_t word);

private:
    std::vector<CommandFault> m_faults;
    std::vector<long long> m_matched;  // per fault: matching commands seen before this one
};
