#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The kinds of value a JSON line of a user's file may hold. Arrays and null are refused.
enum class JsonType { String, Integer, Float, Bool, Object };

// One "key": value of a parsed line.
struct JsonMember {
    std::string key;
    JsonType type = JsonType::Integer;
    std::string text;            // String: unescaped UTF-8
    std::int64_t integer = 0;    // Integer: a number without fraction or exponent
    double number = 0.0;         // Float, and Integer as a double
    bool boolean = false;        // Bool
    std::size_t firstChild = 0;  // Object: where its members start in the nested list
    std::size_t childCount = 0;
};

// A strict parser for one line of a JSON Lines file: a single object whose values are
// strings, integers, floats, booleans, or objects of those (one level deep). Duplicate
// keys, invalid UTF-8, bad escapes, integers beyond 64 bits and any text after the
// object are refused with the column where it went wrong. Reused line after line: the
// members of earlier lines are kept and overwritten, so once a line of a shape has
// been read, the next ones of that shape allocate nothing.
class CJsonObjectLine {
public:
    // True when line is one such object; otherwise Error() says what and where.
    bool Parse(std::string_view line);
    const std::string& Error() const { return m_error; }
    // The byte offset into the text where Error() points (its column less one), for
    // text that spans several lines.
    std::size_t ErrorOffset() const { return m_pos; }

    // The top-level members in line order (valid until the next Parse).
    std::span<const JsonMember> Members() const { return {m_members.data(), m_memberCount}; }
    // The members of an Object member.
    std::span<const JsonMember> Children(const JsonMember& object) const;

    // The top-level member with this key, or null.
    const JsonMember* Find(std::string_view key) const { return FindIn(Members(), key); }
    static const JsonMember* FindIn(std::span<const JsonMember> members, std::string_view key);

private:
    bool ParseObject(bool nested);
    // The next free member of the list, emptied; counted only once its value is read.
    static JsonMember& FreshSlot(std::vector<JsonMember>& list, std::size_t used);
    bool ParseValue(JsonMember& member, bool nested);
    bool ParseString(std::string& out);
    bool ParseUnicodeEscape(std::string& out);
    bool ParseHex4(std::uint32_t& code);
    bool ParseNumber(JsonMember& member);
    bool ParseLiteral(std::string_view literal);
    void SkipSpace();
    bool Fail(const char* what);

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::string m_error;
    // Members in use are the first m_memberCount (m_childCount); those after them are
    // kept from earlier lines for their strings' storage.
    std::vector<JsonMember> m_members;
    std::vector<JsonMember> m_children;
    std::size_t m_memberCount = 0;
    std::size_t m_childCount = 0;
};
