#pragma once
#include <string>
#include <vector>

// What /proc tells about other programs. Only what the caller may read is seen: an
// unprivileged user sees the open files of their own processes alone.
struct ProcessHolding {
    long pid = 0;
    std::string program;  // the process's program name, in full (see ProgramName)
};

// The processes other than this one that have devicePath open. A process that also
// holds a pseudo-terminal master (/dev/ptmx) comes after those that do not: it is the
// terminal's maker keeping its own slave open, not the program the user has to close.
std::vector<ProcessHolding> ProcessesHolding(const std::string& devicePath, const std::string& procRoot = "/proc");
// The name of pid's program: the file name of its executable, else of its first
// argument, else its command name (which the kernel cuts to 15 characters). Empty when
// no such process runs.
std::string ProgramName(long pid, const std::string& procRoot = "/proc");
// path with every link resolved (as /proc shows an open file), or path itself when it
// cannot be resolved.
std::string CanonicalPath(const std::string& path);
// True when a process of that command name runs.
bool ProgramRunning(const std::string& program, const std::string& procRoot = "/proc");
