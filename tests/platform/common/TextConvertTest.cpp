#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <string>

#include "TextConvert.h"

namespace {

struct IntCase {
    const char* text;
    int length;
    bool ok;
    std::int32_t expected;  // the value after the call (the sentinel when it fails)
};

void PrintTo(const IntCase& c, std::ostream* os)
{
    *os << '"' << c.text << "\" (length " << c.length << ")";
}

constexpr std::int32_t kSentinel = 4242;

class DigtalIntTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(DigtalIntTest, ConvertsOrLeavesTargetUnchanged)
{
    const IntCase& c = GetParam();
    std::int32_t value = kSentinel;
    EXPECT_EQ(DigtalStringToValue(c.text, c.length, &value, kDigitalInt32) != 0, c.ok) << '"' << c.text << '"';
    EXPECT_EQ(value, c.ok ? c.expected : kSentinel) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(Table, DigtalIntTest,
    ::testing::Values(
        IntCase{"0", -1, true, 0},
        IntCase{"123", -1, true, 123},
        IntCase{"-45", -1, true, -45},
        IntCase{"+7", -1, true, 7},
        IntCase{"  300 \r\n", -1, true, 300},        // blanks around are allowed
        IntCase{"0x1F", -1, true, 31},
        IntCase{"-0X10", -1, true, -16},
        IntCase{"2147483647", -1, true, INT32_MAX},
        IntCase{"-2147483648", -1, true, INT32_MIN},
        IntCase{"2147483648", -1, true, INT32_MAX},  // clamps
        IntCase{"-2147483649", -1, true, INT32_MIN},  // clamps
        IntCase{"99999999999999999999999", -1, true, INT32_MAX},
        IntCase{"0xFFFFFFFF", -1, true, INT32_MAX},  // clamps by value, does not wrap to -1
        IntCase{"12345", 3, true, 123},              // only `length` bytes count
        IntCase{"", -1, false, 0},
        IntCase{"   ", -1, false, 0},
        IntCase{"abc", -1, false, 0},
        IntCase{"12abc", -1, false, 0},
        IntCase{"1 2", -1, false, 0},
        IntCase{"12.5", -1, false, 0},
        IntCase{"1e3", -1, false, 0},
        IntCase{"-", -1, false, 0},
        IntCase{"0x", -1, false, 0},
        IntCase{"0xG1", -1, false, 0},
        IntCase{"--1", -1, false, 0},
        IntCase{"5", 0, false, 0},
        IntCase{"5", -2, false, 0}));

struct FloatCase {
    const char* text;
    bool ok;
    float expected;
};

void PrintTo(const FloatCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class DigtalFloatTest : public ::testing::TestWithParam<FloatCase> {};

TEST_P(DigtalFloatTest, ConvertsOrLeavesTargetUnchanged)
{
    const FloatCase& c = GetParam();
    float value = 42.5f;
    EXPECT_EQ(DigtalStringToValue(c.text, -1, &value, kDigitalFloat32) != 0, c.ok) << '"' << c.text << '"';
    EXPECT_FLOAT_EQ(value, c.ok ? c.expected : 42.5f) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(Table, DigtalFloatTest,
    ::testing::Values(
        FloatCase{"0.5", true, 0.5f},
        FloatCase{"-1.25", true, -1.25f},
        FloatCase{"3", true, 3.0f},
        FloatCase{" 1e-3 ", true, 0.001f},
        FloatCase{"+2.5E2", true, 250.0f},
        FloatCase{".75", true, 0.75f},
        FloatCase{"", false, 0},
        FloatCase{"x1.5", false, 0},
        FloatCase{"1.5x", false, 0},
        FloatCase{"1,5", false, 0},
        FloatCase{"1.5 2", false, 0}));

TEST(DigtalStringToValue, FloatIgnoresProcessLocale)
{
    // Qt applications adopt the user's locale; a German LC_NUMERIC must not change parsing.
    const std::string old = std::setlocale(LC_NUMERIC, nullptr);
    const bool switched = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    float value = 0;
    EXPECT_NE(DigtalStringToValue("0.25", -1, &value, kDigitalFloat32), 0);
    EXPECT_FLOAT_EQ(value, 0.25f);
    std::setlocale(LC_NUMERIC, old.c_str());
    if (!switched)
        GTEST_SKIP() << "de_DE locale not installed; checked under the C locale only";
}

TEST(DigtalStringToValue, RejectsUnknownKindAndNulls)
{
    std::int32_t value = 7;
    EXPECT_EQ(DigtalStringToValue("5", -1, &value, 6), 0);
    EXPECT_EQ(value, 7);
    EXPECT_EQ(DigtalStringToValue(nullptr, -1, &value, kDigitalInt32), 0);
    EXPECT_EQ(DigtalStringToValue("5", -1, nullptr, kDigitalInt32), 0);
}

std::u16string PieceAt(const CPtrArrayCtrl& pieces, int i)
{
    return std::u16string(static_cast<const char16_t*>(pieces.GetAt(i)));
}

TEST(DevideStringByCharListW, SplitsAtEverySeparatorKeepingEmptyPieces)
{
    CPtrArrayCtrl pieces;
    const char16_t sep[] = {u'\n'};
    char16_t* block = DevideStringByCharListW(u"a\n\nb", -1, sep, 1, 0, &pieces, -1);
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(pieces.GetCount(), 3);
    EXPECT_EQ(PieceAt(pieces, 0), u"a");
    EXPECT_EQ(PieceAt(pieces, 1), u"");
    EXPECT_EQ(PieceAt(pieces, 2), u"b");
    Internal_DelArrayW(block);
}

TEST(DevideStringByCharListW, TrailingSeparatorGivesEmptyLastPiece)
{
    CPtrArrayCtrl pieces;
    char16_t* block = DevideStringByCharListW(u"a\n", -1, u"\n", 1, 0, &pieces, -1);
    ASSERT_EQ(pieces.GetCount(), 2);
    EXPECT_EQ(PieceAt(pieces, 0), u"a");
    EXPECT_EQ(PieceAt(pieces, 1), u"");
    Internal_DelArrayW(block);
}

TEST(DevideStringByCharListW, DropsEmptyPiecesAndHonoursLimitAndLength)
{
    CPtrArrayCtrl pieces;
    char16_t* block = DevideStringByCharListW(u",a;;b,c,", -1, u",;", 2, 1, &pieces, -1);
    ASSERT_EQ(pieces.GetCount(), 3);
    EXPECT_EQ(PieceAt(pieces, 0), u"a");
    EXPECT_EQ(PieceAt(pieces, 2), u"c");
    Internal_DelArrayW(block);

    CPtrArrayCtrl limited;
    block = DevideStringByCharListW(u"k=v=w=x", -1, u"=", 1, 0, &limited, 2);
    ASSERT_EQ(limited.GetCount(), 2);
    EXPECT_EQ(PieceAt(limited, 0), u"k");
    EXPECT_EQ(PieceAt(limited, 1), u"v=w=x");
    Internal_DelArrayW(block);

    CPtrArrayCtrl part;
    block = DevideStringByCharListW(u"ab\ncd\nef", 5, u"\n", 1, 0, &part, -1);
    ASSERT_EQ(part.GetCount(), 2);
    EXPECT_EQ(PieceAt(part, 1), u"cd");
    Internal_DelArrayW(block);
}

TEST(DevideStringByCharListW, EmptyOrNullTextGivesNothing)
{
    CPtrArrayCtrl pieces;
    EXPECT_EQ(DevideStringByCharListW(u"", -1, u"\n", 1, 0, &pieces, -1), nullptr);
    EXPECT_EQ(DevideStringByCharListW(nullptr, -1, u"\n", 1, 0, &pieces, -1), nullptr);
    EXPECT_EQ(pieces.GetCount(), 0);
    Internal_DelArrayW(nullptr);
}

}  // namespace
