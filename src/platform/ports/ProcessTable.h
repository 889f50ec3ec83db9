#pragma once
#include <string>
#include <vector>

// What /proc tells about other programs. Only what the caller may read is seen: an
// unprivileged user sees the open files of their own processes alone.
struct ProcessHolding {
    long pid = 0;
    std::string program;  // the process's command name
};

// The processes other than this one that have devicePath open.
std::vector<ProcessHolding> ProcessesHolding(const std::string& devicePath, const std::string& procRoot = "/proc");
// True when a process of that command name runs.
bool ProgramRunning(const std::string& program, const std::string& procRoot = "/proc");
