#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "ParamConfigDlg.h"

namespace {

void PutU16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

void PutU32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

void PutF32(std::uint8_t* p, float f)
{
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    PutU32(p, bits);
}

// A reply with the status word first, holding values that tell every field apart.
std::array<std::uint8_t, 52> Reply(std::uint16_t status = 0)
{
    std::array<std::uint8_t, 52> r{};
    PutU16(&r[0], status);
    PutU16(&r[2], 40000);  // above 32767: must widen as unsigned
    PutU16(&r[4], 31);
    PutU16(&r[6], 426);
    PutU16(&r[8], 32);
    PutU16(&r[10], 21);
    PutF32(&r[12], 41.5f);
    PutF32(&r[16], 6.25f);
    PutF32(&r[20], -40.0f);
    PutF32(&r[24], 9.75f);
    r[28] = 3;
    r[29] = 9;
    r[30] = 200;  // above 127: must widen as unsigned
    r[31] = 11;
    PutF32(&r[32], 0.25f);
    PutF32(&r[36], 0.75f);
    PutF32(&r[40], 0.85f);
    PutF32(&r[44], 0.15f);
    PutU32(&r[48], std::uint32_t(-12));
    return r;
}

TEST(ParamReadCallback, StoresAll18FieldsOfAReply)
{
    DetectionParams params;
    const auto reply = Reply();
    ASSERT_EQ(CParamConfigDlg::ParamReadCallback(1, reply.data(), 52, &params), 0);
    EXPECT_EQ(params.nMotionRangeMax, 40000);
    EXPECT_EQ(params.nMotionRangeMin, 31);
    EXPECT_EQ(params.nMotionlessRangeMax, 426);
    EXPECT_EQ(params.nMotionlessRangeMin, 32);
    EXPECT_EQ(params.nOffTime, 21);
    EXPECT_EQ(params.fMotionNearEndCoef, 41.5f);
    EXPECT_EQ(params.fMotionFarEndCoef, 6.25f);
    EXPECT_EQ(params.fMotionlessNearEndCoef, -40.0f);
    EXPECT_EQ(params.fMotionlessFarEndCoef, 9.75f);
    EXPECT_EQ(params.nMotionIIR, 3);
    EXPECT_EQ(params.nMotionlessIIR, 9);
    EXPECT_EQ(params.nMotionWindowRange, 200);
    EXPECT_EQ(params.nMotionlessWindowRange, 11);
    EXPECT_EQ(params.fKalman1, 0.25f);
    EXPECT_EQ(params.fKalman2, 0.75f);
    EXPECT_EQ(params.fKalman3, 0.85f);
    EXPECT_EQ(params.fKalman4, 0.15f);
    EXPECT_EQ(params.nDistanceCalibration, -12);
}

TEST(ParamReadCallback, WithoutStatusWordTheFieldsStartAtZero)
{
    const auto withStatus = Reply();
    std::array<std::uint8_t, 52> shifted{};
    std::memcpy(shifted.data(), withStatus.data() + 2, 50);
    shifted[50] = shifted[51] = 0xEE;  // not part of any field
    DetectionParams fromShifted;
    DetectionParams fromStatus;
    ASSERT_EQ(CParamConfigDlg::ParamReadCallback(0, shifted.data(), 52, &fromShifted), 0);
    ASSERT_EQ(CParamConfigDlg::ParamReadCallback(1, withStatus.data(), 52, &fromStatus), 0);
    EXPECT_EQ(std::memcmp(&fromShifted, &fromStatus, sizeof(DetectionParams)), 0);
}

TEST(ParamReadCallback, RejectedRepliesStoreNothing)
{
    const struct {
        const char* what;
        int hasStatus;
        int length;
        std::uint16_t status;
        std::uint16_t expected;
    } cases[] = {
        {"one byte short", 1, 51, 0, 0xA004},
        {"one byte long", 1, 53, 0, 0xA004},
        {"empty", 1, 0, 0, 0xA004},
        {"negative length", 0, -1, 0, 0xA004},
        {"module status 3", 1, 52, 3, 3},
        {"module status 0xBEEF", 1, 52, 0xBEEF, 0xBEEF},
    };
    for (const auto& c : cases) {
        std::array<std::uint8_t, 64> buffer{};
        const auto reply = Reply(c.status);
        std::memcpy(buffer.data(), reply.data(), reply.size());
        DetectionParams params = DetectionParams::Defaults();
        EXPECT_EQ(CParamConfigDlg::ParamReadCallback(c.hasStatus, buffer.data(), c.length, &params), c.expected)
            << c.what;
        const DetectionParams defaults = DetectionParams::Defaults();
        EXPECT_EQ(std::memcmp(&params, &defaults, sizeof params), 0) << c.what << ": the record changed";
    }
}

}  // namespace
