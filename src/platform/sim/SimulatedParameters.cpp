#include "SimulatedParameters.h"

#include <bit>

#include "ModuleProtocol.h"

using namespace ModuleProtocol;

bool SimulatedParameters::IsSettable(std::uint16_t id, int protocolVersion)
{
    return id <= (protocolVersion >= kProtocolVersion ? kHighestParameterId : kHighestBasicParameterId);
}

bool SimulatedParameters::Set(std::uint16_t id, std::int32_t value)
{
    const std::int32_t u16 = std::uint16_t(value);
    const std::int32_t u8 = std::uint8_t(value);
    const float f32 = std::bit_cast<float>(value);
    switch (id) {
    case 0: nMotionRangeMax = u16; return true;
    case 1: nMotionRangeMin = u16; return true;
    case 2: nMotionlessRangeMax = u16; return true;
    case 3: nMotionlessRangeMin = u16; return true;
    case 4: nOffTime = u16; return true;
    case 5: fMotionNearEndCoef = f32; return true;
    case 6: fMotionFarEndCoef = f32; return true;
    case 7: fMotionlessNearEndCoef = f32; return true;
    case 8: fMotionlessFarEndCoef = f32; return true;
    case 9: nMotionIIR = u8; return true;
    case 10: nMotionlessIIR = u8; return true;
    case 11: nMotionWindowRange = u8; return true;
    case 12: nMotionlessWindowRange = u8; return true;
    case 13: fKalman1 = f32; return true;
    case 14: fKalman2 = f32; return true;
    case 15: fKalman3 = f32; return true;
    case 16: fKalman4 = f32; return true;
    case 17: nDistanceCalibration = value; return true;
    default: return false;
    }
}

std::array<std::uint8_t, 50> SimulatedParameters::Encode() const
{
    // Offsets of the 52-byte read reply, less the 2 bytes of its status word. The
    // narrow fields carry the low bits of the stored value, as a 16- or 8-bit register would.
    std::array<std::uint8_t, 50> block{};
    auto at = [&block](std::size_t replyOffset) { return block.data() + (replyOffset - 2); };
    WriteU16(at(2), std::uint16_t(nMotionRangeMax));
    WriteU16(at(4), std::uint16_t(nMotionRangeMin));
    WriteU16(at(6), std::uint16_t(nMotionlessRangeMax));
    WriteU16(at(8), std::uint16_t(nMotionlessRangeMin));
    WriteU16(at(10), std::uint16_t(nOffTime));
    WriteU32(at(12), std::bit_cast<std::uint32_t>(fMotionNearEndCoef));
    WriteU32(at(16), std::bit_cast<std::uint32_t>(fMotionFarEndCoef));
    WriteU32(at(20), std::bit_cast<std::uint32_t>(fMotionlessNearEndCoef));
    WriteU32(at(24), std::bit_cast<std::uint32_t>(fMotionlessFarEndCoef));
    *at(28) = std::uint8_t(nMotionIIR);
    *at(29) = std::uint8_t(nMotionlessIIR);
    *at(30) = std::uint8_t(nMotionWindowRange);
    *at(31) = std::uint8_t(nMotionlessWindowRange);
    WriteU32(at(32), std::bit_cast<std::uint32_t>(fKalman1));
    WriteU32(at(36), std::bit_cast<std::uint32_t>(fKalman2));
    WriteU32(at(40), std::bit_cast<std::uint32_t>(fKalman3));
    WriteU32(at(44), std::bit_cast<std::uint32_t>(fKalman4));
    WriteU32(at(48), std::uint32_t(nDistanceCalibration));
    return block;
}
