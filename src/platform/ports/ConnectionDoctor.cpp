#include "ConnectionDoctor.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "PortLockFile.h"
#include "ProcessTable.h"

namespace {

// USB serial bridges whose ids brltty's device rules claim (CH340/CH341, CP210x, FTDI
// FT232, Prolific PL2303): with brltty installed such a bridge vanishes right after it
// appears.
constexpr std::pair<unsigned, unsigned> kBridgesBrlttyClaims[] = {
    {0x1a86, 0x7523}, {0x10c4, 0xea60}, {0x0403, 0x6001}, {0x067b, 0x2303}};

std::string GroupName(gid_t gid)
{
    group entry{};
    group* found = nullptr;
    std::vector<char> buffer(16384);
    if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return std::to_string(gid);
    return found->gr_name;
}

bool SessionHasGroup(gid_t gid)
{
    if (getegid() == gid)
        return true;
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> groups(std::size_t(std::max(count, 0)));
    if (count > 0 && getgroups(count, groups.data()) < 0)
        return false;
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

// The groups the system gives the user at the next login.
bool UserListedInGroup(gid_t gid)
{
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return false;
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (getgrouplist(found->pw_name, found->pw_gid, groups.data(), &count) < 0) {
        groups.resize(std::size_t(count));
        if (getgrouplist(found->pw_name, found->pw_gid, groups.data(), &count) < 0)
            return false;
    }
    groups.resize(std::size_t(count));
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

std::string UserName(uid_t uid)
{
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return std::to_string(uid);
    return found->pw_name;
}

// Who may open a device the user was refused. Joining its group helps only when the
// group may both read and write it; the superuser's group is never advice, whatever its
// bits say.
void NameWhoMayOpen(const struct stat& status, OpenFailureDiagnosis& diagnosis)
{
    diagnosis.reason = OpenFailureReason::PermissionDenied;
    diagnosis.owner = UserName(status.st_uid);
    const bool groupMayOpen = (status.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP) && status.st_gid != 0;
    if (!groupMayOpen)
        return;
    diagnosis.group = GroupName(status.st_gid);
    diagnosis.memberAfterNextLogin = !SessionHasGroup(status.st_gid) && UserListedInGroup(status.st_gid);
}

bool BrlttyClaims(const SerialPortEntry* entry, const DoctorEnvironment& environment)
{
    if (!entry || entry->vendorId == 0)
        return false;
    const bool claimed = std::any_of(std::begin(kBridgesBrlttyClaims), std::end(kBridgesBrlttyClaims), [&](auto ids) {
        return ids.first == entry->vendorId && ids.second == entry->productId;
    });
    return claimed && std::any_of(environment.brlttyPrograms.begin(), environment.brlttyPrograms.end(),
                                  [](const std::string& program) { return access(program.c_str(), X_OK) == 0; });
}

}  // namespace

OpenFailureDiagnosis DiagnoseOpenFailure(const std::string& path, const SerialPortEntry* entry,
                                         const DoctorEnvironment& environment)
{
    OpenFailureDiagnosis diagnosis;
    diagnosis.brlttyClaims = BrlttyClaims(entry, environment);
    diagnosis.modemManagerRunning = ProgramRunning("ModemManager", environment.procRoot);

    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        diagnosis.reason = errno == EACCES ? OpenFailureReason::PermissionDenied : OpenFailureReason::Vanished;
        return diagnosis;
    }
    if (!S_ISCHR(status.st_mode)) {
        diagnosis.reason = OpenFailureReason::NotSerial;
        return diagnosis;
    }
    if (access(path.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
        NameWhoMayOpen(status, diagnosis);
        return diagnosis;
    }
    // Non-blocking, and not made the controlling terminal: only to ask what it is.
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const int openError = errno;
    if (fd >= 0) {
        termios settings{};
        const bool terminal = ioctl(fd, TCGETS, &settings) == 0;
        close(fd);
        if (!terminal) {
            diagnosis.reason = OpenFailureReason::NotSerial;
            return diagnosis;
        }
    } else if (openError == ENOENT || openError == ENODEV || openError == ENXIO) {
        diagnosis.reason = OpenFailureReason::Vanished;
        return diagnosis;
    } else if (openError == EACCES) {
        NameWhoMayOpen(status, diagnosis);
        return diagnosis;
    }
    // The lock names the program that opened the port as a serial port; /proc may also
    // show others that merely keep the device open, such as a pseudo-terminal's maker.
    const long lockHolder = PortLockHolder(path, environment.lockFolders, environment.procRoot);
    if (lockHolder > 0) {
        diagnosis.reason = OpenFailureReason::Busy;
        diagnosis.holderPid = lockHolder;
        diagnosis.holderProgram = ProgramName(lockHolder, environment.procRoot);
        return diagnosis;
    }
    const std::vector<ProcessHolding> holders = ProcessesHolding(path, environment.procRoot);
    if (!holders.empty()) {
        diagnosis.reason = OpenFailureReason::Busy;
        diagnosis.holderProgram = holders.front().program;
        diagnosis.holderPid = holders.front().pid;
    } else if (fd < 0 && openError == EBUSY) {
        diagnosis.reason = OpenFailureReason::Busy;
    }
    return diagnosis;
}
