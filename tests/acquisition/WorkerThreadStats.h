#pragma once
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

// CPU time (user + system, seconds) used so far by this process's thread named
// `name`; -1 when no such thread runs.
inline double WorkerThreadCpuSeconds(const std::string& name)
{
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string threadName;
        std::getline(comm, threadName);
        if (threadName != name)
            continue;
        std::ifstream statFile(task.path() / "stat");
        std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
        // The fields after the name (which may hold spaces) start after its last ')'.
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));
        std::string field;
        long long utime = 0, stime = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            if (i == 14)
                utime = std::stoll(field);
            if (i == 15)
                stime = std::stoll(field);
        }
        return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
    }
    return -1.0;
}
