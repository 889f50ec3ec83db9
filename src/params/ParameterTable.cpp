#include "ParameterTable.h"

#include <bit>
#include <limits>

namespace ModuleParams {

namespace {

constexpr std::int64_t kI32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kI32Max = std::numeric_limits<std::int32_t>::max();

using P = DetectionParams;

constexpr ParameterInfo U16(std::uint16_t id, const char* name, std::int32_t P::*field)
{
    return {id, name, ParameterKind::U16, 0, 0xFFFF, field, nullptr};
}
constexpr ParameterInfo U8(std::uint16_t id, const char* name, std::int32_t P::*field)
{
    return {id, name, ParameterKind::U8, 0, 0xFF, field, nullptr};
}
constexpr ParameterInfo F32(std::uint16_t id, const char* name, float P::*field)
{
    return {id, name, ParameterKind::F32, 0, 0, nullptr, field};
}

// The widths and identifiers of the read-parameters reply and the set-parameters command.
const std::array<ParameterInfo, kParameterCount> kTable{{
    U16(0, "nMotionRangeMax", &P::nMotionRangeMax),
    U16(1, "nMotionRangeMin", &P::nMotionRangeMin),
    U16(2, "nMotionlessRangeMax", &P::nMotionlessRangeMax),
    U16(3, "nMotionlessRangeMin", &P::nMotionlessRangeMin),
    U16(4, "nOffTime", &P::nOffTime),
    F32(5, "fMotionNearEndCoef", &P::fMotionNearEndCoef),
    F32(6, "fMotionFarEndCoef", &P::fMotionFarEndCoef),
    F32(7, "fMotionlessNearEndCoef", &P::fMotionlessNearEndCoef),
    F32(8, "fMotionlessFarEndCoef", &P::fMotionlessFarEndCoef),
    U8(9, "nMotionIIR", &P::nMotionIIR),
    U8(10, "nMotionlessIIR", &P::nMotionlessIIR),
    U8(11, "nMotionWindowRange", &P::nMotionWindowRange),
    U8(12, "nMotionlessWindowRange", &P::nMotionlessWindowRange),
    F32(13, "fKalman1", &P::fKalman1),
    F32(14, "fKalman2", &P::fKalman2),
    F32(15, "fKalman3", &P::fKalman3),
    F32(16, "fKalman4", &P::fKalman4),
    {17, "nDistanceCalibration", ParameterKind::I32, kI32Min, kI32Max, &P::nDistanceCalibration, nullptr},
}};

// Where each field lies in the record, to list them in record order.
std::size_t OffsetOf(const ParameterInfo& field)
{
    static const DetectionParams probe;
    const void* at = field.integer ? static_cast<const void*>(&(probe.*field.integer))
                                   : static_cast<const void*>(&(probe.*field.real));
    return std::size_t(static_cast<const char*>(at) - reinterpret_cast<const char*>(&probe));
}

}  // namespace

const std::array<ParameterInfo, kParameterCount>& Table()
{
    return kTable;
}

const std::array<const ParameterInfo*, kParameterCount>& InRecordOrder()
{
    static const std::array<const ParameterInfo*, kParameterCount> ordered = [] {
        std::array<const ParameterInfo*, kParameterCount> list{};
        for (const ParameterInfo& field : kTable)
            list[OffsetOf(field) / sizeof(std::int32_t)] = &field;
        return list;
    }();
    return ordered;
}

const ParameterInfo* FindParameter(std::string_view name)
{
    for (const ParameterInfo& field : kTable) {
        if (name == field.name)
            return &field;
    }
    return nullptr;
}

const ParameterInfo* FindParameter(std::uint16_t id)
{
    return id < kParameterCount ? &kTable[id] : nullptr;
}

std::string ParameterNames()
{
    std::string names;
    for (const ParameterInfo* field : InRecordOrder()) {
        if (!names.empty())
            names += ", ";
        names += field->name;
    }
    return names;
}

const char* KindName(ParameterKind kind)
{
    switch (kind) {
    case ParameterKind::U16: return "U16";
    case ParameterKind::U8: return "U8";
    case ParameterKind::I32: return "I32";
    case ParameterKind::F32: return "F32";
    }
    return "?";
}

std::int32_t ReadRaw(const DetectionParams& params, const ParameterInfo& field)
{
    return field.integer ? params.*field.integer : std::bit_cast<std::int32_t>(params.*field.real);
}

void WriteRaw(DetectionParams& params, const ParameterInfo& field, std::int32_t raw)
{
    if (field.integer)
        params.*field.integer = raw;
    else
        params.*field.real = std::bit_cast<float>(raw);
}

bool RawInRange(const ParameterInfo& field, std::int32_t raw)
{
    return field.kind == ParameterKind::F32 || (raw >= field.min && raw <= field.max);
}

}  // namespace ModuleParams
