#include "SimulatedCommandFaults.h"

CSimulatedCommandFaults::CSimulatedCommandFaults(std::vector<CommandFault> faults)
    : m_faults(std::move(faults)), m_matched(m_faults.size(), 0)
{
}

const CommandFault* CSimulatedCommandFaults::Hit(std::uint16_t word)
{
    const CommandFault* hit = nullptr;
    for (std::size_t i = 0; i < m_faults.size(); ++i) {
        const CommandFault& fault = m_faults[i];
        if (fault.command != CommandFault::kAnyCommand && fault.command != int(word))
            continue;
        // Every matching fault counts the command, so each one's skip and times refer
        // to the commands it matches, whichever fault ends up hitting.
        const long long index = m_matched[i]++;
        const bool inWindow = index >= fault.skip && (fault.times < 0 || index < (long long)fault.skip + fault.times);
        if (inWindow && !hit)
            hit = &fault;
    }
    return hit;
}
