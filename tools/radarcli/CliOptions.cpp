#include "CliOptions.h"

#include <optional>

#include "ArgumentReader.h"
#include "ParameterTable.h"
#include "ParameterText.h"

namespace {

constexpr long long kMostSeconds = 1000000000;
constexpr long long kMostBaud = 1000000000;
constexpr const char* kParamsActions = "read, write, reset, save, diff or restore";

bool IsHelp(const std::string& arg)
{
    return arg == "--help" || arg == "-h";
}

void ParseWatch(ArgumentReader& in, WatchOptions& watch)
{
    while (in.Next()) {
        if (in.Name() == "--port") {
            in.TakeText(watch.port);
        } else if (in.Name() == "--baud") {
            in.TakeNumber(1, kMostBaud, watch.baud);
        } else if (in.Name() == "--seconds") {
            in.TakeNumber(0, kMostSeconds, watch.seconds);
        } else {
            in.Reject("watch");
        }
    }
    if (watch.port == kSimulatedPortOption)
        watch.port.clear();
}

void AddRecordPort(ArgumentReader& in, std::vector<std::string>& ports, const std::string& port)
{
    if (port.empty()) {
        in.Fail("--port needs a device path or sim");
        return;
    }
    // Two recorders on one device would steal each other's bytes; every "sim" is a module of its own.
    for (const std::string& earlier : ports) {
        if (port == earlier && port != kSimulatedPortOption) {
            in.Fail("--port " + port + " is given twice");
            return;
        }
    }
    ports.push_back(port);
}

void ParseRecord(ArgumentReader& in, RecordOptions& record, std::string& error)
{
    while (in.Next()) {
        if (in.Name() == "--port") {
            std::string port;
            if (in.TakeText(port))
                AddRecordPort(in, record.ports, port);
        } else if (in.Name() == "--baud") {
            in.TakeNumber(1, kMostBaud, record.baud);
        } else if (in.Name() == "--seconds") {
            in.TakeNumber(1, kMostSeconds, record.seconds);
        } else if (in.Name() == "--out") {
            if (in.TakeText(record.outFolder) && record.outFolder.empty())
                in.Fail("--out needs a folder");
        } else {
            in.Reject("record");
        }
    }
    if (error.empty() && record.ports.empty())
        error = "record needs at least one --port (a device path, or sim)";
}

// A picture smaller than this shows no curve; a larger one would not fit in memory.
constexpr long long kLeastPlotSide = 200;
constexpr long long kMostPlotSide = 16000;
// The drawing holds the picture several times over at 4 bytes a pixel: 40 million
// pixels keep the whole plot well under 1 GB (and a few seconds).
constexpr long long kMostPlotPixels = 40'000'000;

void ParseReplay(ArgumentReader& in, ReplayOptions& replay, std::string& error)
{
    bool sized = false;
    while (in.Next()) {
        if (in.Name() == "--csv") {
            if (in.TakeText(replay.csvPath) && replay.csvPath.empty())
                in.Fail("--csv needs a file name");
        } else if (in.Name() == "--figures") {
            if (in.TakeText(replay.figuresPath) && replay.figuresPath.empty())
                in.Fail("--figures needs a file name");
        } else if (in.Name() == "--summary") {
            replay.summary = in.TakeNoValue();
        } else if (in.Name() == "--plot") {
            if (in.TakeText(replay.plotPath) && replay.plotPath.empty())
                in.Fail("--plot needs a file name");
        } else if (in.Name() == "--width") {
            sized = in.TakeNumber(kLeastPlotSide, kMostPlotSide, replay.plotWidth) || sized;
        } else if (in.Name() == "--height") {
            sized = in.TakeNumber(kLeastPlotSide, kMostPlotSide, replay.plotHeight) || sized;
        } else if (in.Name() == "--lang") {
            if (in.TakeText(replay.language) && replay.language != "en" && replay.language != "zh")
                in.Fail("--lang takes en or zh, not '" + replay.language + "'");
        } else if (!in.IsOption() && replay.file.empty()) {
            replay.file = in.Name();
        } else if (!in.IsOption()) {
            in.Fail("replay takes one recording, not '" + replay.file + "' and '" + in.Name() + "'");
        } else {
            in.Reject("replay");
        }
    }
    if (error.empty() && replay.file.empty())
        error = "replay needs the recording to read (a .dat file)";
    if (error.empty() && replay.plotPath.empty() && sized)
        error = "--width and --height size the picture of --plot";
    if (error.empty() && (long long)replay.plotWidth * replay.plotHeight > kMostPlotPixels)
        error = "--plot: " + std::to_string(replay.plotWidth) + " x " + std::to_string(replay.plotHeight) +
                " pixels is more than the " + std::to_string(kMostPlotPixels / 1'000'000) +
                " million a picture may have";
    if (error.empty() && replay.csvPath == "-" && replay.summary)
        error = "--csv - writes the CSV to standard output, which --summary would share";
    if (error.empty() && replay.figuresPath == "-")
        error = "--figures takes a file name (standard output is for --csv -)";
    if (error.empty() && !replay.figuresPath.empty() && replay.csvPath.empty())
        error = "--figures goes with --csv";
}

bool TakeSetting(ArgumentReader& in, std::vector<ParamSetting>& settings)
{
    std::string text;
    if (!in.TakeText(text))
        return false;
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos)
        return in.Fail("--set '" + text + "': expected name=value");
    ParamSetting setting;
    setting.name = text.substr(0, equals);
    const ModuleParams::ParameterInfo* field = ModuleParams::FindParameter(std::string_view(setting.name));
    if (!field)
        return in.Fail("--set '" + text + "': unknown parameter '" + setting.name + "' (one of " +
                       ModuleParams::ParameterNames() + ")");
    std::string why;
    if (!ModuleParams::ParseParameterText(*field, std::string_view(text).substr(equals + 1), setting.value, why))
        return in.Fail("--set '" + text + "': " + why);
    for (const ParamSetting& earlier : settings) {
        if (earlier.name == setting.name)
            return in.Fail("--set: " + setting.name + " is given twice");
    }
    settings.push_back(setting);
    return true;
}

