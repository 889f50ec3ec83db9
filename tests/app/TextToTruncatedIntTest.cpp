#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "TextToTruncatedInt.h"

namespace {

struct Case {
    std::string text;
    std::int32_t expected;
};

const Case kCases[] = {
    // What the operator types.
    Case{"12.9", 12}, Case{"-5", -5}, Case{"1e3", 1000}, Case{" 40", 40}, Case{"abc", 0}, Case{"", 0},
    Case{"-12.9", -12}, Case{"+7", 7}, Case{"\t\n 8kg", 8}, Case{"717", 717},
    // The number ends where the grammar ends.
    Case{"5.", 5}, Case{".5", 0}, Case{".", 0}, Case{"1e", 1}, Case{"1e+", 1}, Case{"2e-", 2}, Case{"- 5", 0},
    Case{"3.9e-1", 0}, Case{"1.5e1", 15}, Case{"0.000123e6", 123}, Case{"12,5", 12}, Case{"--5", 0},
    // Hexadecimal, infinities and nan, as the conversion knows them.
    Case{"0x1A", 26}, Case{"-0x10", -16}, Case{"0x", 0}, Case{"0x1p4", 16}, Case{"inf", INT_MAX},
    Case{"-Infinity", INT_MIN}, Case{"nan", 0},
    // The 32-bit range: exact at its ends, clamped beyond.
    Case{"2147483647", INT_MAX}, Case{"2147483647.9", INT_MAX}, Case{"2147483648", INT_MAX},
    Case{"-2147483648", INT_MIN}, Case{"-2147483648.5", INT_MIN}, Case{"-2147483649", INT_MIN},
    Case{"99999999999999999999999", INT_MAX}, Case{"1e400", INT_MAX}, Case{"-1e20", INT_MIN},
    Case{"1e-400", 0}, Case{"0e999999999", 0}, Case{"1e99999999999999", INT_MAX}};

TEST(TextToTruncatedInt, ReadsLikeTheDoubleConversionAndTruncatesTowardZero)
{
    for (const Case& c : kCases)
        EXPECT_EQ(TextToTruncatedInt32(c.text), c.expected) << "text: \"" << c.text << "\"";
}

}  // namespace
