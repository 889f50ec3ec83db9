// The device library with the built-in simulated module: the same public calls, the
// in-process link.
#include <gtest/gtest.h>

#include "DeviceTestHelpers.h"
#include "ModuleProtocol.h"
#include "ReportFrames.h"
#include "SerialPortNames.h"
#include "SimulatedModuleOptions.h"

class RadarDeviceInProcess : public testing::Test {
protected:
    ~RadarDeviceInProcess() override
    {
        Vetra_Interface_RadarDevice_Serial_Destroy(m_device);  // closes as well
        SetInProcessSimulatedModuleOptions({});
    }

    int Open(int port = kSimulatedPortNumber, int baud = 256000)
    {
        return Vetra_Interface_RadarDevice_Serial_OpenByPortNum(m_device, port, baud, 2, 1, 1, 150);
    }

    VetraRadarHandle m_device = Vetra_Interface_RadarDevice_Serial_Create();
};

TEST_F(RadarDeviceInProcess, ServesVersionReportsAndParameters)
{
    SimulatedModuleOptions options;
    options.version = "INPROC-7";
    options.reportIntervalMs = 10;
    SetInProcessSimulatedModuleOptions(options);
    ASSERT_EQ(Open(), 1);
    CBaseStringA version;
    ASSERT_EQ(Vetra_Interface_RadarDevice_GetVersion(m_device, &version), 1);
    EXPECT_STREQ(version.GetString(), "INPROC-7");

    ASSERT_EQ(StartReporting(m_device), 1);
    EXPECT_GE(FindReportFrames(ReadFor(m_device, 300)).size(), 10u);

    const std::int32_t values[5] = {700, 40, 400, 35, 12};
    std::vector<std::uint8_t> reply;
    ASSERT_TRUE(SetAndReadParameters(m_device, values, &reply));
    ASSERT_EQ(reply.size(), 52u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ModuleProtocol::ReadU16(&reply[std::size_t(2 + 2 * i)]), values[i]) << "field " << i;

    ASSERT_EQ(Vetra_Interface_RadarDevice_Stop(m_device), 1);
    Vetra_Interface_RadarDevice_CleanCmdBuffer(m_device, 500);
    std::uint8_t byte = 0;
    EXPECT_EQ(Vetra_Interface_RadarDevice_ReadData(m_device, &byte, 1, 200, 0), 0);
}

TEST_F(RadarDeviceInProcess, TellsTheProtocolVersionOfTheLastEnterCommandMode)
{
    EXPECT_EQ(Vetra_Interface_RadarDevice_GetProtocolVersion(nullptr), 0);
    for (const int version : {1, 2}) {
        SCOPED_TRACE(version);
        SimulatedModuleOptions options;
        options.protocolVersion = version;
        SetInProcessSimulatedModuleOptions(options);
        ASSERT_EQ(Open(), 1);
        EXPECT_EQ(Vetra_Interface_RadarDevice_GetProtocolVersion(m_device), 0) << "not asked yet";
        ASSERT_EQ(Vetra_Interface_RadarDevice_StartCmdMode(m_device, 2, 150), 1);
        EXPECT_EQ(Vetra_Interface_RadarDevice_GetProtocolVersion(m_device), version);
        EXPECT_EQ(Vetra_Interface_RadarDevice_StopCmdMode(m_device), 1);
        Vetra_Interface_RadarDevice_Serial_Close(m_device);
        EXPECT_EQ(Vetra_Interface_RadarDevice_GetProtocolVersion(m_device), 0) << "forgotten with the port";
    }
}

TEST_F(RadarDeviceInProcess, ALateReplyArrivesAfterItsDelay)
{
    SimulatedModuleOptions options;
    options.reportIntervalMs = 100000;  // only the reply may wake the module
    options.commandFaults = {{CommandFaultKind::Late, ModuleProtocol::kEnterCommandMode, 300, 0, 1}};
    SetInProcessSimulatedModuleOptions(options);
    ASSERT_EQ(Open(), 1);
    Stopwatch watch;
    EXPECT_EQ(Vetra_Interface_RadarDevice_Protocol_SendCommand(m_device, ModuleProtocol::kEnterCommandMode, nullptr, 0,
                                                               nullptr, nullptr, 2000),
              0);
    EXPECT_GE(watch.ElapsedMs(), 290);
    EXPECT_LT(watch.ElapsedMs(), 1500);
}

TEST_F(RadarDeviceInProcess, OpensUnderItsPathToo)
{
    EXPECT_EQ(RegisterSerialPortPath(kSimulatedPortPath), kSimulatedPortNumber);
    EXPECT_EQ(Open(RegisterSerialPortPath(kSimulatedPortPath)), 1);
    EXPECT_EQ(Vetra_Interface_RadarDevice_IsConnected(m_device), 1);
}

TEST_F(RadarDeviceInProcess, HangUpEndsReadingWithAnError)
{
    SimulatedModuleOptions options;
    options.hangupAfterMs = 300;
    SetInProcessSimulatedModuleOptions(options);
    ASSERT_EQ(Open(), 1);
    std::uint8_t buffer[256];
    Stopwatch watch;
    int n = 0;
    while ((n = Vetra_Interface_RadarDevice_ReadData(m_device, buffer, sizeof buffer, 2000, 0)) >= 0 &&
           watch.ElapsedMs() < 3000) {
    }
    EXPECT_LT(n, 0);
    EXPECT_LT(watch.ElapsedMs(), 3000);
    EXPECT_EQ(Vetra_Interface_RadarDevice_IsConnected(m_device), 0);
    EXPECT_EQ(Vetra_Interface_RadarDevice_StartCmdMode(m_device, 2, 150), 0);
}

TEST(RadarDeviceHandle, CallsWithoutAnOpenPortFailCleanly)
{
    VetraRadarHandle device = Vetra_Interface_RadarDevice_Serial_Create();
    std::uint8_t byte = 0;
    EXPECT_LT(Vetra_Interface_RadarDevice_ReadData(device, &byte, 1, 1000, 0), 0);
    EXPECT_EQ(Vetra_Interface_RadarDevice_IsConnected(device), 0);
    EXPECT_EQ(Vetra_Interface_RadarDevice_Stop(device), 0);
    EXPECT_EQ(Vetra_Interface_RadarDevice_Protocol_SendCommand(device, 0x0073, nullptr, 0, nullptr, nullptr, 100),
              kVetraStatusNotOpen);
    Vetra_Interface_RadarDevice_Serial_Close(device);
    Vetra_Interface_RadarDevice_Serial_Destroy(device);
    Vetra_Interface_RadarDevice_Serial_Destroy(nullptr);
    EXPECT_LT(Vetra_Interface_RadarDevice_ReadData(nullptr, &byte, 1, 10, 0), 0);
}
