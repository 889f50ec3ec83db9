#include "TextToTruncatedInt.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
// Above this magnitude the result is clamped anyway; the walk below stops growing there.
constexpr std::int64_t kBeyondRange = kMax + 2;
// Exponents are only followed this far: any larger shift has left the 32-bit range.
constexpr long kExponentCap = 100000;

// The white space of the C locale, as the conversion skips it.
bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view word)
{
    if (text.size() < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (Lower(text[i]) != word[i])
            return false;
    return true;
}

std::int32_t Clamp(std::int64_t value)
{
    return std::int32_t(value < kMin ? kMin : value > kMax ? kMax : value);
}

std::int32_t TruncateDouble(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(kMax))
        return std::int32_t(kMax);
    if (value <= double(kMin))
        return std::int32_t(kMin);
    return std::int32_t(std::trunc(value));
}

// The integral part of the decimal number at the start of text (after the sign), worked
// out on the digits themselves rather than through a double, so that no digit is
// rounded; kBeyondRange once it leaves the 32-bit range; -1 when no digit is there.
std::int64_t DecimalMagnitude(std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size() && IsDigit(text[pos]))
        ++pos;
    const std::string_view integral = text.substr(0, pos);
    std::string_view fraction;
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t fractionStart = ++pos;
        while (pos < text.size() && IsDigit(text[pos]))
            ++pos;
        fraction = text.substr(fractionStart, pos - fractionStart);
    }
    if (integral.empty() && fraction.empty())
        return -1;

    // An exponent counts only when digits follow it; otherwise the number ends before the e.
    long exponent = 0;
    if (pos < text.size() && Lower(text[pos]) == 'e') {
        std::size_t e = pos + 1;
        bool negative = false;
        if (e < text.size() && (text[e] == '+' || text[e] == '-'))
            negative = text[e++] == '-';
        if (e < text.size() && IsDigit(text[e])) {
            for (; e < text.size() && IsDigit(text[e]); ++e)
                exponent = std::min(kExponentCap, exponent * 10 + (text[e] - '0'));
            if (negative)
                exponent = -exponent;
        }
    }

    // The digits of the integral part after moving the point by the exponent.
    const long integralDigits = long(integral.size()) + exponent;
    std::int64_t magnitude = 0;
    for (long i = 0; i < integralDigits; ++i) {
        const std::size_t index = std::size_t(i);
        const char digit = index < integral.size()                     ? integral[index]
                           : index - integral.size() < fraction.size() ? fraction[index - integral.size()]
                                                                        : '0';
        magnitude = magnitude * 10 + (digit - '0');
        if (magnitude >= kBeyondRange)
            return kBeyondRange;
    }
    return magnitude;
}

}  // namespace

std::int32_t TextToTruncatedInt32(std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size() && IsSpace(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    const std::string_view rest = text.substr(pos);

    if (StartsWithIgnoringCase(rest, "inf"))
        return negative ? std::int32_t(kMin) : std::int32_t(kMax);
    if (StartsWithIgnoringCase(rest, "nan"))
        return 0;
    if (StartsWithIgnoringCase(rest, "0x")) {
        const std::string_view digits = rest.substr(2);
        double value = 0.0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                                  std::chars_format::hex);
        if (end == digits.data())
            return 0;  // "0x" without hexadecimal digits: the number is the 0 before the x
        if (error == std::errc::result_out_of_range) {
            // Too large or too small for a double: which one the binary exponent tells.
            const std::string_view parsed(digits.data(), std::size_t(end - digits.data()));
            const std::size_t p = parsed.find_first_of("pP");
            const bool tiny = p != std::string_view::npos && p + 1 < parsed.size() && parsed[p + 1] == '-';
            value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
        }
        return TruncateDouble(negative ? -value : value);
    }

    const std::int64_t magnitude = DecimalMagnitude(rest);
    if (magnitude < 0)
        return 0;
    return Clamp(negative ? -magnitude : magnitude);
}
