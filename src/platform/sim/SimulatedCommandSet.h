#pragma once
// The module's command interpreter: command mode, reporting switch, version text and
// parameter store. It turns one decoded command into the reply payload (status word
// first). Single-threaded: its owner serialises every call.
#include <cstdint>
#include <string>
#include <vector>

#include "CommandFrame.h"
#include "SimulatedParameters.h"

class CSimulatedCommandSet {
public:
    // version: the firmware text; protocolVersion: what enter-command-mode answers (1 or
    // 2), which also decides the settable identifiers; ignoredIds: identifiers whose
    // writes are acknowledged but not stored.
    CSimulatedCommandSet(std::string version, int protocolVersion, std::vector<std::uint16_t> ignoredIds);

    // Carries out request and returns the reply payload, status word first.
    std::vector<std::uint8_t> Execute(const CommandFrame& request);

    bool InCommandMode() const { return m_commandMode; }
    bool ReportingOn() const { return m_reportingOn; }
    const SimulatedParameters& Parameters() const { return m_parameters; }

private:
    std::vector<std::uint8_t> ExecuteInCommandMode(const CommandFrame& request);
    std::vector<std::uint8_t> SetParameters(const std::vector<std::uint8_t>& payload);

    std::string m_version;
    std::uint16_t m_protocolVersion;
    std::vector<std::uint16_t> m_ignoredIds;
    bool m_commandMode = false;
    bool m_reportingOn = true;  // power-up: reporting
    SimulatedParameters m_parameters;
};
