#include "JsonFields.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

// The member under key when it is of this type. Null otherwise: then ok says whether
// that is fine (absent and not required), and error names the key when it is not.
const JsonMember* FindTyped(const CJsonObjectLine& line, std::string_view key, bool required, JsonType type,
                            const char* typeText, bool& ok, std::string& error)
{
    const JsonMember* member = line.Find(key);
    ok = member ? member->type == type : !required;
    if (!member && required)
        error = "\"" + std::string(key) + "\" is missing";
    else if (member && !ok)
        error = "\"" + std::string(key) + "\" is not " + typeText;
    return ok ? member : nullptr;
}

}  // namespace

bool ReadIntegerField(const CJsonObjectLine& line, std::string_view key, bool required, std::int64_t min,
                      std::int64_t max, std::int64_t& value, std::string& error)
{
    bool ok = false;
    const JsonMember* member = FindTyped(line, key, required, JsonType::Integer, "an integer", ok, error);
    if (!member)
        return ok;
    if (member->integer < min || member->integer > max) {
        error = "\"" + std::string(key) + "\" is out of range (" + std::to_string(member->integer) + ")";
        return false;
    }
    value = member->integer;
    return true;
}

bool ReadStringField(const CJsonObjectLine& line, std::string_view key, bool required, std::string& value,
                     std::string& error)
{
    bool ok = false;
    const JsonMember* member = FindTyped(line, key, required, JsonType::String, "a string", ok, error);
    if (member)
        value = member->text;
    return ok;
}

JsonFloatRead ReadJsonFloat(const JsonMember& member, float& value)
{
    if (member.type == JsonType::String) {
        if (member.text == "NaN")
            value = std::numeric_limits<float>::quiet_NaN();
        else if (member.text == "Infinity")
            value = std::numeric_limits<float>::infinity();
        else if (member.text == "-Infinity")
            value = -std::numeric_limits<float>::infinity();
        else
            return JsonFloatRead::NotANumber;
        return JsonFloatRead::Ok;
    }
    if (member.type != JsonType::Integer && member.type != JsonType::Float)
        return JsonFloatRead::NotANumber;
    if (std::fabs(member.number) > double(FLT_MAX))
        return JsonFloatRead::TooLarge;
    // The shortest decimal of a float, as the writers give it, reads back to exactly that float.
    value = float(member.number);
    return JsonFloatRead::Ok;
}
