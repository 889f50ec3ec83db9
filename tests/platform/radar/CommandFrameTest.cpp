#include <gtest/gtest.h>

#include <string>

#include "CommandFrame.h"
#include "CommandFrameScanner.h"
#include "Crc16.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Frame(std::uint16_t word, const Bytes& payload = {}, bool corrupt = false)
{
    return EncodeCommandFrame(word, payload.data(), payload.size(), corrupt);
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const Bytes kReport = {0xAA, 0xAA, 0x01, 0x2C, 0x01, 0x55, 0x55};

}  // namespace

TEST(Crc16, CheckValueOfTheStandardText)
{
    const std::string text = "123456789";
    EXPECT_EQ(Crc16CcittFalse(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), 0x29B1);
}

TEST(CommandFrame, EncodesHeaderLengthWordPayloadAndCrc)
{
    // Enter command mode, as on the wire; CRC over 02 00 FF 00.
    const Bytes expected = {0xC5, 0x3A, 0x02, 0x00, 0xFF, 0x00, 0, 0};
    Bytes frame = Frame(0x00FF);
    ASSERT_EQ(frame.size(), expected.size());
    EXPECT_TRUE(std::equal(frame.begin(), frame.begin() + 6, expected.begin()));
    EXPECT_EQ(frame[6] | (frame[7] << 8), Crc16CcittFalse(&frame[2], 4));
    EXPECT_TRUE(EncodeCommandFrame(0x0067, nullptr, 1023).empty());
}

struct ScanCase {
    const char* name;
    Bytes stream;
    bool byteByByte;
    std::optional<std::uint16_t> expectedWord;
    Bytes expectedRemainder;
};

class CommandFrameScannerCases : public testing::TestWithParam<ScanCase> {};

TEST_P(CommandFrameScannerCases, FindsOnlyTheValidFrame)
{
    const ScanCase& c = GetParam();
    CCommandFrameScanner scanner;
    std::optional<CommandFrame> found;
    if (c.byteByByte) {
        for (std::size_t i = 0; i < c.stream.size() && !found; ++i) {
            scanner.Append(&c.stream[i], 1);
            found = scanner.Next();
            if (found) {
                EXPECT_EQ(i + 1, c.stream.size() - c.expectedRemainder.size()) << "found before its last byte came";
            }
        }
    } else {
        scanner.Append(c.stream.data(), c.stream.size());
        found = scanner.Next();
    }
    ASSERT_EQ(found.has_value(), c.expectedWord.has_value());
    if (found) {
        EXPECT_EQ(found->word, *c.expectedWord);
        EXPECT_EQ(scanner.TakeRemainder(), c.expectedRemainder);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, CommandFrameScannerCases,
    testing::Values(
        ScanCase{"plain", Frame(0x80A0, {0, 0, 'v', '1'}), false, 0x80A0, {}},
        ScanCase{"split_into_single_bytes", Frame(0x8073, Bytes(52, 7)), true, 0x8073, {}},
        ScanCase{"after_reports_and_before_more", Concat({kReport, kReport, Frame(0x80FE, {0, 0}), kReport}), false,
                 0x80FE, kReport},
        ScanCase{"wrong_crc_is_ignored", Frame(0x80FE, {0, 0}, true), false, std::nullopt, {}},
        ScanCase{"wrong_crc_then_good_frame", Concat({Frame(0x80FE, {0, 0}, true), Frame(0x80FF, {0, 0, 1, 0})}),
                 false, 0x80FF, {}},
        // A stray C5 3A announcing a long frame must not hide the real reply behind it.
        ScanCase{"false_header_with_long_length", Concat({Bytes{0xC5, 0x3A, 0xF0, 0x03, 1, 2}, Frame(0x8061, {0, 0})}),
                 true, 0x8061, {}},
        ScanCase{"length_over_1024_is_skipped", Concat({Bytes{0xC5, 0x3A, 0x01, 0x04}, Frame(0x8060, {0, 0})}), false,
                 0x8060, {}},
        ScanCase{"length_below_2_is_skipped", Concat({Bytes{0xC5, 0x3A, 0x01, 0x00, 0xC5}, Frame(0x8060, {0, 0})}),
                 false, 0x8060, {}},
        ScanCase{"truncated_frame_waits", [] { Bytes f = Frame(0x80A0, {0, 0, 'x'}); f.pop_back(); return f; }(),
                 false, std::nullopt, {}}),
    [](const testing::TestParamInfo<ScanCase>& info) { return std::string(info.param.name); });

TEST(CommandFrameScanner, CountsEachCorruptFrameOnce)
{
    CCommandFrameScanner scanner;
    // An incomplete false header first keeps the buffer from being pruned, so the
    // corrupt frame behind it is looked at again on every call.
    const Bytes stream = Concat({Bytes{0xC5, 0x3A, 0x00, 0x01}, Frame(0x80A0, {0, 0}, true)});
    scanner.Append(stream.data(), stream.size());
    EXPECT_FALSE(scanner.Next());
    const Bytes more = {1, 2, 3};
    scanner.Append(more.data(), more.size());
    EXPECT_FALSE(scanner.Next());
    EXPECT_EQ(scanner.RejectedFrames(), 1u);
}
