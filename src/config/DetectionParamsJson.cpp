#include "DetectionParamsJson.h"

#include <cstdint>
#include <limits>
#include "JsonText.h"
#include "ParameterTable.h"

using ModuleParams::ParameterInfo;

void AppendParametersJson(std::string& out, const DetectionParams& params)
{
    out += '{';
    bool first = true;
    for (const ParameterInfo* field : ModuleParams::InRecordOrder()) {
        if (!first)
            out += ',';
        first = false;
        out += '"';
        out += field->name;
        out += "\":";
        if (field->integer)
            AppendJsonInteger(out, params.*field->integer);
        else
            AppendJsonFloat(out, params.*field->real);
    }
    out += '}';
}

bool ReadParametersJson(std::span<const JsonMember> members, DetectionParams& params, std::string& error)
{
    for (const ParameterInfo* field : ModuleParams::InRecordOrder()) {
        const JsonMember* member = CJsonObjectLine::FindIn(members, field->name);
        if (!member)
            continue;
        if (field->integer) {
            const bool fits = member->type == JsonType::Integer &&
                              member->integer >= std::numeric_limits<std::int32_t>::min() &&
                              member->integer <= std::numeric_limits<std::int32_t>::max();
            if (!fits) {
                error = std::string("parameter ") + field->name + " is not a 32-bit integer";
                return false;
            }
            params.*field->integer = std::int32_t(member->integer);
        } else if (ReadJsonFloat(*member, params.*field->real) != JsonFloatRead::Ok) {
            error = std::string("parameter ") + field->name + " is not a 32-bit float";
            return false;
        }
    }
    return true;
}
