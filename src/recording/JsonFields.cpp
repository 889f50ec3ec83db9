#include "JsonFields.h"

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
