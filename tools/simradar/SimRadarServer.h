#pragma once
// Serves a simulated module on a pseudo-terminal: reads the host's commands, answers
// them, sends the report frames on time and, when asked, records every byte written
// and hangs up after a while. Single-threaded; a stop request arrives as a readable
// byte on stopFd (written by the signal handler).
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "PseudoTerminal.h"
#include "SimulatedModule.h"

class CSimRadarServer {
public:
    CSimRadarServer(CPseudoTerminal& terminal, const SimulatedModuleOptions& options);
    ~CSimRadarServer();

    // Opens the recording file (appending); false with a message in error on failure.
    bool OpenRecording(const std::string& path, std::string* error);
    // Opens the time-stamp file (emptied first); false with a message in error on failure.
    bool OpenStamps(const std::string& path, std::string* error);
    // Serves until stopFd becomes readable. Returns the process exit code.
    int Run(int stopFd);

private:
    // Reads what the host sent and lets the module answer it at nowMs.
    void ReadCommands(std::int64_t nowMs, std::vector<std::uint8_t>& out);
    void Send(const std::vector<std::uint8_t>& bytes);

    CPseudoTerminal& m_terminal;
    CSimulatedModule m_module;
    const int m_hangupAfterMs;
    int m_recordFd = -1;
    std::FILE* m_stamps = nullptr;
    std::uint64_t m_bytesWritten = 0;
};
