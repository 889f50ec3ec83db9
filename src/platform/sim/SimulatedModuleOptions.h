#pragma once
// How a simulated module behaves: its story, its pace and the faults it injects.
#include <cstdint>
#include <string>
#include <vector>

// What happens to a command that a CommandFault hits.
enum class CommandFaultKind {
    Late,        // carried out at once, its reply goes out delayMs later
    Unanswered,  // carried out, but its reply never goes out
    Lost         // lost on the way, as on a broken line: neither carried out nor answered
};

// A fault on some of the commands the module receives. Of the commands it matches, the
// first `skip` are dealt with normally, the next `times` (all the rest when -1) are hit.
struct CommandFault {
    static constexpr int kAnyCommand = -1;
    CommandFaultKind kind = CommandFaultKind::Late;
    int command = kAnyCommand;  // the command word it matches, or kAnyCommand
    int delayMs = 0;            // Late only
    int skip = 0;
    int times = -1;
};

struct SimulatedModuleOptions {
    std::uint64_t seed = 1;
    int reportIntervalMs = 50;
    // The firmware version text (1 to 32 bytes are sent; longer texts are cut).
    std::string version = "1.0.0-sim";
    // Random garbage bytes after some report frames.
    bool garbage = false;
    // Some report frames end with a wrong tail.
    bool brokenTail = false;
    // Every reply carries a wrong CRC.
    bool badCrc = false;
    // The command receiver is dead: commands are neither answered nor carried out.
    bool mute = false;
    // Report frames to send in all before going silent (commands are still answered); -1: no limit.
    std::int64_t frameLimit = -1;
    // The link drops this many ms after opening, like an unplugged device; -1: never.
    // A property of the link, not of the module: the in-process link and the
    // stand-alone program's pseudo-terminal carry it out.
    int hangupAfterMs = -1;
    // What enter-command-mode answers: 2 sets all 18 parameters, 1 only identifiers 0 to 4.
    int protocolVersion = 2;
    // Set-parameters identifiers the module answers with success but does not store.
    std::vector<std::uint16_t> ignoredParameterIds;
    // Faults on chosen commands; the first that hits a command decides what happens to it.
    std::vector<CommandFault> commandFaults;
};

// The options of the in-process simulated module that the device library opens for
// kSimulatedPortNumber. Taken at each open; the defaults above until set. Thread-safe.
void SetInProcessSimulatedModuleOptions(const SimulatedModuleOptions& options);
SimulatedModuleOptions GetInProcessSimulatedModuleOptions();
