#include "JsonObjectLine.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include "JsonText.h"
#include "Utf8Append.h"

namespace {
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A byte that stands for itself inside a JSON string: printable ASCII but the quote
// and the backslash.
bool IsPlainStringByte(unsigned char c)
{
    return c >= 0x20 && c < 0x80 && c != '"' && c != '\\';
}

// Fewer decimal digits than this never overflow a signed 64-bit integer.
constexpr std::size_t kSafeIntegerDigits = 19;
}  // namespace

bool CJsonObjectLine::Parse(std::string_view line)
{
    m_text = line;
    m_pos = 0;
    m_error.clear();
    m_memberCount = 0;
    m_childCount = 0;
    SkipSpace();
    if (!ParseObject(false))
        return false;
    SkipSpace();
    if (m_pos != m_text.size())
        return Fail("text after the object");
    return true;
}

std::span<const JsonMember> CJsonObjectLine::Children(const JsonMember& object) const
{
    if (object.type != JsonType::Object || object.firstChild + object.childCount > m_childCount)
        return {};
    return std::span<const JsonMember>(m_children).subspan(object.firstChild, object.childCount);
}

const JsonMember* CJsonObjectLine::FindIn(std::span<const JsonMember> members, std::string_view key)
{
    for (const JsonMember& member : members) {
        // The size first: most keys differ in it, and then no bytes need comparing.
        if (member.key.size() == key.size() && std::memcmp(member.key.data(), key.data(), key.size()) == 0)
            return &member;
    }
    return nullptr;
}

JsonMember& CJsonObjectLine::FreshSlot(std::vector<JsonMember>& list, std::size_t used)
{
    if (used == list.size())
        return list.emplace_back();
    JsonMember& member = list[used];
    member.key.clear();
    member.type = JsonType::Integer;
    member.text.clear();
    member.integer = 0;
    member.number = 0.0;
    member.boolean = false;
    member.firstChild = 0;
    member.childCount = 0;
    return member;
}

bool CJsonObjectLine::ParseObject(bool nested)
{
    if (m_pos >= m_text.size() || m_text[m_pos] != '{')
        return Fail(nested ? "expected '{'" : "the line is not a JSON object");
    ++m_pos;
    // Objects nest one level deep, so a nested object's members are parsed straight
    // to the end of the nested list and lie there together.
    std::vector<JsonMember>& into = nested ? m_children : m_members;
    std::size_t& used = nested ? m_childCount : m_memberCount;
    const std::size_t first = used;
    SkipSpace();
    if (m_pos < m_text.size() && m_text[m_pos] == '}') {
        ++m_pos;
        return true;
    }
    for (;;) {
        SkipSpace();
        if (m_pos >= m_text.size() || m_text[m_pos] != '"')
            return Fail("expected a key in quotes");
        const std::size_t keyColumn = m_pos;
        JsonMember& member = FreshSlot(into, used);
        if (!ParseString(member.key))
            return false;
        for (std::size_t k = first; k < used; ++k) {
            if (into[k].key == member.key) {
                m_pos = keyColumn;
                return Fail("duplicate key");
            }
        }
        SkipSpace();
        if (m_pos >= m_text.size() || m_text[m_pos] != ':')
            return Fail("expected ':'");
        ++m_pos;
        SkipSpace();
        if (!ParseValue(member, nested))
            return false;
        ++used;
        SkipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == ',') {
            ++m_pos;
            continue;
        }
        if (m_pos < m_text.size() && m_text[m_pos] == '}') {
            ++m_pos;
            return true;
        }
        return Fail("expected ',' or '}'");
    }
}

bool CJsonObjectLine::ParseValue(JsonMember& member, bool nested)
{
    if (m_pos >= m_text.size())
        return Fail("expected a value");
    const char c = m_text[m_pos];
    if (c == '"') {
        member.type = JsonType::String;
        return ParseString(member.text);
    }
    if (c == '-' || IsDigit(c))
        return ParseNumber(member);
    if (c == 't' || c == 'f') {
        member.type = JsonType::Bool;
        member.boolean = c == 't';
        return ParseLiteral(c == 't' ? "true" : "false");
    }
    if (c == '{') {
        if (nested)
            return Fail("objects nest one level deep at most");
        const std::size_t firstChild = m_childCount;
        if (!ParseObject(true))
            return false;
        member.type = JsonType::Object;
        member.firstChild = firstChild;
        member.childCount = m_childCount - firstChild;
        return true;
    }
    if (c == '[')
        return Fail("arrays are not accepted");
    if (c == 'n')
        return Fail("null is not accepted");
    return Fail("expected a value");
}

bool CJsonObjectLine::ParseString(std::string& out)
{
    ++m_pos;  // the opening quote
    const auto* bytes = reinterpret_cast<const unsigned char*>(m_text.data());
    const std::size_t size = m_text.size();
    while (m_pos < size) {
        // Plain printable ASCII, nearly all a recording's text, goes over in one piece;
        // the scan runs on a local position, which the appends cannot disturb.
        std::size_t plainEnd = m_pos;
        while (plainEnd < size && IsPlainStringByte(bytes[plainEnd]))
            ++plainEnd;
        if (plainEnd != m_pos) {
            out.append(m_text.data() + m_pos, plainEnd - m_pos);
            m_pos = plainEnd;
            if (m_pos == size)
                break;
        }
        const unsigned char c = bytes[m_pos];
        if (c == '"') {
            ++m_pos;
            return true;
        }
        if (c < 0x20)
            return Fail("control character inside a string");
        if (c == '\\') {
            if (m_pos + 1 >= m_text.size())
                return Fail("string cut off after a backslash");
            const char e = m_text[m_pos + 1];
            m_pos += 2;
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u':
                if (!ParseUnicodeEscape(out))
                    return false;
                break;
            default:
                m_pos -= 2;
                return Fail("unknown escape in a string");
            }
            continue;
        }
        const std::size_t n = Utf8SequenceLength(bytes + m_pos, m_text.size() - m_pos);
        if (n == 0)
            return Fail("invalid UTF-8 inside a string");
        out.append(m_text.data() + m_pos, n);
        m_pos += n;
    }
    return Fail("string not closed");
}

