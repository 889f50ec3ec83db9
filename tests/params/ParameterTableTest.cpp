// The typed parameter table against the read-parameters reply and the record, and the
// text of a value: what is accepted, what is refused and why.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <random>

#include "DetectionParamsJson.h"
#include "DetectionParamsReply.h"
#include "ParameterTable.h"
#include "ParameterText.h"

using namespace ModuleParams;

namespace {

std::size_t WidthOf(ParameterKind kind)
{
    return kind == ParameterKind::U16 ? 2 : kind == ParameterKind::U8 ? 1 : 4;
}

}  // namespace

TEST(ParameterTable, KindsAndOrderFollowTheReadReplyFieldByField)
{
    // Distinct bytes everywhere, so that a field read at the wrong place or width shows.
    std::uint8_t reply[kDetectionParamsReplyLength] = {0, 0};
    for (int i = 2; i < kDetectionParamsReplyLength; ++i)
        reply[i] = std::uint8_t(0x81 + 7 * i);
    DetectionParams parsed;
    ASSERT_EQ(ParseDetectionParamsReply(1, reply, kDetectionParamsReplyLength, &parsed), 0);

    std::size_t offset = 2;  // the fields follow the status word in identifier order
    for (std::size_t id = 0; id < kParameterCount; ++id) {
        const ParameterInfo& field = Table()[id];
        SCOPED_TRACE(field.name);
        EXPECT_EQ(field.id, id);
        EXPECT_EQ(FindParameter(std::uint16_t(id)), &field);
        EXPECT_EQ(FindParameter(std::string_view(field.name)), &field);
        std::uint32_t expected = 0;
        std::memcpy(&expected, reply + offset, WidthOf(field.kind));  // little-endian host
        EXPECT_EQ(std::uint32_t(ReadRaw(parsed, field)), expected);
        offset += WidthOf(field.kind);
    }
    EXPECT_EQ(offset, std::size_t(kDetectionParamsReplyLength));
    EXPECT_EQ(FindParameter(std::uint16_t(18)), nullptr);
    EXPECT_EQ(FindParameter(std::string_view("nSpeed")), nullptr);
}

TEST(ParameterTable, RecordOrderAndNamesAreThoseOfTheSettingsAndTheCaptureIndex)
{
    std::string json;
    AppendParametersJson(json, DetectionParams::Defaults());
    std::string fromTable = "{";
    for (const ParameterInfo* field : InRecordOrder()) {
        fromTable += fromTable.size() > 1 ? ",\"" : "\"";
        fromTable += field->name + std::string("\":") +
                     FormatParameterValue(*field, ReadRaw(DetectionParams::Defaults(), *field));
    }
    EXPECT_EQ(fromTable + "}", json);
    EXPECT_EQ(ParameterNames().substr(0, 40), "nMotionlessRangeMin, nMotionlessRangeMax");
}

struct TextCase {
    const char* field;
    const char* text;
    bool ok;
    std::int32_t raw;     // when ok
    const char* error;    // when not: expected in the message (which always names the field)
};

class ParameterTextParse : public testing::TestWithParam<TextCase> {};

TEST_P(ParameterTextParse, AcceptsOnlyWhatTheFieldHolds)
{
    const TextCase& c = GetParam();
    const ParameterInfo& field = *FindParameter(std::string_view(c.field));
    std::int32_t raw = 4711;
    std::string error;
    EXPECT_EQ(ParseParameterText(field, c.text, raw, error), c.ok) << error;
    if (c.ok) {
        EXPECT_EQ(raw, c.raw);
        EXPECT_EQ(error, "");
    } else {
        EXPECT_EQ(raw, 4711) << "a refused text leaves the value alone";
        EXPECT_EQ(error.rfind(std::string(c.field) + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

const std::int32_t k085 = 0x3F59999A;  // 0.85f, as the set command carries it

INSTANTIATE_TEST_SUITE_P(
    Texts, ParameterTextParse,
    testing::Values(TextCase{"nOffTime", "0", true, 0, ""}, TextCase{"nOffTime", "65535", true, 65535, ""},
                    TextCase{"nOffTime", "65536", false, 0, "65536 is outside 0 to 65535"},
                    TextCase{"nMotionRangeMax", "-5", false, 0, "-5 is outside 0 to 65535"},
                    TextCase{"nMotionIIR", "255", true, 255, ""},
                    TextCase{"nMotionIIR", "256", false, 0, "outside 0 to 255"},
                    TextCase{"nDistanceCalibration", "-2147483648", true, INT32_MIN, ""},
                    TextCase{"nDistanceCalibration", "2147483648", false, 0, "outside -2147483648 to 2147483647"},
                    TextCase{"nDistanceCalibration", "99999999999999999999", false, 0, "is outside"},
                    TextCase{"nOffTime", "3.5", false, 0, "'3.5' is not a whole number"},
                    TextCase{"nOffTime", " 30", false, 0, "is not a whole number"},
                    TextCase{"nOffTime", "30 ", false, 0, "is not a whole number"},
                    TextCase{"nOffTime", "0x1F", false, 0, "is not a whole number"},
                    TextCase{"nOffTime", "", false, 0, "no value given"},
                    TextCase{"fKalman3", "0.85", true, k085, ""},
                    TextCase{"fKalman3", "+.85", true, k085, ""},
                    TextCase{"fKalman3", "8.5e-1", true, k085, ""},
                    TextCase{"fMotionNearEndCoef", "40", true, std::bit_cast<std::int32_t>(40.0f), ""},
                    TextCase{"fMotionNearEndCoef", "-0", true, std::int32_t(0x80000000u), ""},
                    TextCase{"fKalman1", "0,5", false, 0, "'0,5' is not a decimal number"},
                    TextCase{"fKalman1", "nan", false, 0, "is not a decimal number"},
                    TextCase{"fKalman1", "inf", false, 0, "is not a decimal number"},
                    TextCase{"fKalman1", "1e", false, 0, "is not a decimal number"},
                    TextCase{"fKalman1", ".", false, 0, "is not a decimal number"},
                    TextCase{"fKalman1", "1e39", false, 0, "beyond what a 32-bit float holds"},
                    TextCase{"fKalman1", "", false, 0, "no value given"}),
    [](const testing::TestParamInfo<TextCase>& info) { return "case" + std::to_string(info.index); });

TEST(ParameterText, FormattedFloatsParseBackBitForBit)
{
    const ParameterInfo& field = *FindParameter(std::string_view("fKalman2"));
    std::mt19937 random(7);
    int checked = 0;
    while (checked < 100000) {
        const auto raw = std::int32_t(random());
        if (!std::isfinite(std::bit_cast<float>(raw)))
            continue;
        ++checked;
        std::int32_t back = 0;
        std::string error;
        const std::string text = FormatParameterValue(field, raw);
        ASSERT_TRUE(ParseParameterText(field, text, back, error)) << text << ": " << error;
        ASSERT_EQ(back, raw) << text;
    }
    EXPECT_EQ(FormatParameterValue(field, 0x7FC00000), "NaN");
    EXPECT_EQ(FormatParameterValue(field, std::bit_cast<std::int32_t>(-INFINITY)), "-Infinity");
    EXPECT_EQ(FormatParameterValue(*FindParameter(std::string_view("nOffTime")), 20), "20");
}
