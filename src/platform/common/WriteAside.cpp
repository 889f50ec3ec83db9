#include "WriteAside.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "RegularFile.h"

namespace {

std::string SystemError(const std::string& path, int error)
{
    return path + ": " + std::strerror(error);
}

// The process's umask without changing it (umask() itself sets it, which would race
// with other threads creating files): Linux shows it in /proc/self/status.
mode_t CurrentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 6, "Umask:") == 0)
            return mode_t(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
    }
    return 022;
}

// The permission bits the new file gets: those of the file it replaces, or a fresh
// file's. False with errno when path exists but cannot be examined.
mode_t ModeFor(const std::string& path)
{
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        return existing.st_mode & 07777;
    return 0666 & ~CurrentUmask();
}

bool WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        text.remove_prefix(std::size_t(n));
    }
    return true;
}

// Gives aside the name path only when path is free; errno EEXIST when it is not. A
// hard link claims the name atomically; on a file system without hard links the name
// is checked, then taken by rename.
bool ClaimFreeName(const std::string& aside, const std::string& path)
{
    if (::link(aside.c_str(), path.c_str()) == 0) {
        ::unlink(aside.c_str());
        return true;
    }
    if (errno != EPERM && errno != EOPNOTSUPP)
        return false;
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(aside.c_str(), path.c_str()) == 0;
}

}  // namespace

std::string ReplaceRefusal(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode))
        return {};
    return path + " is " + NonRegularKind(info.st_mode) + ", not a regular file";
}

AsideResult WriteFileAside(const std::string& path,
                           const std::function<bool(const std::string& asidePath, std::string& error)>& fill,
                           AsideMode mode, std::string& error, const std::function<bool()>& stillWanted)
{
    if (path.empty()) {
        error = "no file name given";
        return AsideResult::Failed;
    }
    if (const std::string refusal = ReplaceRefusal(path); !refusal.empty()) {
        error = refusal + "; nothing was written";
        return AsideResult::Refused;
    }
    // The same folder, so that the rename stays on one file system; mkstemp makes a
    // name nobody else holds and opens it exclusively (never through a link).
    std::string aside = path + ".part-XXXXXX";
    const int fd = ::mkstemp(aside.data());
    if (fd < 0) {
        error = path + " cannot be created: " + std::strerror(errno);
        return AsideResult::Failed;
    }
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    const auto giveUp = [&](const std::string& why) {
        error = why;
        ::close(fd);
        ::unlink(aside.c_str());
        return AsideResult::Failed;
    };
    if (::fchmod(fd, ModeFor(path)) != 0)
        return giveUp(SystemError(aside, errno));
    if (!fill(aside, error))
        return giveUp(error);
    if (::fsync(fd) != 0)
        return giveUp(SystemError(aside, errno));
    if (::close(fd) != 0) {
        error = SystemError(aside, errno);
        ::unlink(aside.c_str());
        return AsideResult::Failed;
    }
    // A long write may have been called off while the file was synced.
    if (stillWanted && !stillWanted()) {
        ::unlink(aside.c_str());
        error = path + " was not written: cancelled";
        return AsideResult::Failed;
    }
    // Looked at again: the name may have changed while the file was being written.
    if (const std::string refusal = ReplaceRefusal(path); !refusal.empty()) {
        ::unlink(aside.c_str());
        error = refusal + "; nothing was written";
        return AsideResult::Refused;
    }
    const bool placed = mode == AsideMode::Replace ? ::rename(aside.c_str(), path.c_str()) == 0
                                                   : ClaimFreeName(aside, path);
    if (placed)
        return AsideResult::Written;
    const int placeError = errno;
    ::unlink(aside.c_str());
    if (placeError == EEXIST && mode == AsideMode::OnlyIfFree) {
        error = path + " already exists";
        return AsideResult::Taken;
    }
    error = SystemError(path, placeError);
    return AsideResult::Failed;
}

AsideResult WriteTextAside(const std::string& path, std::string_view text, AsideMode mode, std::string& error)
{
    return WriteFileAside(
        path,
        [text](const std::string& aside, std::string& why) {
            const int fd = ::open(aside.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
            if (fd < 0) {
                why = SystemError(aside, errno);
                return false;
            }
            const bool written = WriteAll(fd, text);
            const int writeError = errno;
            if (::close(fd) != 0 || !written) {
                why = SystemError(aside, written ? errno : writeError);
                return false;
            }
            return true;
        },
        mode, error);
}
