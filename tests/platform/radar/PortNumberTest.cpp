// How the device library's port numbers are found from the names in the port list.
#include <gtest/gtest.h>

#include "RadarDevice.h"
#include "SerialPortNames.h"
#include "SimModuleProcess.h"

struct NameCase {
    const char16_t* name;
    int number;
};

class ComPortNames : public testing::TestWithParam<NameCase> {};

TEST_P(ComPortNames, TakeTheDigitsAfterTheFirstThreeCharacters)
{
    EXPECT_EQ(SerialPortNumberFromNameW(GetParam().name), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(Names, ComPortNames,
                         testing::Values(NameCase{u"COM3", 3}, NameCase{u"COM12", 12}, NameCase{u"COM", 0},
                                         NameCase{u"COMx7", 0}, NameCase{u"COM7 (USB serial)", 7}));

TEST(PortNumbers, AUserGivenPtyPathOpensByItsNumber)
{
    SimModuleProcess sim;
    ASSERT_TRUE(sim.IsStarted());
    const int number = RegisterSerialPortPath(sim.DevicePath());
    EXPECT_GT(number, 0);
    EXPECT_EQ(RegisterSerialPortPath(sim.DevicePath()), number) << "a path keeps its number";
    EXPECT_EQ(SerialPortPathFromNumber(number), sim.DevicePath());
    EXPECT_EQ(SerialPortNumberFromNameW(u"Simulated module"), kSimulatedPortNumber);

    VetraRadarHandle device = Vetra_Interface_RadarDevice_Serial_Create();
    EXPECT_EQ(Vetra_Interface_RadarDevice_Serial_OpenByPortNum(device, number, 256000, 2, 1, 1, 150), 1);
    CBaseStringA version;
    EXPECT_EQ(Vetra_Interface_RadarDevice_GetVersion(device, &version), 1);
    Vetra_Interface_RadarDevice_Serial_Destroy(device);
    EXPECT_EQ(sim.Stop(), 0) << "SIGTERM ends the simulated module cleanly";
}
