#include "SnapshotFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "FileUtils.h"
#include "ParameterTable.h"
#include "ParameterText.h"

namespace ModuleParams {

namespace {

// A snapshot is about 800 bytes; anything far larger is some other file.
constexpr off_t kMostSnapshotBytes = 64 * 1024;
constexpr int kMostBackupsPerMillisecond = 1000;

std::string SystemError(const std::string& path)
{
    return path + ": " + std::strerror(errno);
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += std::size_t(n);
    }
    return true;
}

// Writes text into a new temporary file in folder and flushes it to the disk; its
// path goes to temporary. False with error, and no file left behind, on failure.
bool WriteTemporary(const std::string& folder, const std::string& text, std::string& temporary, std::string& error)
{
    std::string pattern = folder + "/.params-snapshot-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        error = SystemError(folder);
        return false;
    }
    // mkstemp makes the file private; a snapshot is an ordinary document.
    const bool written = ::fchmod(fd, 0644) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
    const int writeErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        errno = written ? errno : writeErrno;
        error = SystemError(pattern);
        ::unlink(pattern.c_str());
        return false;
    }
    temporary = pattern;
    return true;
}

// Gives the temporary file the name path only when path is free; errno EEXIST when it is
// not. A hard link claims the name atomically; on a file system without hard links the
// name is checked, then taken by rename.
bool ClaimName(const std::string& temporary, const std::string& path)
{
    if (::link(temporary.c_str(), path.c_str()) == 0) {
        ::unlink(temporary.c_str());  // path holds the file now; a leftover name would only be clutter
        return true;
    }
    if (errno != EPERM && errno != EOPNOTSUPP)
        return false;
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(temporary.c_str(), path.c_str()) == 0;
}

// Gives the temporary file the name path: over an existing file when replace is set,
// else only when path is free. The temporary file is gone afterwards either way.
bool PlaceFile(const std::string& temporary, const std::string& path, bool replace, std::string& error)
{
    const bool placed = replace ? ::rename(temporary.c_str(), path.c_str()) == 0 : ClaimName(temporary, path);
    if (!placed) {
        const int placeErrno = errno;
        ::unlink(temporary.c_str());
        errno = placeErrno;
        error = errno == EEXIST ? path + " already exists" : SystemError(path);
    }
    return placed;
}

}  // namespace

bool CheckSnapshotValues(const DetectionParams& params, std::string& error)
{
    for (const ParameterInfo* field : InRecordOrder()) {
        const std::int32_t raw = ReadRaw(params, *field);
        if (!RawInRange(*field, raw)) {
            error = std::string(field->name) + ": " + FormatParameterValue(*field, raw) + " does not fit the field (" +
                    std::to_string(field->min) + " to " + std::to_string(field->max) + ")";
            return false;
        }
    }
    return true;
}

bool SaveSnapshotFile(const std::string& path, const ParameterSnapshot& snapshot, bool replace, std::string& error)
{
    if (path.empty()) {
        error = "no file name given";
        return false;
    }
    if (!CheckSnapshotValues(snapshot.parameters, error))
        return false;
    std::string temporary;
    return WriteTemporary(FolderOf(path), FormatSnapshot(snapshot), temporary, error) &&
           PlaceFile(temporary, path, replace, error);
}

bool LoadSnapshotFile(const std::string& path, ParameterSnapshot& snapshot, std::string& error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = SystemError(path);
        return false;
    }
    struct stat info {};
    std::string text;
    bool ok = ::fstat(fd, &info) == 0;
    if (ok && !S_ISREG(info.st_mode)) {
        error = path + " is not a file";
        ::close(fd);
        return false;
    }
    if (ok && info.st_size > kMostSnapshotBytes) {
        error = path + " is too large to be a parameter snapshot";
        ::close(fd);
        return false;
    }
    char buffer[4096];
    while (ok) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ok = false;
        if (n <= 0)
            break;
        text.append(buffer, std::size_t(n));
        ok = text.size() <= std::size_t(kMostSnapshotBytes);  // the file grew while being read
    }
    if (!ok) {
        error = text.size() > std::size_t(kMostSnapshotBytes) ? path + " is too large to be a parameter snapshot"
                                                             : SystemError(path);
        ::close(fd);
        return false;
    }
    ::close(fd);
    if (text.empty()) {
        error = path + " is empty";
        return false;
    }
    if (!ParseSnapshot(text, snapshot, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool SaveBackupSnapshot(const std::string& folder, const ParameterSnapshot& snapshot, std::string& path,
                        std::string& error)
{
    if (folder.empty() || !RecursiveCreateDirectoryA(folder.c_str())) {
        error = folder.empty() ? std::string("no folder given for the backup") : SystemError(folder);
        return false;
    }
    if (!CheckSnapshotValues(snapshot.parameters, error))
        return false;
    char name[260];
    if (!GetFileNameByDateA(name, "json", "TivanePeloTOOL_params_", "", 0, 1, 0, sizeof name)) {
        error = "no backup file name could be made";
        return false;
    }
    std::string stem(name);
    stem.resize(stem.size() - 5);  // without ".json"
    std::string temporary;
    if (!WriteTemporary(folder, FormatSnapshot(snapshot), temporary, error))
        return false;
    for (int n = 1; n <= kMostBackupsPerMillisecond; ++n) {
        const std::string candidate = folder + "/" + stem + (n == 1 ? "" : "_" + std::to_string(n)) + ".json";
        if (ClaimName(temporary, candidate)) {
            path = candidate;
            return true;
        }
        if (errno != EEXIST) {
            error = SystemError(candidate);
            ::unlink(temporary.c_str());
            return false;
        }
    }
    ::unlink(temporary.c_str());
    error = folder + ": every backup name of this millisecond is taken";
    return false;
}

}  // namespace ModuleParams
