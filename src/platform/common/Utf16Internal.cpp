#include "Utf16Internal.h"

#include "Utf8Append.h"

namespace vetra_common_internal {

std::size_t U16Length(const char16_t* text)
{
    std::size_t n = 0;
    if (text)
        while (text[n])
            ++n;
    return n;
}

std::string Utf16ToUtf8(const char16_t* text, std::size_t length)
{
    std::string out;
    if (!text)
        return out;
    out.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, std::uint32_t(c));
    }
    return out;
}

std::u16string Utf8ToUtf16(const char* text, std::size_t length)
{
    std::u16string out;
    if (!text)
        return out;
    out.reserve(length);
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    std::size_t i = 0;
    while (i < length) {
        const unsigned char b = s[i];
        char32_t c = 0xFFFD;
        std::size_t need = 0;
        char32_t min = 0;
        if (b < 0x80) {
            c = b;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F; need = 1; min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F; need = 2; min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07; need = 3; min = 0x10000;
        }
        ++i;
        if (b >= 0x80 && need == 0) {
            c = 0xFFFD;
        } else if (need > 0) {
            std::size_t k = 0;
            for (; k < need && i < length && (s[i] & 0xC0) == 0x80; ++k, ++i)
                c = (c << 6) | (s[i] & 0x3F);
            if (k < need || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
                c = 0xFFFD;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out += char16_t(0xD800 + (c >> 10));
            out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

}  // namespace vetra_common_internal
