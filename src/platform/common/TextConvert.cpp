#include "TextConvert.h"

#include <locale.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "CLocaleFormat.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Whole-text integer: [+-] then decimal digits or 0x/0X hex digits.
// Out-of-range values clamp to INT32_MIN / INT32_MAX (by their mathematical value, so 0xFFFFFFFF gives INT32_MAX).
bool ParseInt32(const std::string& s, std::int32_t* value)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    int base = 10;
    if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size())
        return false;
    constexpr std::uint64_t kLimit = std::uint64_t(INT32_MAX) + 1;  // enough to know it clamps
    std::uint64_t magnitude = 0;
    for (; i < s.size(); ++i) {
        const int d = base == 16 ? HexDigit(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
        if (d < 0)
            return false;
        magnitude = magnitude * std::uint64_t(base) + std::uint64_t(d);
        if (magnitude > kLimit)
            magnitude = kLimit + 1;  // saturate; keeps scanning for invalid characters
    }
    if (negative)
        *value = magnitude >= kLimit ? INT32_MIN : -std::int32_t(magnitude);
    else
        *value = magnitude >= kLimit ? INT32_MAX : std::int32_t(magnitude);
    return true;
}

// strtof syntax, but always with '.' as the decimal point whatever the process locale.
bool ParseFloat32(const std::string& s, float* value)
{
    const locale_t cLocale = CNumbersLocale();
    if (!cLocale)
        return false;
    const char* begin = s.c_str();
    char* end = nullptr;
    errno = 0;
    const float v = strtof_l(begin, &end, cLocale);
    if (end == begin || std::size_t(end - begin) != s.size())
        return false;
    *value = v;  // overflow gives +-HUGE_VALF, underflow a tiny value (ERANGE accepted)
    return true;
}

}  // namespace

int DigtalStringToValue(const char* text, int length, void* target, int kind)
{
    if (!text || !target || length < -1)
        return 0;
    std::size_t n = length == -1 ? std::strlen(text) : std::size_t(length);
    std::size_t first = 0;
    while (first < n && IsBlank(text[first]))
        ++first;
    while (n > first && IsBlank(text[n - 1]))
        --n;
    if (first == n)
        return 0;
    const std::string s(text + first, n - first);
    if (s.find('\0') != std::string::npos)
        return 0;
    if (kind == kDigitalInt32) {
        std::int32_t v = 0;
        if (!ParseInt32(s, &v))
            return 0;
        std::memcpy(target, &v, sizeof v);
        return 1;
    }
    if (kind == kDigitalFloat32) {
        float v = 0;
        if (!ParseFloat32(s, &v))
            return 0;
        std::memcpy(target, &v, sizeof v);
        return 1;
    }
    return 0;
}

char16_t* DevideStringByCharListW(const char16_t* text, int length, const char16_t* separators,
                                  int separatorCount, int flags, CPtrArrayCtrl* pieces, int maxPieces)
{
    if (!text)
        return nullptr;
    std::size_t len = 0;
    if (length < 0) {
        while (text[len])
            ++len;
    } else {
        len = std::size_t(length);
    }
    if (len == 0)
        return nullptr;
    std::size_t sepCount = 0;
    if (separators) {
        if (separatorCount < 0)
            while (separators[sepCount])
                ++sepCount;
        else
            sepCount = std::size_t(separatorCount);
    }
    auto isSeparator = [&](char16_t c) {
        for (std::size_t k = 0; k < sepCount; ++k)
            if (separators[k] == c)
                return true;
        return false;
    };

    // One block: the text with separators replaced by terminators, plus a final one.
    char16_t* block = new char16_t[len + 1];
    std::memcpy(block, text, len * sizeof(char16_t));
    block[len] = 0;
    if (!pieces)
        return block;

    const bool dropEmpty = (flags & 1) != 0;
    const bool limited = maxPieces > 0;
    int added = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= len; ++i) {
        if (limited && added == maxPieces - 1) {
            // The rest goes unsplit into the last piece (empty rests are still pieces unless dropped).
            if (start < len || !dropEmpty)
                pieces->AddData(block + start, -1);
            break;
        }
        if (i < len && !isSeparator(block[i]))
            continue;
        block[i] = 0;
        if (!(dropEmpty && i == start)) {
            pieces->AddData(block + start, -1);
            ++added;
        }
        start = i + 1;
    }
    return block;
}

void Internal_DelArrayW(char16_t* block)
{
    delete[] block;
}
