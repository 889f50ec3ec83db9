// The connection doctor on devices staged without hardware: a missing path, files that
// are no terminal, a pseudo-terminal another program holds, one the user may not open,
// and the known grabbers.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
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

// Runs the doctor as a user who may not open the terminal: as root, a child drops to
// "nobody"; otherwise the terminal's mode is taken away from its owner.
TEST(ConnectionDoctor, AUserWhoMayNotOpenTheDeviceIsToldItsGroup)
{
    Pty pty;
    ASSERT_FALSE(pty.Slave().empty());
    struct stat status {};
    ASSERT_EQ(stat(pty.Slave().c_str(), &status), 0);
    const group* owner = getgrgid(status.st_gid);
    const std::string expectedGroup = owner ? owner->gr_name : std::to_string(status.st_gid);
    if (getuid() != 0) {
        ASSERT_EQ(chmod(pty.Slave().c_str(), 0), 0);
        const OpenFailureDiagnosis diagnosis = DiagnoseOpenFailure(pty.Slave());
        EXPECT_EQ(diagnosis.reason, OpenFailureReason::PermissionDenied);
        EXPECT_EQ(diagnosis.group, expectedGroup);
        return;
    }
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(pipeEnds[0]);
        const gid_t nobody = 65534;
        if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)
            _exit(2);
        const OpenFailureDiagnosis diagnosis = DiagnoseOpenFailure(pty.Slave());
        const std::string answer = std::to_string(int(diagnosis.reason)) + " " + diagnosis.group;
        const bool written = write(pipeEnds[1], answer.data(), answer.size()) == ssize_t(answer.size());
        _exit(written ? 0 : 3);
    }
    close(pipeEnds[1]);
    char buffer[256] = {};
    const ssize_t length = read(pipeEnds[0], buffer, sizeof buffer - 1);
    close(pipeEnds[0]);
    int exitStatus = 0;
    waitpid(child, &exitStatus, 0);
    ASSERT_TRUE(WIFEXITED(exitStatus) && WEXITSTATUS(exitStatus) == 0) << exitStatus;
    ASSERT_GT(length, 0);
    EXPECT_EQ(std::string(buffer, std::size_t(length)),
              std::to_string(int(OpenFailureReason::PermissionDenied)) + " " + expectedGroup);
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
