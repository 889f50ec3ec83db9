#pragma once
// The module's 18 detection parameters as one typed table: identifier, attribute name,
// kind, range, power-up default and unit of every field, and access to a DetectionParams
// field as the raw i32 the set-parameters command carries. The settings file, the
// read-parameters reply, the JSON form, the dialogs and radarcli all read the fields from
// here. The table is constant: any thread may read it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "DetectionParams.h"

namespace ModuleParams {

// How the module holds a field (its width in the read-parameters reply).
enum class ParameterKind { U16, U8, I32, F32 };

// What a field's value counts, for the operator's eye.
enum class ParameterUnit { None, Centimetres, HundredMs, Frames };

struct ParameterInfo {
    std::uint16_t id;        // set-parameters identifier, also the field's place in the reply
    const char* name;        // attribute name in appConfig.xml and DetectionParams
    ParameterKind kind;
    std::int64_t min;        // integer kinds: the values the field holds; F32: unused
    std::int64_t max;
    std::int32_t DetectionParams::*integer;  // exactly one of integer and real is set
    float DetectionParams::*real;
    std::int32_t defaultInteger;  // the module's power-up value, of whichever kind it is
    float defaultReal;
    ParameterUnit unit;
};

constexpr std::size_t kParameterCount = 18;
// Identifiers 0 to 4 are settable by every module; 5 to 17 need protocol version 2.
constexpr std::uint16_t kHighestBasicId = 4;
constexpr int kAllParametersProtocolVersion = 2;

// The 18 fields in the order of the read-parameters reply, which is identifier order:
// Table()[id].id == id.
const std::array<ParameterInfo, kParameterCount>& Table();
// The same fields in the order of DetectionParams (and of appConfig.xml).
const std::array<const ParameterInfo*, kParameterCount>& InRecordOrder();
// The field's place in DetectionParams: its byte offset is RecordIndex * 4.
std::size_t RecordIndex(const ParameterInfo& field);
// The field named exactly so, or null.
const ParameterInfo* FindParameter(std::string_view name);
// The field with this identifier, or null beyond 17.
const ParameterInfo* FindParameter(std::uint16_t id);
// "nMotionlessRangeMin, nMotionlessRangeMax, ...": every name in record order, for messages.
std::string ParameterNames();
// "U16", "U8", "I32", "F32".
const char* KindName(ParameterKind kind);

// The field's value as the set-parameters command carries it: an integer as it is, a
// float as its IEEE-754 bits.
std::int32_t ReadRaw(const DetectionParams& params, const ParameterInfo& field);
void WriteRaw(DetectionParams& params, const ParameterInfo& field, std::int32_t raw);

// True when raw lies in the field's range (integers); any bits for a float.
bool RawInRange(const ParameterInfo& field, std::int32_t raw);

}  // namespace ModuleParams
