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

std::string FileNameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The executable's path; unreadable for another user's process.
std::string ExecutableName(const std::string& procRoot, long pid)
{
    char target[PATH_MAX] = {};
    const std::string link = procRoot + "/" + std::to_string(pid) + "/exe";
    const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    if (length <= 0)
        return {};
    std::string path(target, std::size_t(length));
    // The kernel marks an executable replaced on disk since it started.
    const std::string deleted = " (deleted)";
    if (path.size() > deleted.size() && path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0)
        path.resize(path.size() - deleted.size());
    return FileNameOf(path);
}

// The first argument, which anyone may read.
std::string FirstArgumentName(const std::string& procRoot, long pid)
{
    std::ifstream cmdline(procRoot + "/" + std::to_string(pid) + "/cmdline", std::ios::binary);
    std::string first;
    std::getline(cmdline, first, '\0');
    return FileNameOf(first);
}

}  // namespace

std::string CanonicalPath(const std::string& path)
{
    char resolved[PATH_MAX] = {};
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::vector<ProcessHolding> ProcessesHolding(const std::string& devicePath, const std::string& procRoot)
{
    std::vector<ProcessHolding> holders;
    std::vector<ProcessHolding> ptyMakers;
    const std::string device = CanonicalPath(devicePath);
    const long self = long(getpid());
    for (long pid : ProcessIds(procRoot)) {
        if (pid == self)
            continue;
        const std::string fdFolder = procRoot + "/" + std::to_string(pid) + "/fd";
        const std::unique_ptr<DIR, int (*)(DIR*)> fds(opendir(fdFolder.c_str()), &closedir);
        if (!fds)
            continue;  // another user's process, or gone
        bool holds = false;
        bool holdsMaster = false;
        while (const dirent* fd = readdir(fds.get())) {
            char target[PATH_MAX] = {};
            const std::string link = fdFolder + "/" + fd->d_name;
            const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
            if (length <= 0)
                continue;
            const std::string opened(target, std::size_t(length));
            holds = holds || opened == device;
            holdsMaster = holdsMaster || opened == "/dev/ptmx" || opened == "/dev/pts/ptmx";
        }
        if (holds)
            (holdsMaster ? ptyMakers : holders).push_back({pid, ProgramName(pid, procRoot)});
    }
    holders.insert(holders.end(), ptyMakers.begin(), ptyMakers.end());
    return holders;
}

std::string ProgramName(long pid, const std::string& procRoot)
{
    std::string name = ExecutableName(procRoot, pid);
    if (name.empty())
        name = FirstArgumentName(procRoot, pid);
    if (name.empty())
        name = CommandName(procRoot, pid);
    return name;
}

bool ProgramRunning(const std::string& program, const std::string& procRoot)
{
    for (long pid : ProcessIds(procRoot))
        if (CommandName(procRoot, pid) == program)
            return true;
    return false;
}
