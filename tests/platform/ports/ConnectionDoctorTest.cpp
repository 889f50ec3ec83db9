// The connection doctor on devices staged without hardware: a missing path, files that
// are no terminal, a pseudo-terminal another program holds, one the user may not open,
// and the known grabbers.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "ConnectionDoctor.h"
#include "PortLockFile.h"
#include "ProcessTable.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A pseudo-terminal pair; the slave path is a terminal device like a serial port.
class Pty {
public:
    Pty()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        // Children the tests start must not hold this master: only those they are told to.
        if (m_master >= 0)
            fcntl(m_master, F_SETFD, FD_CLOEXEC);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0)
            m_slave = ptsname(m_master);
    }
    ~Pty()
    {
        if (m_master >= 0)
            close(m_master);
    }
    const std::string& Slave() const { return m_slave; }

private:
    int m_master = -1;
    std::string m_slave;
};

class ScratchFolder {
public:
    ScratchFolder() : m_path(fs::temp_directory_path() / ("doctor-" + std::to_string(getpid())))
    {
        fs::create_directories(m_path);
    }
    ~ScratchFolder() { fs::remove_all(m_path); }
    const fs::path& Path() const { return m_path; }

private:
    fs::path m_path;
};

DoctorEnvironment NoGrabbers(const fs::path& emptyProc)
{
    DoctorEnvironment environment;
    environment.procRoot = emptyProc.string();
    environment.brlttyPrograms = {};
    return environment;
}

TEST(ConnectionDoctor, AMissingPathVanishedAndFilesThatAreNoTerminalAreNotSerial)
{
    ScratchFolder scratch;
    const fs::path file = scratch.Path() / "ttyFAKE";
    std::ofstream(file) << "not a device";
    const DoctorEnvironment environment = NoGrabbers(scratch.Path());
    EXPECT_EQ(DiagnoseOpenFailure("/dev/ttyVETRA-gone", nullptr, environment).reason, OpenFailureReason::Vanished);
    EXPECT_EQ(DiagnoseOpenFailure(file.string(), nullptr, environment).reason, OpenFailureReason::NotSerial);
    EXPECT_EQ(DiagnoseOpenFailure(scratch.Path().string(), nullptr, environment).reason, OpenFailureReason::NotSerial);
    EXPECT_EQ(DiagnoseOpenFailure("/dev/null", nullptr, environment).reason, OpenFailureReason::NotSerial)
        << "a character device, but no terminal";
    Pty pty;
    ASSERT_FALSE(pty.Slave().empty());
    EXPECT_EQ(DiagnoseOpenFailure(pty.Slave(), nullptr, environment).reason, OpenFailureReason::Unknown)
        << "a terminal nobody holds: nothing to explain";
}

TEST(ConnectionDoctor, AHolderIsNamedWithItsProgramAndPid)
{
    Pty pty;
    ASSERT_FALSE(pty.Slave().empty());
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, pty.Slave().c_str(), O_RDWR | O_NOCTTY, 0);
    char program[] = "sleep";
    char seconds[] = "30";
    char* arguments[] = {program, seconds, nullptr};
    pid_t holder = 0;
    ASSERT_EQ(posix_spawnp(&holder, "sleep", &actions, nullptr, arguments, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    // The child holds the device once it runs "sleep".
    OpenFailureDiagnosis diagnosis;
    for (int i = 0; i < 200 && diagnosis.holderProgram != "sleep"; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        diagnosis = DiagnoseOpenFailure(pty.Slave());
    }
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_EQ(diagnosis.reason, OpenFailureReason::Busy);
    EXPECT_EQ(diagnosis.holderProgram, "sleep");
    EXPECT_EQ(diagnosis.holderPid, long(holder));
}

// Runs the doctor on path in a child that dropped to "nobody"; returns its reason, the
// group it advises and the owner it names.
std::string DiagnoseAsNobody(const std::string& path)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return "pipe failed";
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        const gid_t nobody = 65534;
        if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)
            _exit(2);
        const OpenFailureDiagnosis diagnosis = DiagnoseOpenFailure(path);
        const std::string answer =
            std::to_string(int(diagnosis.reason)) + " group=" + diagnosis.group + " owner=" + diagnosis.owner;
        const bool written = write(pipeEnds[1], answer.data(), answer.size()) == ssize_t(answer.size());
        _exit(written ? 0 : 3);
    }
    close(pipeEnds[1]);
    char buffer[256] = {};
    const ssize_t length = child > 0 ? read(pipeEnds[0], buffer, sizeof buffer - 1) : -1;
    close(pipeEnds[0]);
    int exitStatus = 0;
    if (child > 0)
        waitpid(child, &exitStatus, 0);
    if (child < 0 || !WIFEXITED(exitStatus) || WEXITSTATUS(exitStatus) != 0 || length <= 0)
        return "child failed: " + std::to_string(exitStatus);
    return std::string(buffer, std::size_t(length));
}

