#pragma once
#include <cstdint>
#include <string>
#include <vector>

// What radarcli's command line asks for. Parsing only reads the arguments: it opens no
// port and touches no file, so every command line can be checked on its own.
enum class CliCommand { None, Watch, Record, Replay, Params };
enum class ParamsAction { Read, Write, Reset, Save, Diff, Restore };

// The port text that stands for the built-in simulated module.
inline constexpr const char* kSimulatedPortOption = "sim";
// The module's power-up baud rate.
constexpr int kDefaultBaud = 256000;

struct WatchOptions {
    std::string port;  // empty: the simulated module, as before commands existed
    int baud = kDefaultBaud;
    int seconds = 3;
};

struct RecordOptions {
    std::vector<std::string> ports;  // one recording each; "sim" may come more than once
    int baud = kDefaultBaud;
    int seconds = 0;                 // 0: until SIGINT or SIGTERM
    std::string outFolder = "Log";   // relative to the current directory
};

struct ReplayOptions {
    std::string file;
    std::string csvPath;      // empty: no CSV; "-": the CSV on standard output
    std::string figuresPath;  // empty: beside a CSV file (none for "-")
    bool summary = false;
    std::string plotPath;  // empty: no picture of the overview
    int plotWidth = 1600;
    int plotHeight = 500;
    std::string language;  // "en", "zh", or empty: the window's
};

struct ParamSetting {
    std::string name;        // one of the 18 detection parameters (ModuleParams::Table())
    std::int32_t value = 0;  // as the set command carries it: a float's bits
};

struct ParamsOptions {
    ParamsAction action = ParamsAction::Read;
    std::string port;
    int baud = kDefaultBaud;
    std::vector<ParamSetting> settings;  // write only, each name once, in the order given
    std::string file;                    // save, diff and restore: the snapshot file
    bool json = false;                   // read: print a snapshot instead of NAME=VALUE lines
    bool replace = false;                // save: write over an existing file
    std::string outFolder = "Log";       // restore: where the backup goes (current directory's Log)
};

struct CliRequest {
    CliCommand command = CliCommand::None;
    bool help = false;  // print the help of command (the general one for None), exit 0
    std::string error;  // not empty: the command line is wrong (exit 2); command tells whose help to point at
    WatchOptions watch;
    RecordOptions record;
    ReplayOptions replay;
    ParamsOptions params;
};

// args: the arguments after the program name. No arguments, or options without a
// command word, mean watch (radarcli's behaviour before it had commands). Options take
// their value as the next argument or after "=" (--seconds=5).
CliRequest ParseCommandLine(const std::vector<std::string>& args);

// The command's word ("record"), or "" for None.
const char* CommandName(CliCommand command);
