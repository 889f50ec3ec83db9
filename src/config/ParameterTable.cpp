#include "ParameterTable.h"

#include <bit>
#include <limits>

namespace ModuleParams {

namespace {

constexpr std::int64_t kI32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kI32Max = std::numeric_limits<std::int32_t>::max();

using P = DetectionParams;

using U = ParameterUnit;

constexpr ParameterInfo U16(std::uint16_t id, const char* name, std::int32_t P::*field, std::int32_t byDefault, U unit)
{
    return {id, name, ParameterKind::U16, 0, 0xFFFF, field, nullptr, byDefault, 0.0f, unit};
}
constexpr ParameterInfo U8(std::uint16_t id, const char* name, std::int32_t P::*field, std::int32_t byDefault, U unit)
{
    return {id, name, ParameterKind::U8, 0, 0xFF, field, nullptr, byDefault, 0.0f, unit};
}
constexpr ParameterInfo I32(std::uint16_t id, const char* name, std::int32_t P::*field, std::int32_t byDefault, U unit)
{
    return {id, name, ParameterKind::I32, kI32Min, kI32Max, field, nullptr, byDefault, 0.0f, unit};
}
constexpr ParameterInfo F32(std::uint16_t id, const char* name, float P::*field, float byDefault)
{
    return {id, name, ParameterKind::F32, 0, 0, nullptr, field, 0, byDefault, U::None};
}

// The widths and identifiers of the read-parameters reply and the set-parameters
// command, and the module's power-up defaults.
constexpr std::array<ParameterInfo, kParameterCount> kTable{{
    U16(0, "nMotionRangeMax", &P::nMotionRangeMax, 717, U::Centimetres),
    U16(1, "nMotionRangeMin", &P::nMotionRangeMin, 30, U::Centimetres),
    U16(2, "nMotionlessRangeMax", &P::nMotionlessRangeMax, 425, U::Centimetres),
    U16(3, "nMotionlessRangeMin", &P::nMotionlessRangeMin, 30, U::Centimetres),
    U16(4, "nOffTime", &P::nOffTime, 20, U::HundredMs),
    F32(5, "fMotionNearEndCoef", &P::fMotionNearEndCoef, 40.0f),
    F32(6, "fMotionFarEndCoef", &P::fMotionFarEndCoef, 6.0f),
    F32(7, "fMotionlessNearEndCoef", &P::fMotionlessNearEndCoef, 40.0f),
    F32(8, "fMotionlessFarEndCoef", &P::fMotionlessFarEndCoef, 9.0f),
    U8(9, "nMotionIIR", &P::nMotionIIR, 2, U::None),
    U8(10, "nMotionlessIIR", &P::nMotionlessIIR, 8, U::None),
    U8(11, "nMotionWindowRange", &P::nMotionWindowRange, 5, U::Frames),
    U8(12, "nMotionlessWindowRange", &P::nMotionlessWindowRange, 10, U::Frames),
    F32(13, "fKalman1", &P::fKalman1, 0.5f),
    F32(14, "fKalman2", &P::fKalman2, 0.5f),
    // Nearest 32-bit floats to 0.85 and 0.15, as the module stores them.
    F32(15, "fKalman3", &P::fKalman3, 0.85f),
    F32(16, "fKalman4", &P::fKalman4, 0.15f),
    I32(17, "nDistanceCalibration", &P::nDistanceCalibration, 0, U::Centimetres),
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
            list[RecordIndex(field)] = &field;
        return list;
    }();
    return ordered;
}

std::size_t RecordIndex(const ParameterInfo& field)
{
    return OffsetOf(field) / sizeof(std::int32_t);
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