// A group is advice only when it may read and write the device and is not the
// superuser's; otherwise the owner alone may open it. As root, a child drops to
// "nobody" for each mode; otherwise the terminal's mode is taken away from its owner.
TEST(ConnectionDoctor, AUserWhoMayNotOpenTheDeviceIsToldWhoMay)
{
    Pty pty;
    ASSERT_FALSE(pty.Slave().empty());
    struct stat status {};
    ASSERT_EQ(stat(pty.Slave().c_str(), &status), 0);
    const passwd* user = getpwuid(status.st_uid);
    const std::string owner = user ? user->pw_name : std::to_string(status.st_uid);
    const std::string denied = std::to_string(int(OpenFailureReason::PermissionDenied));
    if (getuid() != 0) {
        ASSERT_EQ(chmod(pty.Slave().c_str(), 0), 0);
        const OpenFailureDiagnosis diagnosis = DiagnoseOpenFailure(pty.Slave());
        EXPECT_EQ(diagnosis.reason, OpenFailureReason::PermissionDenied);
        EXPECT_EQ(diagnosis.group, "");
        EXPECT_EQ(diagnosis.owner, owner);
        return;
    }
    const gid_t tty = status.st_gid != 0 ? status.st_gid : 5;
    const group* ttyGroup = getgrgid(tty);
    const std::string ttyName = ttyGroup ? ttyGroup->gr_name : std::to_string(tty);
    const struct {
        mode_t mode;
        gid_t gid;
        std::string expected;
    } cases[] = {
        {0660, tty, denied + " group=" + ttyName + " owner=" + owner},
        {0600, tty, denied + " group= owner=" + owner},
        {0620, tty, denied + " group= owner=" + owner},  // the group may write only, as for a login terminal
        {0660, 0, denied + " group= owner=" + owner},    // never "join root"
    };
    for (const auto& c : cases) {
        ASSERT_EQ(chown(pty.Slave().c_str(), status.st_uid, c.gid), 0);
        ASSERT_EQ(chmod(pty.Slave().c_str(), c.mode), 0);
        EXPECT_EQ(DiagnoseAsNobody(pty.Slave()), c.expected) << std::oct << c.mode << " gid " << std::dec << c.gid;
    }
}

// A child process that runs program with stdin on path and, when alsoMaster, a
// pseudo-terminal master of its own; killed when the holder goes.
class Holder {
public:
    Holder(const std::string& program, const std::string& path, bool alsoMaster)
    {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (!path.empty())
            posix_spawn_file_actions_addopen(&actions, 0, path.c_str(), O_RDWR | O_NOCTTY, 0);
        if (alsoMaster)
            posix_spawn_file_actions_addopen(&actions, 3, "/dev/ptmx", O_RDWR | O_NOCTTY, 0);
        std::string name = program;
        char seconds[] = "30";
        char* arguments[] = {name.data(), seconds, nullptr};
        if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, arguments, environ) != 0)
            m_pid = 0;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Holder()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    long Pid() const { return long(m_pid); }

private:
    pid_t m_pid = 0;
};

// Waits until the doctor names the holder it is expected to name.
OpenFailureDiagnosis DiagnoseUntilNamed(const std::string& path, const DoctorEnvironment& environment,
                                        const std::string& program)
{
    OpenFailureDiagnosis diagnosis;
    for (int i = 0; i < 200 && diagnosis.holderProgram != program; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        diagnosis = DiagnoseOpenFailure(path, nullptr, environment);
    }
    return diagnosis;
}

