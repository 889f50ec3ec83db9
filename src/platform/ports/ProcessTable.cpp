#include "ProcessTable.h"

#include <dirent.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <memory>

namespace {

// The numeric entries of procRoot, one per process.
std::vector<long> ProcessIds(const std::string& procRoot)
{
    std::vector<long> pids;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(procRoot.c_str()), &closedir);
    if (!dir)
        return pids;
    while (const dirent* entry = readdir(dir.get())) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid > 0 && end && *end == 0)
            pids.push_back(pid);
    }
    return pids;
}

std::string CommandName(const std::string& procRoot, long pid)
{
    std::ifstream comm(procRoot + "/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

std::string CanonicalPath(const std::string& path)
{
    char resolved[PATH_MAX] = {};
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

}  // namespace

std::vector<ProcessHolding> ProcessesHolding(const std::string& devicePath, const std::string& procRoot)
{
    std::vector<ProcessHolding> holders;
    const std::string device = CanonicalPath(devicePath);
    const long self = long(getpid());
    for (long pid : ProcessIds(procRoot)) {
        if (pid == self)
            continue;
        const std::string fdFolder = procRoot + "/" + std::to_string(pid) + "/fd";
        const std::unique_ptr<DIR, int (*)(DIR*)> fds(opendir(fdFolder.c_str()), &closedir);
        if (!fds)
            continue;  // another user's process, or gone
        while (const dirent* fd = readdir(fds.get())) {
            char target[PATH_MAX] = {};
            const std::string link = fdFolder + "/" + fd->d_name;
            const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
            if (length > 0 && std::string(target, std::size_t(length)) == device) {
                holders.push_back({pid, CommandName(procRoot, pid)});
                break;
            }
        }
    }
    return holders;
}

bool ProgramRunning(const std::string& program, const std::string& procRoot)
{
    for (long pid : ProcessIds(procRoot))
        if (CommandName(procRoot, pid) == program)
            return true;
    return false;
}
