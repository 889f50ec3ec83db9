#include <signal.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "CaptureIndexReader.h"
#include "DetectionParams.h"
#include "RadarCliProcess.h"
#include "RadarCliTestFiles.h"
#include "ScratchFolder.h"
#include "SimModuleProcess.h"

namespace {

// A recording must read back clean, say where it came from, and run from start to stop.
void ExpectWholeRecording(const std::string& dat, const std::string& expectedPort)
{
    SCOPED_TRACE(dat);
    const CaptureIndex index = CCaptureIndexReader::ReadFile(dat + ".idx");
    ASSERT_EQ(index.outcome.status, ReadStatus::Ok) << index.outcome.reason;
    ASSERT_TRUE(index.header.has_value());
    EXPECT_EQ(index.header->port, expectedPort);
    EXPECT_EQ(index.header->identity, "path:" + expectedPort);
    EXPECT_EQ(index.header->baud, 256000);
    EXPECT_EQ(index.header->reportTimeMs, 50);
    EXPECT_EQ(index.header->firmware, "1.0.0-sim");
    EXPECT_EQ(index.header->toolVersion, TIVANE_VERSION);
    EXPECT_FALSE(index.header->startedUtc.empty());
    ASSERT_GE(index.events.size(), 2u);
    EXPECT_EQ(index.events.front().event.kind, CaptureEventKind::Start);
    EXPECT_EQ(index.events.back().event.kind, CaptureEventKind::Stop);
    EXPECT_EQ(index.IndexedBytes(), std::int64_t(ReadWholeFile(dat).size())) << "every byte indexed";
}

TEST(RadarCliRecord, TwoSimulatedModulesForTwoSecondsGiveTheirOwnWholeFilesAndOneLog)
{
    ScratchFolder folder;
    const std::string out = folder.File("runs");
    const CliResult result =
        RunRadarCli({"record", "--port", "sim", "--port", "sim", "--seconds", "2", "--out", out}, {}, 20000);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");

    // Started within the same second: the names must still differ.
    const auto dats = FilesEndingWith(out, ".dat");
    ASSERT_EQ(dats.size(), 2u) << result.out;
    EXPECT_EQ(FilesEndingWith(out, ".dat.idx").size(), 2u);
    for (const std::string& dat : dats) {
        ExpectWholeRecording(dat, "sim:module");
        const auto frames = FramesIn(ReadWholeFile(dat));
        EXPECT_GE(frames.size(), 30u) << "two seconds at 50 ms";
        EXPECT_LE(frames.size(), 50u);
        EXPECT_NE(result.out.find(std::to_string(frames.size()) + " frames"), std::string::npos) << result.out;
        const CaptureIndex index = CCaptureIndexReader::ReadFile(dat + ".idx");
        // The module answered: its parameters, as it holds them after power-up, are in the header.
        EXPECT_TRUE(index.header->hasParameters);
        EXPECT_EQ(index.header->parameters.nMotionlessRangeMax, DetectionParams::Defaults().nMotionlessRangeMax);
    }
    const auto logs = FilesEndingWith(out, ".log");
    ASSERT_EQ(logs.size(), 1u);
    const std::string log = ReadWholeFile(logs[0]);
    EXPECT_NE(log.find("State="), std::string::npos) << "the decoder's lines";
    EXPECT_NE(log.find("Recording of sim stopped"), std::string::npos);
}

TEST(RadarCliRecord, PtyModuleStoppedBySigintLeavesWholeFilesThatReplayReportForReport)
{
    SimModuleProcess sim({"--interval", "20", "--seed", "7"});
    ASSERT_TRUE(sim.IsStarted());
    ScratchFolder folder;
    RadarCliProcess record({"record", "--port", sim.DevicePath(), "--out", folder.File("Log")});
    ASSERT_TRUE(record.WaitForOutput("recording into", 10000));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const auto signalled = std::chrono::steady_clock::now();
    record.Signal(SIGINT);
    const CliResult recorded = record.Finish(15000);
    const auto stopMs = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - signalled);
    ASSERT_EQ(recorded.exitCode, 0) << recorded.err;
    EXPECT_LT(stopMs.count(), 3000) << "a clean stop takes at most one read time-out";

    const auto dats = FilesEndingWith(folder.File("Log"), ".dat");
    ASSERT_EQ(dats.size(), 1u);
    const std::string dat = dats[0];
    ExpectWholeRecording(dat, sim.DevicePath());
    const std::string raw = ReadWholeFile(dat);
    const auto frames = FramesIn(raw);
    ASSERT_GE(frames.size(), 40u) << "1.5 s at 20 ms";
    EXPECT_EQ(frames.size() * 7, raw.size()) << "nothing but whole frames";
    const auto logs = FilesEndingWith(folder.File("Log"), ".log");
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_NE(ReadWholeFile(logs[0]).find("Stopped by SIGINT"), std::string::npos);

