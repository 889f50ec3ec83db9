// The device library against the stand-alone simulated module on a pseudo-terminal:
// the real serial path through Qt Serial Port.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "DeviceTestHelpers.h"
#include "ModuleProtocol.h"
#include "ReportFrames.h"
#include "SerialPortNames.h"
#include "SimModuleProcess.h"

using ModuleProtocol::ReadU16;

namespace {

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

class RadarDeviceOverPty : public testing::Test {
protected:
    ~RadarDeviceOverPty() override
    {
        Vetra_Interface_RadarDevice_Serial_Close(m_device);
        Vetra_Interface_RadarDevice_Serial_Destroy(m_device);
    }

    bool Open(const SimModuleProcess& sim, int baudRate = 256000)
    {
        return sim.IsStarted() &&
               Vetra_Interface_RadarDevice_Serial_OpenByPortNum(m_device, sim.PortNumber(), baudRate, 2, 1, 1, 150) != 0;
    }

    VetraRadarHandle m_device = Vetra_Interface_RadarDevice_Serial_Create();
};

TEST_F(RadarDeviceOverPty, OpensReadsVersionAndReports)
{
    SimModuleProcess sim({"--version", "PTY-2.5"});
    ASSERT_TRUE(Open(sim));
    EXPECT_EQ(Vetra_Interface_RadarDevice_IsConnected(m_device), 1);
    CBaseStringA version("Unknown");
    ASSERT_EQ(Vetra_Interface_RadarDevice_GetVersion(m_device, &version), 1);
    EXPECT_STREQ(version.GetString(), "PTY-2.5");
    ASSERT_EQ(StartReporting(m_device), 1);
    EXPECT_GE(FindReportFrames(ReadFor(m_device, 600)).size(), 5u);
}

TEST_F(RadarDeviceOverPty, ReadDataReturnsAsSoonAsAnyBytesArrive)
{
    SimModuleProcess sim({"--interval", "200"});
    ASSERT_TRUE(Open(sim));
    std::vector<std::uint8_t> buffer(4096);
    Stopwatch watch;
    const int n = Vetra_Interface_RadarDevice_ReadData(m_device, buffer.data(), int(buffer.size()), 2000, 0);
    EXPECT_GT(n, 0);
    EXPECT_LT(n, int(buffer.size()));
    EXPECT_LT(watch.ElapsedMs(), 1500) << "waited to fill the buffer instead of returning early";
}

TEST_F(RadarDeviceOverPty, StopSilencesReportsAndTheStartBracketResumesThem)
{
    SimModuleProcess sim({"--interval", "20"});
    ASSERT_TRUE(Open(sim));
    ASSERT_EQ(Vetra_Interface_RadarDevice_Stop(m_device), 1);
    Vetra_Interface_RadarDevice_CleanCmdBuffer(m_device, 500);
    std::uint8_t byte = 0;
    EXPECT_EQ(Vetra_Interface_RadarDevice_ReadData(m_device, &byte, 1, 300, 0), 0);
    EXPECT_EQ(Vetra_Interface_RadarDevice_Stop(m_device), 1) << "stopping twice is harmless";

    ASSERT_EQ(StartReporting(m_device), 1);
    EXPECT_GE(FindReportFrames(ReadFor(m_device, 400)).size(), 5u);
}

TEST_F(RadarDeviceOverPty, SetParametersChangeWhatTheModuleReadsBack)
{
    SimModuleProcess sim;
    ASSERT_TRUE(Open(sim));
    const std::int32_t values[5] = {40000, 25, 380, 33, 45};
    std::vector<std::uint8_t> reply;
    ASSERT_TRUE(SetAndReadParameters(m_device, values, &reply));
    ASSERT_EQ(reply.size(), 52u);
    EXPECT_EQ(ReadU16(&reply[0]), 0);
    EXPECT_EQ(ReadU16(&reply[2]), 40000);
    EXPECT_EQ(ReadU16(&reply[4]), 25);
    EXPECT_EQ(ReadU16(&reply[6]), 380);
    EXPECT_EQ(ReadU16(&reply[8]), 33);
    EXPECT_EQ(ReadU16(&reply[10]), 45);
    // Leaving command mode after the exchange lets the reports flow again.
    EXPECT_FALSE(FindReportFrames(ReadFor(m_device, 300)).empty());
}

TEST_F(RadarDeviceOverPty, SilentModuleFailsWithinTheTimeOut)
{
    SimModuleProcess sim({"--mute"});
    ASSERT_TRUE(Open(sim));
    Stopwatch enter;
    EXPECT_EQ(Vetra_Interface_RadarDevice_StartCmdMode(m_device, 2, 150), 0);
    EXPECT_GE(enter.ElapsedMs(), 290) << "both tries wait their 150 ms";
    EXPECT_LT(enter.ElapsedMs(), 1300);

    Stopwatch command;
    std::vector<std::uint8_t> reply;
    EXPECT_EQ(Vetra_Interface_RadarDevice_Protocol_SendCommand(m_device, 0x0073, nullptr, 0, KeepReply, &reply, 2000),
              kVetraStatusTimeout);
    EXPECT_GE(command.ElapsedMs(), 1990);
    EXPECT_LT(command.ElapsedMs(), 3000);
    EXPECT_TRUE(reply.empty()) << "the callback ran without a reply";

    CBaseStringA version("Unknown");
    EXPECT_EQ(Vetra_Interface_RadarDevice_GetVersion(m_device, &version), 0);
    EXPECT_STREQ(version.GetString(), "Unknown");
    EXPECT_EQ(Vetra_Interface_RadarDevice_IsConnected(m_device), 1) << "a silent module is still plugged in";
}

TEST_F(RadarDeviceOverPty, CorruptRepliesAreRejected)
{
    SimModuleProcess sim({"--bad-crc"});
    ASSERT_TRUE(Open(sim));
    CBaseStringA version("Unknown");
    EXPECT_EQ(Vetra_Interface_RadarDevice_GetVersion(m_device, &version), 0);
    EXPECT_STREQ(version.GetString(), "Unknown");
    std::vector<std::uint8_t> reply;
    EXPECT_EQ(Vetra_Interface_RadarDevice_Protocol_SendCommand(m_device, 0x00FF, nullptr, 0, KeepReply, &reply, 300),
              kVetraStatusTimeout);
    EXPECT_TRUE(reply.empty());
    const std::uint16_t ids[1] = {4};
    const std::int32_t values[1] = {10};
    EXPECT_EQ(Vetra_Interface_RadarDevice_Protocol_SetParameter(m_device, 0x0067, 1, ids, values, 300), 0);
}

TEST_F(RadarDeviceOverPty, GarbageAndBrokenFramesDoNotDisturbCommands)
{
    SimModuleProcess sim({"--garbage", "--broken-tail", "--interval", "5", "--seed", "11"});
    ASSERT_TRUE(Open(sim));
    for (int i = 0; i < 5; ++i) {
        CBaseStringA version;
        ASSERT_EQ(Vetra_Interface_RadarDevice_GetVersion(m_device, &version), 1) << "round " << i;
        EXPECT_STREQ(version.GetString(), "1.0.0-sim");
    }
}

TEST_F(RadarDeviceOverPty, HangUpDuringReadDataIsAnErrorAtOnce)
{
    SimModuleProcess sim({"--hangup-after", "700"});
    ASSERT_TRUE(Open(sim));
    std::vector<std::uint8_t> buffer(4096);
    Stopwatch total;
    int n = 0;
    while (total.ElapsedMs() < 5000) {
        Stopwatch call;
        n = Vetra_Interface_RadarDevice_ReadData(m_device, buffer.data(), int(buffer.size()), 2000, 0);
        ASSERT_LT(call.ElapsedMs(), 1500) << "a read waited out its time-out";
        if (n < 0)
            break;
    }
    ASSERT_LT(n, 0);
    EXPECT_EQ(Vetra_Interface_RadarDevice_IsConnected(m_device), 0);

    // Afterwards: every call fails fast, and nothing spins.
    const double cpuBefore = CpuSeconds();
    Stopwatch after;
    EXPECT_LT(Vetra_Interface_RadarDevice_ReadData(m_device, buffer.data(), int(buffer.size()), 2000, 0), 0);
    CBaseStringA version("Unknown");
    EXPECT_EQ(Vetra_Interface_RadarDevice_GetVersion(m_device, &version), 0);
    EXPECT_EQ(Vetra_Interface_RadarDevice_Protocol_SendCommand(m_device, 0x0073, nullptr, 0, nullptr, nullptr, 2000),
              kVetraStatusWriteFailed);
    EXPECT_LT(after.ElapsedMs(), 500);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_LT(CpuSeconds() - cpuBefore, 0.5) << "something spins after the hang-up";
}

TEST_F(RadarDeviceOverPty, BytesBehindAReplyReachReadDataUnbroken)
{
    char recordPath[] = "/tmp/radar_recordXXXXXX";
    const int fd = mkstemp(recordPath);
    ASSERT_GE(fd, 0);
    close(fd);
    std::vector<std::uint8_t> received;
    {
        // The module sends a report right behind the reply that ends the bracket; garbage
        // makes the stream aperiodic, so bytes lost there cannot go unnoticed.
        SimModuleProcess sim({"--record", recordPath, "--interval", "1", "--garbage"});
        ASSERT_TRUE(Open(sim));
        ASSERT_EQ(StartReporting(m_device), 1);
        received = ReadFor(m_device, 300);
        Vetra_Interface_RadarDevice_Serial_Close(m_device);
    }
    std::ifstream file(recordPath, std::ios::binary);
    const std::vector<std::uint8_t> recorded{std::istreambuf_iterator<char>(file), {}};
    std::remove(recordPath);
    ASSERT_GE(received.size(), 700u);
    // ReadData continues exactly where the reply to "leave command mode" ended.
    const std::uint8_t leaveStatus[2] = {0, 0};
    const std::vector<std::uint8_t> leaveReply = EncodeCommandFrame(0x80FE, leaveStatus, 2);
    const auto replyAt = std::find_end(recorded.begin(), recorded.end(), leaveReply.begin(), leaveReply.end());
    ASSERT_NE(replyAt, recorded.end());
    const auto afterReply = replyAt + std::ptrdiff_t(leaveReply.size());
    ASSERT_GE(recorded.end() - afterReply, std::ptrdiff_t(received.size()));
    EXPECT_TRUE(std::equal(received.begin(), received.end(), afterReply));
}

TEST_F(RadarDeviceOverPty, CloseWakesAReaderAtOnce)
{
    SimModuleProcess sim({"--interval", "100000"});
    ASSERT_TRUE(Open(sim));
    int result = 0;
    long long waited = 0;
    std::thread reader([&] {
        std::uint8_t buffer[64];
        Stopwatch watch;
        result = Vetra_Interface_RadarDevice_ReadData(m_device, buffer, sizeof buffer, 5000, 0);
        waited = watch.ElapsedMs();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Vetra_Interface_RadarDevice_Serial_Close(m_device);
    reader.join();
    EXPECT_LT(result, 0);
    EXPECT_LT(waited, 3000);
}

TEST_F(RadarDeviceOverPty, ReopensOnTheSameHandle)
{
    SimModuleProcess sim;
    ASSERT_TRUE(Open(sim));
    Vetra_Interface_RadarDevice_Serial_Close(m_device);
    EXPECT_EQ(Vetra_Interface_RadarDevice_IsConnected(m_device), 0);
    ASSERT_TRUE(Open(sim));
    CBaseStringA version;
    EXPECT_EQ(Vetra_Interface_RadarDevice_GetVersion(m_device, &version), 1);
}

TEST_F(RadarDeviceOverPty, RefusedOpensLeaveNothingOpen)
{
    SimModuleProcess sim;
    ASSERT_TRUE(sim.IsStarted());
    struct Case {
        const char* name;
        int port;
        int baud;
        int stopBits;
    };
    const Case cases[] = {
        {"unknown number", 987654, 256000, 1},
        {"path that does not exist", RegisterSerialPortPath("/nonexistent/ttyRadar"), 256000, 1},
        {"baud rate 0", sim.PortNumber(), 0, 1},
        {"three stop bits", sim.PortNumber(), 256000, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Stopwatch watch;
        EXPECT_EQ(Vetra_Interface_RadarDevice_Serial_OpenByPortNum(m_device, c.port, c.baud, 2, c.stopBits, 1, 150), 0);
        EXPECT_LT(watch.ElapsedMs(), 2000);
        EXPECT_EQ(Vetra_Interface_RadarDevice_IsConnected(m_device), 0);
        std::uint8_t byte = 0;
        EXPECT_LT(Vetra_Interface_RadarDevice_ReadData(m_device, &byte, 1, 100, 0), 0);
    }
}

TEST(SimRadarProgram, RefusesBadFaultOptionsWithoutServing)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--protocol", "3"},        {"--ignore-write", "18"},       {"--ignore-write", "2,,3"},
        {"--late", "0x0067"},       {"--late", "0x0067:soon"},      {"--no-answer", "67"},
        {"--lose", "any:1:0"},      {"--lose", "0x10000"},          {"--no-answer", "any:1:2:3"},
    };
    for (const std::vector<std::string>& options : bad) {
        SCOPED_TRACE(options[0] + " " + options[1]);
        SimModuleProcess sim(options);
        EXPECT_FALSE(sim.IsStarted());
        EXPECT_EQ(sim.Stop(), 2);
    }
    SimModuleProcess good({"--protocol", "1", "--ignore-write", "0,17", "--late", "0x00FF:10:1:2", "--no-answer",
                           "0x0073", "--lose", "any:100"});
    EXPECT_TRUE(good.IsStarted());
}
