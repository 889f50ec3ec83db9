#include "SimRadarOptions.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <string_view>

#include "FaultOptionParse.h"

namespace {

template <typename Number>
bool ParseNumber(std::string_view text, Number min, Number* out)
{
    Number value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < min)
        return false;
    *out = value;
    return true;
}

}  // namespace

const char* SimRadarOptions::Usage()
{
    return "Usage: simradar [options]\n"
           "Serves the simulated presence-radar module on a new pseudo-terminal. The first line\n"
           "of standard output is the terminal's device path; it serves until SIGTERM or SIGINT.\n"
           "  --interval MS      report interval (default 50)\n"
           "  --seed N           scenario seed (default 1)\n"
           "  --record FILE      append every byte written to the terminal to FILE\n"
           "  --stamp FILE       after every write to the terminal, append to FILE a line with\n"
           "                     the CLOCK_MONOTONIC time in ns and the bytes written so far\n"
           "  --garbage          random garbage bytes between report frames\n"
           "  --broken-tail      some report frames end with a wrong tail\n"
           "  --bad-crc          every reply carries a wrong CRC\n"
           "  --mute             never answer commands\n"
           "  --hangup-after MS  close the terminal after MS, like an unplugged device\n"
           "  --frames N         send N report frames, then only answer commands\n"
           "  --version TEXT     firmware version text (1 to 32 bytes)\n"
           "  --protocol N       protocol version the module answers: 2 (default) sets all 18\n"
           "                     parameters, 1 only identifiers 0 to 4\n"
           "  --ignore-write IDS acknowledge writes to these parameter identifiers (like 5,9)\n"
           "                     but keep the old values\n"
           "  --late CMD:MS[:SKIP[:TIMES]]\n"
           "                     carry out command CMD at once but answer it MS ms late\n"
           "  --no-answer CMD[:SKIP[:TIMES]]\n"
           "                     carry out command CMD but never answer it\n"
           "  --lose CMD[:SKIP[:TIMES]]\n"
           "                     lose command CMD on the line: neither carried out nor answered\n"
           "                     CMD is a command word in hex (0x0067) or any; of the commands it\n"
           "                     matches the first SKIP (0) are dealt with normally, the next\n"
           "                     TIMES (all) are hit. Each of these three may be given again.\n"
           "  --help             this text\n";
}

bool SimRadarOptions::Parse(int argc, char** argv, std::string* error)
{
    for (int i = 1; i < argc; ++i) {
        std::string_view name = argv[i];
        std::string_view value;
        bool hasValue = false;
        if (const auto eq = name.find('='); name.starts_with("--") && eq != std::string_view::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        auto takeValue = [&]() {
            if (!hasValue && i + 1 < argc) {
                value = argv[++i];
                hasValue = true;
            }
            return hasValue;
        };
        auto bad = [&](const char* what) {
            *error = std::string(name) + ": " + what;
            return false;
        };
        auto flag = [&](bool* target) {
            if (hasValue)
                return bad("takes no value");
            *target = true;
            return true;
        };

        if (name == "--help") {
            showHelp = true;
        } else if (name == "--garbage") {
            if (!flag(&module.garbage)) return false;
        } else if (name == "--broken-tail") {
            if (!flag(&module.brokenTail)) return false;
        } else if (name == "--bad-crc") {
            if (!flag(&module.badCrc)) return false;
        } else if (name == "--mute") {
            if (!flag(&module.mute)) return false;
        } else if (name == "--interval") {
            if (!takeValue() || !ParseNumber(value, 1, &module.reportIntervalMs))
                return bad("needs a whole number of ms, at least 1");
        } else if (name == "--seed") {
            if (!takeValue() || !ParseNumber<std::uint64_t>(value, 0, &module.seed))
                return bad("needs a whole number");
        } else if (name == "--hangup-after") {
            if (!takeValue() || !ParseNumber(value, 0, &module.hangupAfterMs))
                return bad("needs a whole number of ms");
        } else if (name == "--frames") {
            if (!takeValue() || !ParseNumber<std::int64_t>(value, 0, &module.frameLimit))
                return bad("needs a whole number");
        } else if (name == "--record") {
            if (!takeValue() || value.empty())
                return bad("needs a file name");
            recordPath = std::string(value);
        } else if (name == "--stamp") {
            if (!takeValue() || value.empty())
                return bad("needs a file name");
            stampPath = std::string(value);
        } else if (name == "--protocol") {
            if (!takeValue() || (value != "1" && value != "2"))
                return bad("needs 1 or 2");
            module.protocolVersion = value == "1" ? 1 : 2;
        } else if (name == "--ignore-write") {
            std::string why;
            if (!takeValue() || !ParseParameterIdList(value, &module.ignoredParameterIds, &why))
                return bad(why.empty() ? "needs parameter identifiers" : why.c_str());
        } else if (name == "--late" || name == "--no-answer" || name == "--lose") {
            const CommandFaultKind kind = name == "--late"        ? CommandFaultKind::Late
                                          : name == "--no-answer" ? CommandFaultKind::Unanswered
                                                                  : CommandFaultKind::Lost;
            CommandFault fault;
            std::string why;
            if (!takeValue() || !ParseCommandFault(value, kind, &fault, &why))
                return bad(why.empty() ? "needs a command word" : why.c_str());
            module.commandFaults.push_back(fault);
        } else if (name == "--version") {
            if (!takeValue() || value.empty() || value.size() > 32)
                return bad("needs a text of 1 to 32 bytes");
            module.version = std::string(value);
        } else {
            *error = "unknown option " + std::string(argv[i]);
            return false;
        }
    }
    return true;
}
