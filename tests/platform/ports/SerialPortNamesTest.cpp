#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "SerialPortNames.h"

namespace {

struct ComCase {
    const char16_t* name;
    int number;
};

void PrintTo(const ComCase& c, std::ostream* os)
{
    for (const char16_t* p = c.name; *p; ++p)
        *os << (*p < 0x80 ? char(*p) : '?');
}

class ComRuleTest : public ::testing::TestWithParam<ComCase> {};

TEST_P(ComRuleTest, DigitsAfterTheFirstThreeCharacters)
{
    EXPECT_EQ(SerialPortNumberFromNameW(GetParam().name), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(Table, ComRuleTest,
    ::testing::Values(ComCase{u"COM3", 3}, ComCase{u"COM12", 12}, ComCase{u"COMx", 0}, ComCase{u"COM", 0},
                      ComCase{u"COM7 (USB Serial)", 7}, ComCase{u"COM0", 0}, ComCase{u"COM255x", 255}));

TEST(SerialPortNames, RegistryGivesEveryPathOneNumber)
{
    const int a = RegisterSerialPortPath("/dev/pts/vetra-test-a");
    const int b = RegisterSerialPortPath("/dev/pts/vetra-test-b");
    EXPECT_GT(a, 0);
    EXPECT_GT(b, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(RegisterSerialPortPath("/dev/pts/vetra-test-a"), a);
    EXPECT_EQ(SerialPortPathFromNumber(a), "/dev/pts/vetra-test-a");
    EXPECT_EQ(SerialPortNumberFromNameW(u"/dev/pts/vetra-test-b"), b);
    EXPECT_EQ(SerialPortNumberFromNameW(u"/dev/pts/vetra-test-b (USB-Serial Controller)"), b);
    EXPECT_EQ(SerialPortNumberFromNameW(u"/dev/never-registered"), 0);
    EXPECT_EQ(SerialPortNumberFromNameW(nullptr), 0);
    EXPECT_EQ(RegisterSerialPortPath(""), 0);
    EXPECT_EQ(SerialPortPathFromNumber(0), "");
    EXPECT_EQ(SerialPortPathFromNumber(999999), "");
    EXPECT_EQ(RegisterSerialPortPath(kSimulatedPortPath), kSimulatedPortNumber);
    EXPECT_EQ(SerialPortPathFromNumber(kSimulatedPortNumber), kSimulatedPortPath);
}

TEST(SerialPortNames, RegistryIsThreadSafe)
{
    std::vector<std::vector<int>> numbers(4, std::vector<int>(200));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t, &numbers] {
            for (int i = 0; i < 200; ++i) {
                const int k = (i * 7 + t * 13) % 200;  // different orders per thread
                numbers[std::size_t(t)][std::size_t(k)] =
                    RegisterSerialPortPath("/dev/pts/vetra-race-" + std::to_string(k));
            }
        });
    for (auto& th : threads)
        th.join();
    std::set<int> distinct;
    for (int k = 0; k < 200; ++k) {
        for (int t = 1; t < 4; ++t)
            EXPECT_EQ(numbers[std::size_t(t)][std::size_t(k)], numbers[0][std::size_t(k)]);
        distinct.insert(numbers[0][std::size_t(k)]);
        EXPECT_EQ(SerialPortPathFromNumber(numbers[0][std::size_t(k)]), "/dev/pts/vetra-race-" + std::to_string(k));
    }
    EXPECT_EQ(distinct.size(), 200u);
}

std::u16string Text(const CPtrListCtrl& list, int i)
{
    return std::u16string(static_cast<const char16_t*>(list.GetAt(i)));
}

TEST(SerialPortNames, ListsDevicesInPathOrderThenTheSimulatedModule)
{
    CPtrListCtrl names;
    const int count = EnumSerialPortNameW(&names);
    ASSERT_GE(count, 1);
    ASSERT_EQ(names.GetCount(), count);
    EXPECT_EQ(Text(names, count - 1), u"Simulated module");
    EXPECT_EQ(GetSimulatedPortDisplayNameW(), u"Simulated module");
    EXPECT_EQ(SerialPortNumberFromNameW(Text(names, count - 1).c_str()), kSimulatedPortNumber);
    std::vector<std::u16string> paths;
    for (int i = 0; i + 1 < count; ++i) {
        const std::u16string name = Text(names, i);
        const std::u16string path = name.substr(0, name.find(u" ("));
        paths.push_back(path);
        const int number = SerialPortNumberFromNameW(name.c_str());
        EXPECT_GT(number, 0);
        const std::string back = SerialPortPathFromNumber(number);
        EXPECT_EQ(std::u16string(back.begin(), back.end()), path);
    }
    EXPECT_TRUE(std::is_sorted(paths.begin(), paths.end()));
    FreeSerialPortNameA(&names);
    EXPECT_EQ(names.GetCount(), 0);
}

TEST(SerialPortNames, SimulatedModuleDisplayNameCanBeLocalised)
{
    SetSimulatedPortDisplayNameW(u"模拟模块");
    CPtrListCtrl names;
    const int count = EnumSerialPortNameW(&names);
    EXPECT_EQ(Text(names, count - 1), u"模拟模块");
    EXPECT_EQ(SerialPortNumberFromNameW(u"模拟模块"), kSimulatedPortNumber);
    FreeSerialPortNameA(&names);
    SetSimulatedPortDisplayNameW(nullptr);
    EXPECT_EQ(GetSimulatedPortDisplayNameW(), u"Simulated module");
}

}  // namespace