std::optional<ParamsAction> ParamsActionNamed(const std::string& word)
{
    const std::pair<const char*, ParamsAction> actions[] = {
        {"read", ParamsAction::Read}, {"write", ParamsAction::Write}, {"reset", ParamsAction::Reset},
        {"save", ParamsAction::Save}, {"diff", ParamsAction::Diff},   {"restore", ParamsAction::Restore},
    };
    for (const auto& [name, action] : actions) {
        if (word == name)
            return action;
    }
    return std::nullopt;
}

bool TakesFile(ParamsAction action)
{
    return action == ParamsAction::Save || action == ParamsAction::Diff || action == ParamsAction::Restore;
}

// The options that belong to one action only, and whether the line gave them.
struct ActionOptions {
    bool set = false;
    bool json = false;
    bool replace = false;
    bool out = false;
};

std::string CheckActionOptions(const ParamsOptions& params, const ActionOptions& given)
{
    const ParamsAction action = params.action;
    if (action == ParamsAction::Write && !given.set)
        return "params write needs at least one --set name=value";
    if (action != ParamsAction::Write && given.set)
        return "--set is only for params write";
    if (action != ParamsAction::Read && given.json)
        return "--json is only for params read";
    if (action != ParamsAction::Save && given.replace)
        return "--replace is only for params save";
    if (action != ParamsAction::Restore && given.out)
        return "--out is only for params restore";
    if (TakesFile(action) && params.file.empty())
        return action == ParamsAction::Save ? "params save needs the file to write"
                                            : "params diff and restore need the snapshot file to read";
    return {};
}

void ParseParams(ArgumentReader& in, ParamsOptions& params, std::string& error)
{
    bool haveAction = false;
    ActionOptions given;
    while (in.Next()) {
        if (in.Name() == "--port") {
            if (in.TakeText(params.port) && params.port.empty())
                in.Fail("--port needs a device path or sim");
        } else if (in.Name() == "--baud") {
            in.TakeNumber(1, kMostBaud, params.baud);
        } else if (in.Name() == "--set") {
            given.set = true;
            TakeSetting(in, params.settings);
        } else if (in.Name() == "--json") {
            given.json = true;
            params.json = in.TakeNoValue();
        } else if (in.Name() == "--replace") {
            given.replace = true;
            params.replace = in.TakeNoValue();
        } else if (in.Name() == "--out") {
            given.out = true;
            if (in.TakeText(params.outFolder) && params.outFolder.empty())
                in.Fail("--out needs a folder");
        } else if (!in.IsOption() && !haveAction) {
            haveAction = true;
            if (const auto action = ParamsActionNamed(in.Name()))
                params.action = *action;
            else
                in.Fail("unknown params action '" + in.Name() + "' (" + kParamsActions + ")");
        } else if (!in.IsOption() && TakesFile(params.action) && params.file.empty()) {
            params.file = in.Name();
        } else {
            in.Reject("params");
        }
    }
    if (!error.empty())
        return;
    if (!haveAction)
        error = std::string("params needs an action: ") + kParamsActions;
    else if (params.port.empty())
        error = "params needs --port (a device path, or sim)";
    else
        error = CheckActionOptions(params, given);
}

std::optional<CliCommand> CommandNamed(const std::string& word)
{
    for (CliCommand command : {CliCommand::Watch, CliCommand::Record, CliCommand::Replay, CliCommand::Params}) {
        if (word == CommandName(command))
            return command;
    }
    return std::nullopt;
}

}  // namespace

const char* CommandName(CliCommand command)
{
    switch (command) {
    case CliCommand::Watch: return "watch";
    case CliCommand::Record: return "record";
    case CliCommand::Replay: return "replay";
    case CliCommand::Params: return "params";
    case CliCommand::None: break;
    }
    return "";
}

CliRequest ParseCommandLine(const std::vector<std::string>& args)
{
    CliRequest request;
    std::size_t first = 1;
    if (args.empty() || (args[0].size() > 1 && args[0][0] == '-' && !IsHelp(args[0]))) {
        request.command = CliCommand::Watch;  // the options radarcli took before it had commands
        first = 0;
    } else if (IsHelp(args[0])) {
        request.help = true;
        return request;
    } else if (args[0] == "help") {
        const auto command = args.size() > 1 ? CommandNamed(args[1]) : std::nullopt;
        request.help = args.size() <= 2 && (args.size() == 1 || command);
        request.command = command.value_or(CliCommand::None);
        if (!request.help)
            request.error = "help takes one command name: watch, record, replay or params";
        return request;
    } else if (const auto command = CommandNamed(args[0])) {
        request.command = *command;
    } else {
        request.error = "unknown command '" + args[0] + "' (watch, record, replay or params)";
        return request;
    }
    for (std::size_t i = first; i < args.size(); ++i) {
        if (IsHelp(args[i])) {
            request.help = true;
            return request;
        }
    }
    ArgumentReader in(args, first, request.error);
    switch (request.command) {
    case CliCommand::Watch: ParseWatch(in, request.watch); break;
    case CliCommand::Record: ParseRecord(in, request.record, request.error); break;
    case CliCommand::Replay: ParseReplay(in, request.replay, request.error); break;
    case CliCommand::Params: ParseParams(in, request.params, request.error); break;
    case CliCommand::None: break;
    }
    return request;
}
