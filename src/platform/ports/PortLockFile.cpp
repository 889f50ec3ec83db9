#include "PortLockFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>

#include "ProcessTable.h"

namespace {

// A lock file holds a pid and a few names; anything longer is no lock file.
constexpr std::size_t kMostLockFileBytes = 256;

// The pid on the lock file's first line, or 0. Opened without blocking and read only
// when it is a regular file, so a FIFO of that name cannot stall the doctor.
long PidInLockFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return 0;
    struct stat status {};
    char text[kMostLockFileBytes + 1] = {};
    ssize_t length = -1;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode))
        length = ::read(fd, text, kMostLockFileBytes);
    ::close(fd);
    if (length <= 0)
        return 0;
    // Some programs right-align the pid in ten columns.
    const char* start = text;
    while (*start == ' ')
        ++start;
    char* end = nullptr;
    const long pid = std::strtol(start, &end, 10);
    const bool wholeLine = end != start && (*end == '\n' || *end == 0 || std::isspace(static_cast<unsigned char>(*end)));
    return wholeLine && pid > 0 ? pid : 0;
}

bool ProcessRuns(long pid, const std::string& procRoot)
{
    struct stat status {};
    return ::stat((procRoot + "/" + std::to_string(pid)).c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

std::string PortLockFileName(const std::string& devicePath)
{
    const std::string prefix = "/dev/";
    std::string name = devicePath.compare(0, prefix.size(), prefix) == 0 ? devicePath.substr(prefix.size()) : devicePath;
    for (char& c : name)
        if (c == '/')
            c = '_';
    return "LCK.." + name;
}

long PortLockHolder(const std::string& devicePath, const std::vector<std::string>& lockFolders,
                    const std::string& procRoot)
{
    const long self = long(::getpid());
    const std::string canonical = CanonicalPath(devicePath);
    for (const std::string& path : {devicePath, canonical}) {
        for (const std::string& folder : lockFolders) {
            const long pid = PidInLockFile(folder + "/" + PortLockFileName(path));
            if (pid > 0 && pid != self && ProcessRuns(pid, procRoot))
                return pid;
        }
        if (canonical == devicePath)
            break;
    }
    return 0;
}
