#pragma once

// How the tool's programs (the window, the command line) open a module's port and
// bracket a command in command mode, so that both talk to a module the same way.
namespace HostLink {

// Serial_OpenByPortNum: two attempts, one stop bit, DTR and RTS raised, 150 ms apart.
constexpr int kOpenAttempts = 2;
constexpr int kStopBits = 1;
constexpr int kAssertDtr = 1;
constexpr int kOpenRetryDelayMs = 150;
// The command-mode bracket: StartCmdMode (2 tries, 150 ms each), then CleanCmdBuffer.
constexpr int kCommandModeRetries = 2;
constexpr int kCommandModeTimeoutMs = 150;
constexpr int kCleanBufferMs = 500;

}  // namespace HostLink
