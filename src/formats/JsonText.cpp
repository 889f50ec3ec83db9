#include "JsonText.h"

#include <charconv>
#include <cmath>

namespace {
constexpr char kHexDigits[] = "0123456789abcdef";
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";
}  // namespace

void AppendJsonString(std::string& out, std::string_view text)
{
    out += '"';
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = bytes[i];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out += kHexDigits[c >> 4];
            out += kHexDigits[c & 0x0F];
            ++i;
        } else if (c < 0x80) {
            out += char(c);
            ++i;
        } else if (const std::size_t n = Utf8SequenceLength(bytes + i, text.size() - i); n > 0) {
            out.append(text.data() + i, n);
            i += n;
        } else {
            out += kReplacementCharacter;
            ++i;
        }
    }
    out += '"';
}

void AppendJsonInteger(std::string& out, std::int64_t value)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

void AppendJsonFloat(std::string& out, float value)
{
    if (std::isnan(value)) {
        out += "\"NaN\"";
    } else if (std::isinf(value)) {
        out += value > 0 ? "\"Infinity\"" : "\"-Infinity\"";
    } else {
        // to_chars ignores the locale and gives the shortest text that round-trips.
        char digits[32];
        const auto result = std::to_chars(digits, digits + sizeof digits, value);
        out.append(digits, result.ptr);
    }
}

std::size_t Utf8SequenceLength(const unsigned char* bytes, std::size_t available)
{
    if (available == 0)
        return 0;
    const unsigned char lead = bytes[0];
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    std::uint32_t lowest = 0;
    std::uint32_t code = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        lowest = 0x80;
        code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        lowest = 0x800;
        code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        lowest = 0x10000;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (available < length)
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((bytes[k] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (bytes[k] & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (code < lowest || surrogate || code > 0x10FFFF)
        return 0;
    return length;
}
