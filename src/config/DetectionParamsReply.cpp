#include "DetectionParamsReply.h"

#include "ParameterTable.h"

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
    // The fields follow the status word in identifier order, each as wide as its kind;
    // without the status word everything sits two bytes earlier.
    const std::uint8_t* at = reply + (hasStatus ? 2 : 0);
    DetectionParams read;
    for (const ModuleParams::ParameterInfo& field : ModuleParams::Table()) {
        std::int32_t raw = 0;
        switch (field.kind) {
        case ModuleParams::ParameterKind::U8: raw = std::int32_t(U8(at)); at += 1; break;
        case ModuleParams::ParameterKind::U16: raw = std::int32_t(U16(at)); at += 2; break;
        case ModuleParams::ParameterKind::I32:
        case ModuleParams::ParameterKind::F32: raw = std::int32_t(U32(at)); at += 4; break;
        }
        // A float's bits go into the field as they are.
        ModuleParams::WriteRaw(read, field, raw);
    }
    *target = read;
    return 0;
}
