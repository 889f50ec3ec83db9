#include "JsonFields.h"

#include <cfloat>
#include <cmath>
#include <limits>

bool ReadIntegerField(const CJsonObjectLine& line, std::string_view key, bool required, std::int64_t min,
                      std::int64_t max, std::int64_t& value, std::string& error)
{
    const JsonMember* member = line.Find(key);
    if (!member) {
        if (required)
            error = "\"" + std::string(key) + "\" is missing";
        return !required;
    }
    if (member->type != JsonType::Integer) {
        error = "\"" + std::string(key) + "\" is not an integer";
        return false;
    }
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
    const JsonMember* member = line.Find(key);
    if (!member) {
        if (required)
            error = "\"" + std::string(key) + "\" is missing";
        return !required;
    }
    if (member->type != JsonType::String) {
        error = "\"" + std::string(key) + "\" is not a string";
        return false;
    }
    value = member->text;
    return true;
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
