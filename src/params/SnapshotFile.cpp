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
#include "RegularFile.h"
#include "WriteAside.h"

namespace ModuleParams {

namespace {

// A snapshot is about 800 bytes; anything far larger is some other file.
constexpr off_t kMostSnapshotBytes = 64 * 1024;
constexpr int kMostBackupsPerMillisecond = 1000;

std::string SystemError(const std::string& path)
{
    return path + ": " + std::strerror(errno);
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
    return WriteTextAside(path, FormatSnapshot(snapshot), replace ? AsideMode::Replace : AsideMode::OnlyIfFree,
                          error) == AsideResult::Written;
}

bool LoadSnapshotFile(const std::string& path, ParameterSnapshot& snapshot, std::string& error)
{
    // Opened without blocking and examined before a byte is read: a FIFO gets its answer at once.
    const RegularFileOpen opened = OpenRegularFileForReading(path);
    if (!opened.Opened()) {
        error = opened.kind.empty() ? path + ": " + opened.reason : path + " is not a file (" + opened.kind + ")";
        return false;
    }
    const int fd = opened.fd;
    struct stat info {};
    std::string text;
    bool ok = ::fstat(fd, &info) == 0;
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
    const std::string text = FormatSnapshot(snapshot);
    for (int n = 1; n <= kMostBackupsPerMillisecond; ++n) {
        const std::string candidate = folder + "/" + stem + (n == 1 ? "" : "_" + std::to_string(n)) + ".json";
        const AsideResult result = WriteTextAside(candidate, text, AsideMode::OnlyIfFree, error);
        if (result == AsideResult::Written) {
            path = candidate;
            return true;
        }
        // Anything at the name, a file or not, is an earlier backup's or someone else's.
        if (result != AsideResult::Taken && result != AsideResult::Refused)
            return false;
    }
    error = folder + ": every backup name of this millisecond is taken";
    return false;
}

}  // namespace ModuleParams
