#include "ParameterSnapshot.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cfloat>
#include <cmath>
#include <limits>

#include "DetectionParamsJson.h"
#include "JsonFields.h"
#include "JsonObjectLine.h"
#include "JsonText.h"
#include "ParameterTable.h"
#include "UtcTime.h"

namespace ModuleParams {

namespace {

constexpr std::array<const char*, 8> kMembers = {"format",   "version",  "saved_utc",    "firmware",
                                                 "port",     "identity", "tool_version", "parameters"};

void AppendMember(std::string& out, const char* key)
{
    out += "  ";
    AppendJsonString(out, key);
    out += ": ";
}

// "expected ',' or '}' at line 4, column 12": the parser counts bytes of the whole text.
std::string SyntaxError(const CJsonObjectLine& json, std::string_view text)
{
    std::string what = json.Error();
    if (const std::size_t at = what.rfind(" at column "); at != std::string::npos)
        what.resize(at);
    const std::size_t offset = std::min(json.ErrorOffset(), text.size());
    std::size_t line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    const std::size_t column = offset - lineStart + 1;
    return "not a parameter snapshot: " + what + " at line " + std::to_string(line) + ", column " +
           std::to_string(column);
}

bool ReadFloat(const JsonMember& member, const ParameterInfo& field, float& value, std::string& error)
{
    const std::string name = std::string("parameter ") + field.name;
    switch (ReadJsonFloat(member, value)) {
    case JsonFloatRead::Ok:
        return true;
    case JsonFloatRead::NotANumber:
        error = name + " is not a number" +
                (member.type == JsonType::String ? " (\"" + member.text + "\")" : std::string());
        return false;
    case JsonFloatRead::TooLarge:
        error = name + " is beyond what a 32-bit float holds";
        return false;
    }
    return false;
}

bool ReadParameters(const CJsonObjectLine& json, DetectionParams& params, std::string& error)
{
    const JsonMember* object = json.Find("parameters");
    if (!object || object->type != JsonType::Object) {
        error = object ? "\"parameters\" is not an object" : "\"parameters\" is missing";
        return false;
    }
    const auto members = json.Children(*object);
    for (const JsonMember& member : members) {
        if (!FindParameter(std::string_view(member.key))) {
            error = "unknown parameter \"" + member.key + "\"";
            return false;
        }
    }
    DetectionParams read;
    for (const ParameterInfo* field : InRecordOrder()) {
        const JsonMember* member = CJsonObjectLine::FindIn(members, field->name);
        const std::string name = std::string("parameter ") + field->name;
        if (!member) {
            error = name + " is missing";
            return false;
        }
        if (field->kind == ParameterKind::F32) {
            if (!ReadFloat(*member, *field, read.*field->real, error))
                return false;
            continue;
        }
        if (member->type != JsonType::Integer) {
            error = name + " is not a whole number";
            return false;
        }
        if (member->integer < field->min || member->integer > field->max) {
            error = name + ": " + std::to_string(member->integer) + " is outside " + std::to_string(field->min) +
                    " to " + std::to_string(field->max);
            return false;
        }
        read.*field->integer = std::int32_t(member->integer);
    }
    params = read;
    return true;
}

}  // namespace

std::string FormatSnapshot(const ParameterSnapshot& snapshot)
{
    std::string out = "{\n";
    const auto text = [&out](const char* key, std::string_view value) {
        AppendMember(out, key);
        AppendJsonString(out, value);
        out += ",\n";
    };
    text("format", kSnapshotFormat);
    AppendMember(out, "version");
    AppendJsonInteger(out, kSnapshotVersion);
    out += ",\n";
    text("saved_utc", snapshot.savedUtc);
    text("firmware", snapshot.firmware);
    text("port", snapshot.port);
    text("identity", snapshot.identity);
    text("tool_version", snapshot.toolVersion);
    AppendMember(out, "parameters");
    out += "{\n";
    const auto& fields = InRecordOrder();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const ParameterInfo& field = *fields[i];
        out += "  ";
        AppendMember(out, field.name);
        if (field.integer)
            AppendJsonInteger(out, snapshot.parameters.*field.integer);
        else
            AppendJsonFloat(out, snapshot.parameters.*field.real);
        out += i + 1 < fields.size() ? ",\n" : "\n";
    }
    out += "  }\n}\n";
    return out;
}

bool ParseSnapshot(std::string_view text, ParameterSnapshot& snapshot, std::string& error)
{
    CJsonObjectLine json;
    if (!json.Parse(text)) {
        error = SyntaxError(json, text);
        return false;
    }
    const JsonMember* format = json.Find("format");
    if (!format || format->type != JsonType::String || format->text != kSnapshotFormat) {
        error = std::string("not a parameter snapshot (it lacks \"format\": \"") + kSnapshotFormat + "\")";
        return false;
    }
    const JsonMember* version = json.Find("version");
    if (!version || version->type != JsonType::Integer) {
        error = version ? "\"version\" is not a whole number" : "\"version\" is missing";
        return false;
    }
    if (version->integer != kSnapshotVersion) {
        error = "snapshot version " + std::to_string(version->integer) + " is not one this tool reads (" +
                std::to_string(kSnapshotVersion) + ")";
        return false;
    }
    for (const JsonMember& member : json.Members()) {
        if (std::find(kMembers.begin(), kMembers.end(), std::string_view(member.key)) == kMembers.end()) {
            error = "unknown member \"" + member.key + "\"";
            return false;
        }
    }
    ParameterSnapshot read;
    if (!ReadStringField(json, "saved_utc", true, read.savedUtc, error) ||
        !ReadStringField(json, "firmware", true, read.firmware, error) ||
        !ReadStringField(json, "port", true, read.port, error) ||
        !ReadStringField(json, "identity", true, read.identity, error) ||
        !ReadStringField(json, "tool_version", true, read.toolVersion, error))
        return false;
    if (!ParseUtcTimestampMs(read.savedUtc)) {
        error = "\"saved_utc\" is not a UTC time like 2026-12-10T11:53:21.123Z";
        return false;
    }
    if (!ReadParameters(json, read.parameters, error))
        return false;
    snapshot = read;
    return true;
}

}  // namespace ModuleParams
