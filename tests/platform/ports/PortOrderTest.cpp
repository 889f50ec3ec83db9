// The port list's order, the legacy ports without a UART, and device identities.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "DeviceIdentity.h"
#include "PortOrder.h"

namespace {

SerialPortEntry Usb(const char* path, const char* description, std::uint16_t vendor = 0x1a86)
{
    SerialPortEntry entry;
    entry.path = path;
    entry.description = description;
    entry.vendorId = vendor;
    entry.productId = 0x7523;
    return entry;
}

SerialPortEntry Plain(const char* path)
{
    SerialPortEntry entry;
    entry.path = path;
    return entry;
}

TEST(PortOrder, UsbByDescriptionThenOtherRealThenLegacyByNumber)
{
    std::vector<SerialPortEntry> entries = {
        Plain("/dev/ttyS10"), Plain("/dev/ttyS9"), Plain("/dev/ttyAMA0"), Usb("/dev/ttyUSB1", "USB Serial"),
        Usb("/dev/ttyACM0", "CP2102 bridge", 0x10c4), Plain("/dev/ttyS0"), Usb("/dev/ttyUSB0", "USB Serial"),
        Plain("/dev/rfcomm0")};
    OrderSerialPorts(entries);
    std::vector<std::string> paths;
    for (const SerialPortEntry& entry : entries)
        paths.push_back(entry.path);
    EXPECT_EQ(paths, (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/rfcomm0",
                                               "/dev/ttyAMA0", "/dev/ttyS0", "/dev/ttyS9", "/dev/ttyS10"}));
    EXPECT_EQ(entries.front().kind, SerialPortKind::Usb);
    EXPECT_EQ(entries[3].kind, SerialPortKind::Other);
    EXPECT_EQ(entries.back().kind, SerialPortKind::Legacy);
}

// The kernel lists every legacy port it reserved; only those with a UART behind them
// ("type" other than 0) can talk to a module.
TEST(PortOrder, LegacyPortsWithoutAUartAreLeftOut)
{
    const std::filesystem::path root = std::filesystem::temp_directory_path() / ("tty-" + std::to_string(getpid()));
    const struct {
        const char* name;
        const char* type;  // null: no type file
        bool kept;
    } cases[] = {{"ttyS0", "4\n", true}, {"ttyS1", "0\n", false}, {"ttyS2", nullptr, true}, {"ttyS3", "junk", true}};
    for (const auto& c : cases) {
        std::filesystem::create_directories(root / c.name);
        if (c.type)
            std::ofstream(root / c.name / "type") << c.type;
    }
    for (const auto& c : cases)
        EXPECT_EQ(LegacyPortHasUart(std::string("/dev/") + c.name, root.string()), c.kept) << c.name;
    EXPECT_TRUE(LegacyPortHasUart("/dev/ttyUSB0", root.string())) << "only legacy ports are asked";
    std::filesystem::remove_all(root);
}

TEST(DeviceIdentity, UsbBySerialNumberOrLinkAnythingElseByPath)
{
    SerialPortEntry numbered = Usb("/dev/ttyUSB3", "USB Serial");
    numbered.serialNumber = "A50285BI";
    SerialPortEntry linked = Usb("/dev/ttyUSB4", "USB Serial");
    linked.byIdLink = "/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0";
    const SerialPortEntry bare = Usb("/dev/ttyUSB5", "USB Serial");
    EXPECT_EQ(DeviceIdentityOf(numbered), "usb:1a86:7523:A50285BI");
    EXPECT_EQ(DeviceIdentityOf(linked), "usb:1a86:7523:/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0");
    EXPECT_EQ(DeviceIdentityOf(bare), "usb:1a86:7523:/dev/ttyUSB5");
    EXPECT_EQ(DeviceIdentityOf(Plain("/dev/ttyS0")), "path:/dev/ttyS0");
    // The same device under another name is the same identity.
    numbered.path = "/dev/ttyUSB0";
    EXPECT_EQ(DeviceIdentityOf(numbered), "usb:1a86:7523:A50285BI");
}

// A device known by its path is there while the path names a character device.
TEST(DeviceIdentity, APathIdentityIsFoundWhileItsDeviceIsThere)
{
    const std::string file = (std::filesystem::temp_directory_path() / ("plain-" + std::to_string(getpid()))).string();
    std::ofstream(file) << "not a device";
    EXPECT_EQ(FindDeviceOfIdentity("path:/dev/null", "/dev/null"), "/dev/null");
    EXPECT_EQ(FindDeviceOfIdentity("path:" + file, file), "") << "a file is no device";
    EXPECT_EQ(FindDeviceOfIdentity("path:/dev/ttyVETRA-gone", "/dev/ttyVETRA-gone"), "");
    EXPECT_EQ(FindDeviceOfIdentity("usb:ffff:fffe:none", "/dev/null"), "") << "a USB identity is looked up, not its old path";
    std::filesystem::remove(file);
}

}  // namespace
