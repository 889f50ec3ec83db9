#include "FaultOptionParse.h"

#include <charconv>
#include <limits>

namespace {

constexpr int kHighestParameterId = 17;

std::vector<std::string_view> SplitAt(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

bool ParseWhole(std::string_view text, int base, int min, int max, int* out)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < min || value > max)
        return false;
    *out = value;
    return true;
}

bool ParseCommandWord(std::string_view text, int* word)
{
    if (text == "any") {
        *word = CommandFault::kAnyCommand;
        return true;
    }
    return (text.starts_with("0x") || text.starts_with("0X")) && ParseWhole(text.substr(2), 16, 0, 0xFFFF, word);
}

}  // namespace

bool ParseCommandFault(std::string_view text, CommandFaultKind kind, CommandFault* fault, std::string* error)
{
    const bool late = kind == CommandFaultKind::Late;
    const std::vector<std::string_view> parts = SplitAt(text, ':');
    const std::size_t fixed = late ? 2 : 1;  // CMD, and MS for a late reply
    const int most = std::numeric_limits<int>::max();
    CommandFault parsed;
    parsed.kind = kind;
    bool ok = parts.size() >= fixed && parts.size() <= fixed + 2 && ParseCommandWord(parts[0], &parsed.command);
    if (ok && late)
        ok = ParseWhole(parts[1], 10, 0, most, &parsed.delayMs);
    if (ok && parts.size() > fixed)
        ok = ParseWhole(parts[fixed], 10, 0, most, &parsed.skip);
    if (ok && parts.size() > fixed + 1)
        ok = ParseWhole(parts[fixed + 1], 10, 1, most, &parsed.times);
    if (!ok) {
        *error = "'" + std::string(text) + "' is not " +
                 (late ? "CMD:MS[:SKIP[:TIMES]]" : "CMD[:SKIP[:TIMES]]") +
                 " (CMD a hex command word like 0x0067, or any; whole numbers; TIMES at least 1)";
        return false;
    }
    *fault = parsed;
    return true;
}

bool ParseParameterIdList(std::string_view text, std::vector<std::uint16_t>* ids, std::string* error)
{
    std::vector<std::uint16_t> parsed;
    for (std::string_view part : SplitAt(text, ',')) {
        int id = 0;
        if (!ParseWhole(part, 10, 0, kHighestParameterId, &id)) {
            *error = "'" + std::string(text) + "' is not a list of parameter identifiers from 0 to 17 (like 5,9)";
            return false;
        }
        parsed.push_back(std::uint16_t(id));
    }
    ids->insert(ids->end(), parsed.begin(), parsed.end());
    return true;
}
