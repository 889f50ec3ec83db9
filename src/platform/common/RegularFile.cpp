#include "RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

std::string NonRegularKind(unsigned int mode)
{
    switch (mode & S_IFMT) {
    case S_IFREG: return {};
    case S_IFIFO: return "a FIFO";
    case S_IFCHR: return "a character device";
    case S_IFBLK: return "a block device";
    case S_IFDIR: return "a directory";
    case S_IFSOCK: return "a socket";
    case S_IFLNK: return "a symbolic link";
    default: return "not a file";
    }
}

RegularFileOpen OpenRegularFileForReading(const std::string& path)
{
    RegularFileOpen result;
    // O_NONBLOCK: a FIFO opens at once instead of waiting for a writer; the
    // descriptor is refused below before anything is read from it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        result.error = errno;
        result.reason = std::strerror(result.error);
        return result;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        result.error = errno;
        result.reason = std::strerror(result.error);
        ::close(fd);
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        // A folder keeps the system's own words, which callers and users know.
        result.error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        result.kind = NonRegularKind(info.st_mode);
        result.reason = S_ISDIR(info.st_mode) ? std::string(std::strerror(EISDIR))
                                              : "not a regular file (" + result.kind + ")";
        ::close(fd);
        return result;
    }
    // Regular files never block; clearing the flag keeps later reads ordinary.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    result.fd = fd;
    return result;
}

std::FILE* FopenRegularFileForReading(const std::string& path, std::string& reason, int* error)
{
    RegularFileOpen opened = OpenRegularFileForReading(path);
    std::FILE* file = opened.Opened() ? ::fdopen(opened.fd, "rb") : nullptr;
    if (opened.Opened() && !file) {
        opened.error = errno;
        opened.reason = std::strerror(opened.error);
        ::close(opened.fd);
    }
    reason = file ? std::string() : opened.reason;
    if (error)
        *error = file ? 0 : opened.error;
    return file;
}
