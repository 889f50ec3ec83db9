#include "DetectionParamsReply.h"

#include <cstring>

namespace {

std::uint32_t U8(const std::uint8_t* p)
{
    return p[0];
}

std::uint32_t U16(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8);
}

std::uint32_t U32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

// Copies the bits, as the module sends its floats in their 32-bit form.
float F32(const std::uint8_t* p)
{
    const std::uint32_t bits = U32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

std::uint16_t ParseDetectionParamsReply(int hasStatus, const std::uint8_t* reply, int length,
                                        DetectionParams* target)
{
    if (length != kDetectionParamsReplyLength || !reply)
        return kDetectionParamsWrongLength;
    if (hasStatus) {
        const std::uint16_t status = std::uint16_t(U16(reply));
        if (status != 0)
            return status;
    }
    if (!target)
        return 0;
    // Offsets of the reply table; without the status word everything sits two bytes earlier.
    const int shift = hasStatus ? 0 : 2;
    const auto at = [reply, shift](int offset) { return reply + (offset - shift); };
    DetectionParams read;
    read.nMotionRangeMax = std::int32_t(U16(at(2)));
    read.nMotionRangeMin = std::int32_t(U16(at(4)));
    read.nMotionlessRangeMax = std::int32_t(U16(at(6)));
    read.nMotionlessRangeMin = std::int32_t(U16(at(8)));
    read.nOffTime = std::int32_t(U16(at(10)));
    read.fMotionNearEndCoef = F32(at(12));
    read.fMotionFarEndCoef = F32(at(16));
    read.fMotionlessNearEndCoef = F32(at(20));
    read.fMotionlessFarEndCoef = F32(at(24));
    read.nMotionIIR = std::int32_t(U8(at(28)));
    read.nMotionlessIIR = std::int32_t(U8(at(29)));
    read.nMotionWindowRange = std::int32_t(U8(at(30)));
    read.nMotionlessWindowRange = std::int32_t(U8(at(31)));
    read.fKalman1 = F32(at(32));
    read.fKalman2 = F32(at(36));
    read.fKalman3 = F32(at(40));
    read.fKalman4 = F32(at(44));
    read.nDistanceCalibration = std::int32_t(U32(at(48)));
    *target = read;
    return 0;
}