    // The replay finds exactly the recorded reports, in order, and the label set beside them.
    WriteWholeFile(dat + ".labels", "{\"t\":0,\"label\":\"moving\"}\n");
    const std::string csv = folder.File("reports.csv");
    const CliResult replayed = RunRadarCli({"replay", dat, "--csv", csv});
    ASSERT_EQ(replayed.exitCode, 0) << replayed.err;
    EXPECT_EQ(replayed.err, "");
    const auto rows = CsvRows(ReadWholeFile(csv));
    ASSERT_EQ(rows.size(), frames.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].report, frames[i]) << "row " << i;
        EXPECT_EQ(rows[i].label, "moving") << "row " << i;
    }
    EXPECT_FALSE(std::filesystem::exists(csv + ".part"));

    const CliResult described = RunRadarCli({"replay", dat});
    ASSERT_EQ(described.exitCode, 0) << described.err;
    EXPECT_NE(described.out.find("reports    " + std::to_string(frames.size()) + ":"), std::string::npos)
        << described.out;
    EXPECT_NE(described.out.find("paced by   its capture index\n"), std::string::npos) << described.out;

    const CliResult summary = RunRadarCli({"replay", dat, "--summary"});
    ASSERT_EQ(summary.exitCode, 0) << summary.err;
    EXPECT_NE(summary.out.find("moving  "), std::string::npos) << summary.out;
    EXPECT_EQ(summary.out.find("no labels"), std::string::npos);
}

TEST(RadarCliRecord, ALostLinkKeepsItsWholeRecordingAndExits1)
{
    SimModuleProcess sim({"--hangup-after", "1000"});
    ASSERT_TRUE(sim.IsStarted());
    ScratchFolder folder;
    const CliResult result =
        RunRadarCli({"record", "--port", sim.DevicePath(), "--seconds", "20", "--out", folder.File("Log")}, {}, 15000);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("was lost"), std::string::npos) << result.err;
    const auto dats = FilesEndingWith(folder.File("Log"), ".dat");
    ASSERT_EQ(dats.size(), 1u);
    ExpectWholeRecording(dats[0], sim.DevicePath());
    const CaptureIndex index = CCaptureIndexReader::ReadFile(dats[0] + ".idx");
    ASSERT_GE(index.events.size(), 3u);
    EXPECT_EQ(index.events[index.events.size() - 2].event.kind, CaptureEventKind::LinkLost);
}

TEST(RadarCliRecord, APortOrFolderThatCannotBeUsedExits1AndSaysWhy)
{
    ScratchFolder folder;
    WriteWholeFile(folder.File("taken"), "a file where the folder should be");
    const std::pair<std::vector<std::string>, const char*> failures[] = {
        {{"record", "--port", folder.File("no-such-tty"), "--out", folder.File("Log")}, "no such device"},
        {{"record", "--port", "sim", "--seconds", "1", "--out", folder.File("taken")}, "cannot write"},
        {{"params", "read", "--port", folder.File("no-such-tty")}, "no such device"},
    };
    for (const auto& [args, message] : failures) {
        SCOPED_TRACE(args[2]);
        const CliResult result = RunRadarCli(args);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
    }
    EXPECT_TRUE(FilesEndingWith(folder.File("Log"), ".dat").empty());
}

// The simulated module keeps the terminal's slave side open too; the program to close is
// the one that locked the port.
TEST(RadarCliRecord, APortInUseNamesTheProgramThatHoldsIt)
{
    SimModuleProcess sim({"--interval", "20"});
    ASSERT_TRUE(sim.IsStarted());
    ScratchFolder folder;
    RadarCliProcess record({"record", "--port", sim.DevicePath(), "--out", folder.File("Log")});
    ASSERT_TRUE(record.WaitForOutput("recording into", 10000));
    const pid_t holder = record.Pid();
    const CliResult second = RunRadarCli({"params", "read", "--port", sim.DevicePath()});
    record.Signal(SIGINT);
    EXPECT_EQ(record.Finish(15000).exitCode, 0);
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_NE(second.err.find("held by radarcli (pid " + std::to_string(holder) + ")"), std::string::npos)
        << second.err;
}

// A module that never answers keeps the first exchanges waiting for their time-outs; a
// stop then skips the rest of them instead of going on to record.
TEST(RadarCliRecord, AStopWhileTheModuleIsAskedEndsWithoutARecording)
{
    SimModuleProcess sim({"--mute"});
    ASSERT_TRUE(sim.IsStarted());
    ScratchFolder folder;
    RadarCliProcess record({"record", "--port", sim.DevicePath(), "--out", folder.File("Log")});
    ASSERT_TRUE(record.WaitForOutput("diagnostic log:", 10000));
    record.Signal(SIGTERM);
    const CliResult result = record.Finish(15000);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("stopped by SIGTERM before the recording began"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("does not answer"), std::string::npos) << result.err;
    EXPECT_TRUE(FilesEndingWith(folder.File("Log"), ".dat").empty());
}

TEST(RadarCliWatch, TheOldCommandLinePrintsTheVersionAndTheReports)
{
    const CliResult result = RunRadarCli({"--seconds", "1"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.rfind("Firmware: 1.0.0-sim\n", 0), 0u) << result.out;
    EXPECT_NE(result.out.find("State=0 (nobody), distance="), std::string::npos) << result.out;
}

}  // namespace
