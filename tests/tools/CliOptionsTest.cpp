#include <gtest/gtest.h>

#include "CliOptions.h"
#include "RadarCliProcess.h"

namespace {

using Args = std::vector<std::string>;

struct BadLine {
    Args args;
    const char* message;
};

// Each is refused before anything runs: no port, no file, no output on stdout.
const BadLine kBadLines[] = {
    {{"bogus"}, "unknown command 'bogus'"},
    {{"--bogus"}, "unknown option '--bogus' for watch"},
    {{"--port"}, "--port needs a value"},
    {{"--seconds", "-1"}, "--seconds: '-1' is not a whole number from 0 to"},
    {{"watch", "--baud", "fast"}, "--baud: 'fast' is not a whole number from 1 to"},
    {{"watch", "extra"}, "unexpected argument 'extra'"},
    {{"record"}, "record needs at least one --port"},
    {{"record", "--port", "--seconds", "2"}, "--port needs a value"},
    {{"record", "--port="}, "--port needs a device path or sim"},
    {{"record", "--port", "/dev/ttyUSB7", "--port", "/dev/ttyUSB7"}, "--port /dev/ttyUSB7 is given twice"},
    {{"record", "--port", "sim", "--seconds", "0"}, "--seconds: '0' is not a whole number from 1 to"},
    {{"record", "--port", "sim", "--seconds", "2s"}, "--seconds: '2s' is not a whole number"},
    {{"record", "--port", "sim", "--baud", "99999999999"}, "--baud: '99999999999' is not a whole number"},
    {{"record", "--port", "sim", "--out", ""}, "--out needs a folder"},
    {{"record", "--port", "sim", "--csv", "x"}, "unknown option '--csv' for record"},
    {{"replay"}, "replay needs the recording to read"},
    {{"replay", "a.dat", "b.dat"}, "replay takes one recording, not 'a.dat' and 'b.dat'"},
    {{"replay", "a.dat", "--summary=yes"}, "--summary takes no value"},
    {{"replay", "a.dat", "--csv"}, "--csv needs a value"},
    {{"replay", "a.dat", "--plot", "x.png", "--width", "100"}, "--width: '100' is not a whole number from 200 to 16000"},
    {{"replay", "a.dat", "--height", "600"}, "--width and --height size the picture of --plot"},
    {{"replay", "a.dat", "--plot", "x.png", "--lang", "fr"}, "--lang takes en or zh, not 'fr'"},
    {{"replay", "a.dat", "--plot="}, "--plot needs a file name"},
    {{"replay", "a.dat", "--plot", "x.png", "--width", "16000", "--height", "16000"},
     "--plot: 16000 x 16000 pixels is more than the 40 million a picture may have"},
    {{"replay", "a.dat", "--csv", "-", "--summary"}, "--csv - writes the CSV to standard output"},
    {{"params"}, "params needs an action: read, write, reset, save, diff or restore"},
    {{"params", "erase", "--port", "sim"}, "unknown params action 'erase'"},
    {{"params", "read"}, "params needs --port"},
    {{"params", "read", "--port", "sim", "--set", "nOffTime=3"}, "--set is only for params write"},
    {{"params", "write", "--port", "sim"}, "params write needs at least one --set name=value"},
    {{"params", "write", "--port", "sim", "--set", "nOffTime"}, "--set 'nOffTime': expected name=value"},
    {{"params", "write", "--port", "sim", "--set", "nSpeed=3"}, "unknown parameter 'nSpeed' (one of nMotionlessRangeMin"},
    {{"params", "write", "--port", "sim", "--set", "nOffTime=3.5"}, "--set 'nOffTime=3.5': nOffTime: '3.5' is not a whole number"},
    {{"params", "write", "--port", "sim", "--set", "nOffTime=-5"}, "nOffTime: -5 is outside 0 to 65535"},
    {{"params", "write", "--port", "sim", "--set", "nMotionIIR=256"}, "nMotionIIR: 256 is outside 0 to 255"},
    {{"params", "write", "--port", "sim", "--set", "fKalman1=0,5"}, "fKalman1: '0,5' is not a decimal number"},
    {{"params", "write", "--port", "sim", "--set", "fKalman1="}, "fKalman1: no value given"},
    {{"params", "write", "--port", "sim", "--set", "nOffTime=1", "--set", "nOffTime=2"}, "nOffTime is given twice"},
    {{"params", "save", "--port", "sim"}, "params save needs the file to write"},
    {{"params", "restore", "--port", "sim"}, "params diff and restore need the snapshot file to read"},
    {{"params", "diff", "a.json", "b.json", "--port", "sim"}, "unexpected argument 'b.json'"},
    {{"params", "read", "a.json", "--port", "sim"}, "unexpected argument 'a.json'"},
    {{"params", "read", "--port", "sim", "--json=yes"}, "--json takes no value"},
    {{"params", "save", "a.json", "--port", "sim", "--json"}, "--json is only for params read"},
    {{"params", "read", "--port", "sim", "--replace"}, "--replace is only for params save"},
    {{"params", "diff", "a.json", "--port", "sim", "--out", "x"}, "--out is only for params restore"},
    {{"params", "restore", "a.json", "--port", "sim", "--out="}, "--out needs a folder"},
    {{"help", "bogus"}, "help takes one command name"},
};

TEST(RadarCliOptions, EachBadCommandLineExitsWith2AndSaysWhy)
{
    for (const BadLine& line : kBadLines) {
        std::string shown;
        for (const std::string& arg : line.args)
            shown += " '" + arg + "'";
        SCOPED_TRACE("radarcli" + shown);
        EXPECT_NE(ParseCommandLine(line.args).error.find(line.message), std::string::npos)
            << ParseCommandLine(line.args).error;
        const CliResult result = RunRadarCli(line.args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.err.find(line.message), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("--help"), std::string::npos) << "points at the help: " << result.err;
        EXPECT_EQ(result.out, "");
    }
}

TEST(RadarCliOptions, HelpOfEveryCommandGoesToStdoutAndExits0)
{
    const std::pair<Args, const char*> helps[] = {
        {{"--help"}, "Exit codes:"},         {{"-h"}, "Exit codes:"},
        {{"help"}, "Exit codes:"},           {{"help", "replay"}, "radarcli replay FILE.dat"},
        {{"record", "--help"}, "radarcli record --port PATH"},
        {{"replay", "--csv", "x", "--help"}, "radarcli replay FILE.dat"},
        {{"params", "--help"}, "radarcli params write"},
        {{"watch", "--bogus", "--help"}, "radarcli watch [--port PATH]"},
    };
    for (const auto& [args, text] : helps) {
        SCOPED_TRACE(args.front());
        const CliResult result = RunRadarCli(args);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_NE(result.out.find(text), std::string::npos) << result.out;
        EXPECT_EQ(result.err, "");
    }
}

TEST(RadarCliOptions, WithoutACommandTheOldOptionsStillWatch)
{
    const CliRequest bare = ParseCommandLine({});
    EXPECT_EQ(bare.command, CliCommand::Watch);
    EXPECT_EQ(bare.watch.port, "");
    EXPECT_EQ(bare.watch.seconds, 3);
    EXPECT_EQ(bare.watch.baud, 256000);

    const CliRequest old = ParseCommandLine({"--port", "/dev/pts/9", "--baud", "115200", "--seconds=0"});
    ASSERT_EQ(old.error, "");
    EXPECT_EQ(old.command, CliCommand::Watch);
    EXPECT_EQ(old.watch.port, "/dev/pts/9");
    EXPECT_EQ(old.watch.baud, 115200);
    EXPECT_EQ(old.watch.seconds, 0);
}

TEST(RadarCliOptions, CommandOptionsArriveAsGiven)
{
    const CliRequest record =
        ParseCommandLine({"record", "--port", "sim", "--port=sim", "--port", "/dev/pts/3", "--out", "runs"});
    ASSERT_EQ(record.error, "");
    EXPECT_EQ(record.record.ports, (std::vector<std::string>{"sim", "sim", "/dev/pts/3"}));
    EXPECT_EQ(record.record.seconds, 0) << "runs until stopped";
    EXPECT_EQ(record.record.outFolder, "runs");
    EXPECT_EQ(ParseCommandLine({"record", "--port", "sim"}).record.outFolder, "Log");

    const CliRequest write = ParseCommandLine({"params", "--port", "sim", "write", "--set", "nOffTime=65535",
                                               "--set=fKalman3=0.85", "--set", "nDistanceCalibration=-5"});
    ASSERT_EQ(write.error, "");
    EXPECT_EQ(write.params.action, ParamsAction::Write);
    ASSERT_EQ(write.params.settings.size(), 3u);
    EXPECT_EQ(write.params.settings[0].name, "nOffTime");
    EXPECT_EQ(write.params.settings[0].value, 65535);
    EXPECT_EQ(write.params.settings[1].value, 0x3F59999A) << "a float travels as its bits";
    EXPECT_EQ(write.params.settings[2].value, -5);

    const CliRequest restore = ParseCommandLine({"params", "restore", "--out", "backups", "old.json", "--port", "sim"});
    ASSERT_EQ(restore.error, "");
    EXPECT_EQ(restore.params.action, ParamsAction::Restore);
    EXPECT_EQ(restore.params.file, "old.json");
    EXPECT_EQ(restore.params.outFolder, "backups");
    EXPECT_EQ(ParseCommandLine({"params", "restore", "a.json", "--port", "sim"}).params.outFolder, "Log");
    const CliRequest save = ParseCommandLine({"params", "save", "now.json", "--port", "sim", "--replace"});
    ASSERT_EQ(save.error, "");
    EXPECT_TRUE(save.params.replace);
    EXPECT_TRUE(ParseCommandLine({"params", "read", "--json", "--port", "sim"}).params.json);

    const CliRequest replay = ParseCommandLine({"replay", "--summary", "run.dat", "--csv", "out.csv"});
    ASSERT_EQ(replay.error, "");
    EXPECT_EQ(replay.replay.file, "run.dat");
    EXPECT_EQ(replay.replay.csvPath, "out.csv");
    EXPECT_TRUE(replay.replay.summary);
}

}  // namespace
