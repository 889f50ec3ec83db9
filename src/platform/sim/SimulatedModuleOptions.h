#pragma once
// How a simulated module behaves: its story, its pace and the faults it injects.
#include <cstdint>
#include <string>

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
};

// The options of the in-process simulated module that the device library opens for
// kSimulatedPortNumber. Taken at each open; the defaults above until set. Thread-safe.
void SetInProcessSimulatedModuleOptions(const SimulatedModuleOptions& options);
SimulatedModuleOptions GetInProcessSimulatedModuleOptions();