bool CJsonObjectLine::ParseUnicodeEscape(std::string& out)
{
    std::uint32_t code = 0;
    if (!ParseHex4(code))
        return false;
    if (code >= 0xDC00 && code <= 0xDFFF)
        return Fail("lone low surrogate in a \\u escape");
    if (code >= 0xD800 && code <= 0xDBFF) {
        // A character above U+FFFF comes as a surrogate pair of two escapes.
        if (m_pos + 1 >= m_text.size() || m_text[m_pos] != '\\' || m_text[m_pos + 1] != 'u')
            return Fail("high surrogate without its low half");
        m_pos += 2;
        std::uint32_t low = 0;
        if (!ParseHex4(low))
            return false;
        if (low < 0xDC00 || low > 0xDFFF)
            return Fail("high surrogate without its low half");
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    }
    AppendUtf8(out, code);
    return true;
}

bool CJsonObjectLine::ParseHex4(std::uint32_t& code)
{
    if (m_text.size() - m_pos < 4)
        return Fail("\\u escape cut off");
    code = 0;
    for (int k = 0; k < 4; ++k) {
        const char c = m_text[m_pos];
        std::uint32_t digit = 0;
        if (IsDigit(c))
            digit = std::uint32_t(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = std::uint32_t(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = std::uint32_t(c - 'A' + 10);
        else
            return Fail("bad hex digit in a \\u escape");
        code = (code << 4) | digit;
        ++m_pos;
    }
    return true;
}

bool CJsonObjectLine::ParseNumber(JsonMember& member)
{
    // JSON's grammar exactly: -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
    // Scanned on a local position (the member's stores might otherwise alias it).
    const char* const text = m_text.data();
    const std::size_t size = m_text.size();
    const std::size_t start = m_pos;
    std::size_t pos = m_pos;
    const auto fail = [this, &pos](const char* what) {
        m_pos = pos;
        return Fail(what);
    };
    if (text[pos] == '-')
        ++pos;
    if (pos >= size || !IsDigit(text[pos]))
        return fail("bad number");
    if (text[pos] == '0' && pos + 1 < size && IsDigit(text[pos + 1]))
        return fail("number with a leading zero");
    while (pos < size && IsDigit(text[pos]))
        ++pos;
    bool integral = true;
    if (pos < size && text[pos] == '.') {
        integral = false;
        ++pos;
        if (pos >= size || !IsDigit(text[pos]))
            return fail("bad fraction in a number");
        while (pos < size && IsDigit(text[pos]))
            ++pos;
    }
    if (pos < size && (text[pos] == 'e' || text[pos] == 'E')) {
        integral = false;
        ++pos;
        if (pos < size && (text[pos] == '+' || text[pos] == '-'))
            ++pos;
        if (pos >= size || !IsDigit(text[pos]))
            return fail("bad exponent in a number");
        while (pos < size && IsDigit(text[pos]))
            ++pos;
    }
    m_pos = pos;
    const char* first = text + start;
    const char* last = text + pos;
    if (integral) {
        member.type = JsonType::Integer;
        const bool negative = *first == '-';
        if (std::size_t(last - first) - (negative ? 1 : 0) < kSafeIntegerDigits) {
            std::int64_t value = 0;
            for (const char* digit = first + (negative ? 1 : 0); digit != last; ++digit)
                value = value * 10 + (*digit - '0');
            member.integer = negative ? -value : value;
            member.number = value == 0 && negative ? -0.0 : double(member.integer);
            return true;
        }
        const auto result = std::from_chars(first, last, member.integer);
        if (result.ec != std::errc() || result.ptr != last) {
            m_pos = start;
            return Fail("integer out of the 64-bit range");
        }
        // "-0" is how a float's negative zero is written: keep its sign for float readers.
        member.number = member.integer == 0 && *first == '-' ? -0.0 : double(member.integer);
        return true;
    }
    member.type = JsonType::Float;
    // from_chars reads the same under every locale. Numbers beyond a double (either way)
    // are refused: the tool never writes them.
    const auto result = std::from_chars(first, last, member.number);
    if (result.ec != std::errc() || result.ptr != last || !std::isfinite(member.number)) {
        m_pos = start;
        return Fail("number out of range");
    }
    return true;
}

bool CJsonObjectLine::ParseLiteral(std::string_view literal)
{
    if (m_text.substr(m_pos, literal.size()) != literal)
        return Fail("expected a value");
    m_pos += literal.size();
    return true;
}

void CJsonObjectLine::SkipSpace()
{
    const char* const text = m_text.data();
    const std::size_t size = m_text.size();
    std::size_t pos = m_pos;
    while (pos < size && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r' || text[pos] == '\n'))
        ++pos;
    m_pos = pos;
}

bool CJsonObjectLine::Fail(const char* what)
{
    m_error = std::string(what) + " at column " + std::to_string(m_pos + 1);
    return false;
}