// The program that locked the port is the one to close, even when another (the
// pseudo-terminal's maker) also holds the device and started first; its name is shown
// in full, not cut to the kernel's 15 characters.
TEST(ConnectionDoctor, TheLockFilesHolderIsNamedFirstWithItsFullName)
{
    Pty pty;
    ASSERT_FALSE(pty.Slave().empty());
    ScratchFolder scratch;
    const fs::path locks = scratch.Path() / "lock";
    fs::create_directories(locks);
    const fs::path longName = scratch.Path() / "a-program-with-a-long-name";
    fs::copy_file("/bin/sleep", longName);
    DoctorEnvironment environment;
    environment.lockFolders = {locks.string()};

    const Holder maker("/bin/sleep", pty.Slave(), true);
    const Holder locker(longName.string(), "", false);
    ASSERT_GT(maker.Pid(), 0);
    ASSERT_GT(locker.Pid(), 0);
    EXPECT_EQ(PortLockFileName(pty.Slave()), "LCK..pts_" + pty.Slave().substr(pty.Slave().rfind('/') + 1));
    std::ofstream(locks / PortLockFileName(pty.Slave())) << "     " << locker.Pid() << "\nradarcli\nhost\n";
    OpenFailureDiagnosis diagnosis = DiagnoseUntilNamed(pty.Slave(), environment, longName.filename().string());
    EXPECT_EQ(diagnosis.reason, OpenFailureReason::Busy);
    EXPECT_EQ(diagnosis.holderPid, locker.Pid());
    EXPECT_EQ(diagnosis.holderProgram, "a-program-with-a-long-name");

    // A lock of a process that has ended says nothing, and neither does a FIFO of that
    // name (nor does it stall the doctor): then the holders of the path are named, one
    // that also holds a master last.
    fs::remove(locks / PortLockFileName(pty.Slave()));
    std::ofstream(locks / PortLockFileName(pty.Slave())) << "999999999\n";
    const Holder user(longName.string(), pty.Slave(), false);
    diagnosis = DiagnoseUntilNamed(pty.Slave(), environment, longName.filename().string());
    EXPECT_EQ(diagnosis.holderPid, user.Pid());
    fs::remove(locks / PortLockFileName(pty.Slave()));
    ASSERT_EQ(mkfifo((locks / PortLockFileName(pty.Slave())).c_str(), 0644), 0);
    diagnosis = DiagnoseUntilNamed(pty.Slave(), environment, longName.filename().string());
    EXPECT_EQ(diagnosis.holderPid, user.Pid());
    EXPECT_EQ(diagnosis.reason, OpenFailureReason::Busy);
}

TEST(ConnectionDoctor, KnownGrabbersAreNamedWhateverTheReason)
{
    ScratchFolder scratch;
    // A process table with ModemManager in it, and an installed brltty.
    fs::create_directories(scratch.Path() / "proc" / "4242");
    std::ofstream(scratch.Path() / "proc" / "4242" / "comm") << "ModemManager\n";
    const fs::path brltty = scratch.Path() / "brltty";
    std::ofstream(brltty) << "#!/bin/sh\n";
    fs::permissions(brltty, fs::perms::owner_all);
    DoctorEnvironment environment;
    environment.procRoot = (scratch.Path() / "proc").string();
    environment.brlttyPrograms = {brltty.string()};

    SerialPortEntry ch340;
    ch340.path = "/dev/ttyUSB0";
    ch340.vendorId = 0x1a86;
    ch340.productId = 0x7523;
    SerialPortEntry otherBridge = ch340;
    otherBridge.vendorId = 0x2341;  // not one brltty claims
    const OpenFailureDiagnosis claimed = DiagnoseOpenFailure("/dev/ttyVETRA-gone", &ch340, environment);
    EXPECT_EQ(claimed.reason, OpenFailureReason::Vanished);
    EXPECT_TRUE(claimed.brlttyClaims);
    EXPECT_TRUE(claimed.modemManagerRunning);
    EXPECT_FALSE(DiagnoseOpenFailure("/dev/ttyVETRA-gone", &otherBridge, environment).brlttyClaims);
    EXPECT_FALSE(DiagnoseOpenFailure("/dev/ttyVETRA-gone", nullptr, environment).brlttyClaims);
    environment.brlttyPrograms = {(scratch.Path() / "not-installed").string()};
    EXPECT_FALSE(DiagnoseOpenFailure("/dev/ttyVETRA-gone", &ch340, environment).brlttyClaims);
    EXPECT_FALSE(ProgramRunning("ModemManager", (scratch.Path() / "empty").string()));
}

}  // namespace
