#include "ParameterText.h"

#include <bit>
#include <charconv>
#include <cmath>

namespace ModuleParams {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// [+-] digits [. digits] [(e|E) [+-] digits], with at least one digit before the
// exponent: the plain decimal forms. from_chars alone would also take "inf" and "nan".
bool IsPlainDecimal(std::string_view text)
{
    std::size_t at = 0;
    const auto digits = [&] {
        const std::size_t start = at;
        while (at < text.size() && IsDigit(text[at]))
            ++at;
        return at - start;
    };
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    std::size_t mantissa = digits();
    if (at < text.size() && text[at] == '.') {
        ++at;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            ++at;
        if (digits() == 0)
            return false;
    }
    return at == text.size();
}

std::string Quoted(std::string_view text)
{
    return "'" + std::string(text) + "'";
}

}  // namespace

bool ParseParameterText(const ParameterInfo& field, std::string_view text, std::int32_t& raw, std::string& error)
{
    const std::string prefix = std::string(field.name) + ": ";
    if (text.empty()) {
        error = prefix + "no value given";
        return false;
    }
    if (field.kind == ParameterKind::F32) {
        if (!IsPlainDecimal(text)) {
            error = prefix + Quoted(text) + " is not a decimal number (like 0.85 or -4)";
            return false;
        }
        // from_chars takes no leading '+'.
        const std::string_view digits = text[0] == '+' ? text.substr(1) : text;
        float value = 0.0f;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (ec != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value)) {
            error = prefix + Quoted(text) + " is beyond what a 32-bit float holds";
            return false;
        }
        raw = std::bit_cast<std::int32_t>(value);
        return true;
    }
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    const bool whole = ec == std::errc() && end == text.data() + text.size();
    if (!whole && !(ec == std::errc::result_out_of_range && IsPlainDecimal(text) &&
                    text.find_first_of(".eE") == std::string_view::npos)) {
        error = prefix + Quoted(text) + " is not a whole number";
        return false;
    }
    if (!whole || value < field.min || value > field.max) {
        error = prefix + std::string(text) + " is outside " + std::to_string(field.min) + " to " +
                std::to_string(field.max);
        return false;
    }
    raw = std::int32_t(value);
    return true;
}

std::string FormatParameterValue(const ParameterInfo& field, std::int32_t raw)
{
    if (field.kind != ParameterKind::F32)
        return std::to_string(raw);
    const float value = std::bit_cast<float>(raw);
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "Infinity" : "-Infinity";
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

}  // namespace ModuleParams
