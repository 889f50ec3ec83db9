#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>
#include <gtest/gtest.h>
#include "AcquisitionSession.h"
#include "CaptureIndexReader.h"
#include "DbgOutput.h"
#include "RadarDevice.h"
#include "RecordingDisplay.h"
#include "RecordingSink.h"
#include "ReplayRunner.h"
#include "ReportFrameDecoder.h"
#include "ScratchFolder.h"
#include "SimModuleProcess.h"
#include "WorkerThreadStats.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Polls until done() or timeout; true when done.
template <typename Condition>
bool WaitUntil(Condition done, milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(milliseconds(10));
    }
    return true;
}

std::uintmax_t SizeOf(const std::string& path)
{
    std::error_code ignored;
    const std::uintmax_t size = std::filesystem::file_size(path, ignored);
    return ignored ? 0 : size;
}

// Compares two byte streams, reporting sizes and the first difference instead of the bytes.
void ExpectSameBytes(const std::string& actual, const std::string& expected)
{
    const auto mismatch = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    EXPECT_TRUE(actual == expected) << "sizes " << actual.size() << " and " << expected.size()
                                    << ", first difference at byte " << (mismatch.first - actual.begin());
}

// The report frames (state, distance) of a whole stream, scanned in one piece.
std::vector<std::pair<int, int>> FramesIn(const std::string& bytes)
{
    std::vector<std::pair<int, int>> frames;
    for (std::size_t p = 0; p + 7 <= bytes.size();) {
        const auto at = [&](std::size_t i) { return int(std::uint8_t(bytes[p + i])); };
        if (at(0) == 0xAA && at(1) == 0xAA && at(5) == 0x55 && at(6) == 0x55) {
            frames.emplace_back(at(2), at(3) | (at(4) << 8));
            p += 7;
        } else {
            ++p;
        }
    }
    return frames;
}

// What the module sent after its last reply to "leave command mode" (C5 3A, length 4,
// command 0x80FE, status, CRC: 10 bytes): the stream a run started after that reply reads.
std::string AfterLastLeaveCommandReply(const std::string& sent)
{
    const std::string reply("\xC5\x3A\x04\x00\xFE\x80", 6);
    const std::size_t at = sent.rfind(reply);
    return at == std::string::npos ? std::string() : sent.substr(std::min(sent.size(), at + 10));
}

// The window's pieces around one session, connected to a simulated module on a
// pseudo-terminal through the device library's real serial path.
class SessionOverPty : public testing::Test {
protected:
    void Connect(std::vector<std::string> options)
    {
        options.insert(options.end(), {"--record", record});
        module = std::make_unique<SimModuleProcess>(options);
        ASSERT_TRUE(module->IsStarted());
        device = Vetra_Interface_RadarDevice_Serial_Create();
        ASSERT_NE(Vetra_Interface_RadarDevice_Serial_OpenByPortNum(device, module->PortNumber(), 256000, 2, 1, 1, 150),
                  0);
        session.SetDevice(device);
    }
    // The window's Start: reporting switched on inside a command-mode bracket, then the worker.
    void Start()
    {
        Vetra_Interface_RadarDevice_StartCmdMode(device, 2, 150);
        Vetra_Interface_RadarDevice_CleanCmdBuffer(device, 500);
        Vetra_Interface_RadarDevice_Start(device);
        Vetra_Interface_RadarDevice_StopCmdMode(device);
        ASSERT_TRUE(session.StartWorker());
        session.SetRunningFlag();
    }
    // Waits until the module has gone silent after its frames and the raw file holds as
    // much as it sent in the run (more than atLeast bytes); sent receives those bytes.
    bool WaitForTheWholeRun(const std::string& raw, std::size_t atLeast, std::string& sent)
    {
        return WaitUntil(
            [&] {
                const auto before = SizeOf(record);
                std::this_thread::sleep_for(milliseconds(100));
                sent = AfterLastLeaveCommandReply(ReadWholeFile(record));
                return SizeOf(record) == before && sent.size() > atLeast && SizeOf(raw) == sent.size();
            },
            milliseconds(20000));
    }
    // Stops and returns how long the stop took.
    milliseconds Stop()
    {
        const auto started = Clock::now();
        session.StopAcquisition();
        return std::chrono::duration_cast<milliseconds>(Clock::now() - started);
    }
    void TearDown() override
    {
        session.StopAcquisition();
        if (device) {
            Vetra_Interface_RadarDevice_Serial_Close(device);
            Vetra_Interface_RadarDevice_Serial_Destroy(device);
        }
    }

    ScratchFolder folder;
    const std::string record = folder.File("module-sent.bin");
    const std::string logFolder = folder.File("Log");
    std::unique_ptr<SimModuleProcess> module;
    VetraRadarHandle device = nullptr;
    RecordingSink sink;
    CReportFrameDecoder decoder{sink};
    RecordingDisplay display;
    CAcquisitionSession session{decoder, display};

    void SetUp() override
    {
        sink.Attach(&decoder);
        display.Attach(&session, &sink);
        decoder.GetHistory().Replace(300);
        session.SetRecordFolder(logFolder);
    }
};

TEST_F(SessionOverPty, TheRawFileHoldsExactlyWhatTheModuleSentAndEveryFrameIsReported)
{
    Connect({"--interval", "2", "--frames", "1500", "--garbage", "--broken-tail", "--seed", "7"});
    Start();
    const std::string raw = session.GetRawFilePath();
    ASSERT_FALSE(raw.empty());
    // The module goes silent after its frames; then both files stop growing.
    std::string sent;
    ASSERT_TRUE(WaitForTheWholeRun(raw, 200 * 7, sent))
        << "module sent " << sent.size() << " bytes in the run, the raw file holds " << SizeOf(raw);
    Stop();  // its command replies come after the report stream: no part of the run
    ExpectSameBytes(ReadWholeFile(raw), sent);

    const auto frames = FramesIn(sent);
    std::vector<std::pair<int, int>> reported;
    for (const SinkEvent& e : sink.Events())
        if (e.kind == SinkEvent::Post)
            reported.emplace_back(e.state, e.distance);
    EXPECT_EQ(reported.size(), frames.size());
    EXPECT_TRUE(reported == frames) << "the reports follow the stream's frames one for one, in order";
}

// The decoder's calls and lines that a viewer of the run saw: report posts with their
// state and distance, and the decoder's own lines.
std::vector<std::string> DecoderTrace(const std::vector<SinkEvent>& events)
{
    std::vector<std::string> trace;
    for (const SinkEvent& e : events) {
        if (e.kind == SinkEvent::Post)
            trace.push_back("post " + std::to_string(e.state) + " " + std::to_string(e.distance));
        else if (e.kind == SinkEvent::Line &&
                 (e.text.find("State=") != std::string::npos || e.text.find("Tailer TAG Invalid!") != std::string::npos))
            trace.push_back(e.text.substr(e.text.find_first_not_of("0123456789:. ")));
    }
    return trace;
}

// The capture index beside the recording times every block, and a replay as fast as
// possible through a fresh decoder makes exactly the calls and lines of the live run,
// garbage, broken tails and frames split across reads included, and leaves the same
// history.
TEST_F(SessionOverPty, AReplayOfTheRecordingDecodesExactlyAsTheLiveRun)
{
    DbgOutputAddCallback(&RecordingSink::ReceiveLine, &sink);
    Connect({"--interval", "2", "--frames", "1200", "--garbage", "--broken-tail", "--seed", "11"});
    Start();
    const std::string raw = session.GetRawFilePath();
    std::string sent;
    ASSERT_TRUE(WaitForTheWholeRun(raw, 200 * 7, sent));
    session.StopAcquisition();
    DbgOutputDelCallback(&RecordingSink::ReceiveLine);
    const std::vector<std::string> live = DecoderTrace(sink.Events());
    ASSERT_GT(live.size(), 1000u);

    const CaptureIndex index = CCaptureIndexReader::ReadFile(raw + ".idx");
    ASSERT_EQ(index.outcome.status, ReadStatus::Ok) << index.outcome.reason;
    ASSERT_TRUE(index.header.has_value());
    EXPECT_GT(index.blocks.size(), 1u) << "the stream came in several reads";
    ASSERT_FALSE(index.events.empty());
    EXPECT_EQ(index.events.front().event.kind, CaptureEventKind::Start);
    EXPECT_EQ(index.events.back().event.kind, CaptureEventKind::Stop);

    RecordingSink replaySink;
    CReportFrameDecoder replayDecoder{replaySink};
    replaySink.Attach(&replayDecoder);
    replayDecoder.GetHistory().Replace(300);
    auto timeline = std::make_shared<CReplayTimeline>(index, std::int64_t(SizeOf(raw)), 50);
    ASSERT_FALSE(timeline->PacedByFallback());
    CReplayRunner replay(replayDecoder);
    DbgOutputAddCallback(&RecordingSink::ReceiveLine, &replaySink);
    std::string error;
    ASSERT_TRUE(replay.Start(timeline, raw, 0, &error)) << error;
    replay.SetSpeed(CReplayClock::kFastest);
    replay.Play();
    ASSERT_TRUE(WaitUntil([&] { return replay.Ended(); }, milliseconds(20000)));
    replay.Stop();
    DbgOutputDelCallback(&RecordingSink::ReceiveLine);
    EXPECT_EQ(replay.ReadError(), "");
    EXPECT_TRUE(DecoderTrace(replaySink.Events()) == live)
        << DecoderTrace(replaySink.Events()).size() << " replayed against " << live.size() << " live";
    EXPECT_EQ(replayDecoder.GetHistory().GetValues(), decoder.GetHistory().GetValues());
}

// A run paused while the link is away and resumed afterwards goes on in the same file,
// where it stood: nothing of what the module sent is lost or written twice.
TEST_F(SessionOverPty, APausedAndResumedRunGoesOnInTheSameRecording)
{
    Connect({"--interval", "2", "--frames", "600", "--seed", "3"});
    Start();
    const std::string raw = session.GetRawFilePath();
    ASSERT_TRUE(WaitUntil([&] { return session.RecordedBytes() > 50 * 7; }, milliseconds(5000)));
    session.PauseWorker();
    const long long paused = session.RecordedBytes();
    std::this_thread::sleep_for(milliseconds(200));
    EXPECT_EQ(session.RecordedBytes(), paused) << "no worker, no recording";
    EXPECT_EQ(SizeOf(raw), std::size_t(paused));
    ASSERT_TRUE(session.ResumeWorker());
    EXPECT_FALSE(session.ResumeWorker()) << "one worker at a time";
    std::string sent;
    ASSERT_TRUE(WaitForTheWholeRun(raw, 0, sent))
        << "module sent " << sent.size() << " bytes in the run, the raw file holds " << SizeOf(raw);
    EXPECT_EQ(session.GetRawFilePath(), raw);
    Stop();
    ExpectSameBytes(ReadWholeFile(raw), sent);
}

TEST_F(SessionOverPty, StopWhileTheModuleIsSilentEndsWithinTheReadTimeOut)
{
    Connect({"--frames", "0"});
    Start();
    std::this_thread::sleep_for(milliseconds(300));  // the worker is now waiting in a read
    const milliseconds took = Stop();
    // The read time-out, a decoding pass and the module's stop command, with room for a busy machine.
    EXPECT_LT(took.count(), CAcquisitionSession::kReadTimeoutMs + 1500);
    EXPECT_FALSE(session.IsRunningFlagSet());
}

TEST_F(SessionOverPty, StopEndsTheReportsThenAppliesTheDisplayStepsInOrder)
{
    Connect({"--interval", "2"});
    Start();
    ASSERT_TRUE(WaitUntil([&] { return sink.PostCount() > 20; }, milliseconds(10000)));
    Stop();
    const int postsAtStop = sink.PostCount();
    ASSERT_EQ(display.steps.size(), 3u);
    EXPECT_EQ(display.steps[0].name, "discard");
    EXPECT_EQ(display.steps[0].postsSoFar, postsAtStop) << "no report is posted after the drain";
    EXPECT_TRUE(display.steps[0].running);
    EXPECT_EQ(display.steps[1].name, "reset");
    EXPECT_TRUE(display.steps[1].running);
    EXPECT_EQ(display.steps[2].name, "button");
    EXPECT_FALSE(display.steps[2].running) << "the running flag is cleared before the button text";
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_EQ(sink.PostCount(), postsAtStop);
}

TEST_F(SessionOverPty, TwoRunsInTheSameSecondGiveTwoFiles)
{
    Connect({"--interval", "2"});
    std::vector<std::string> files;
    for (int run = 0; run < 2; ++run) {
        Start();
        files.push_back(session.GetRawFilePath());
        ASSERT_TRUE(WaitUntil([&] { return SizeOf(files.back()) > 0; }, milliseconds(10000)));
        Stop();
    }
    ASSERT_NE(files[0], files[1]);
    const std::string firstRun = ReadWholeFile(files[0]);
    EXPECT_FALSE(firstRun.empty()) << "the second run left the first recording as it was";
    EXPECT_FALSE(ReadWholeFile(files[1]).empty());
}

TEST_F(SessionOverPty, ARecordingFolderThatCannotBeMadeLeavesTheRunGoingWithoutAFile)
{
    WriteWholeFile(folder.File("not-a-folder"), "x");
    session.SetRecordFolder(folder.File("not-a-folder/Log"));
    Connect({"--interval", "2"});
    Start();
    EXPECT_TRUE(session.GetRawFilePath().empty());
    EXPECT_TRUE(WaitUntil([&] { return sink.PostCount() > 10; }, milliseconds(10000)));
    Stop();
}

TEST_F(SessionOverPty, AHangUpMidRunDoesNotSpinAndEndsCleanly)
{
    Connect({"--interval", "2", "--hangup-after", "1000"});
    Start();
    ASSERT_TRUE(WaitUntil([&] { return !Vetra_Interface_RadarDevice_IsConnected(device); }, milliseconds(10000)));
    const double cpuBefore = WorkerThreadCpuSeconds("ABDData");
    std::this_thread::sleep_for(milliseconds(1500));
    const double cpuDuring = WorkerThreadCpuSeconds("ABDData") - cpuBefore;
    EXPECT_GE(cpuBefore, 0.0) << "the worker thread was not found";
    EXPECT_LT(cpuDuring, 0.3) << "a worker that retries a failed read at once burns a whole core";
    const milliseconds took = Stop();
    EXPECT_LT(took.count(), CAcquisitionSession::kReadTimeoutMs + 1500);
    EXPECT_GT(sink.PostCount(), 0);
    // Bytes still inside the terminal when it vanished never reach the host: the
    // recording is what the module sent in the run up to some point, nothing else.
    const std::string sent = AfterLastLeaveCommandReply(ReadWholeFile(record));
    const std::string recorded = ReadWholeFile(session.GetRawFilePath());
    EXPECT_FALSE(recorded.empty());
    ExpectSameBytes(recorded, sent.substr(0, recorded.size()));
}

TEST(AcquisitionSession, StopWithoutAWorkerStillAppliesEveryStep)
{
    RecordingSink sink;
    CReportFrameDecoder decoder(sink);
    RecordingDisplay display;
    CAcquisitionSession session(decoder, display);
    display.Attach(&session, &sink);
    const auto started = Clock::now();
    session.StopAcquisition();
    session.StopAcquisition();
    EXPECT_LT(Clock::now() - started, milliseconds(500));
    ASSERT_EQ(display.steps.size(), 6u);
    EXPECT_EQ(display.steps[5].name, "button");
    EXPECT_TRUE(session.GetRawFilePath().empty());
}

TEST(AcquisitionSession, ARunWithoutAnOpenDeviceWaitsQuietlyUntilStopped)
{
    RecordingSink sink;
    CReportFrameDecoder decoder(sink);
    RecordingDisplay display;
    CAcquisitionSession session(decoder, display);
    ScratchFolder folder;
    session.SetRecordFolder(folder.File("Log"));
    VetraRadarHandle device = Vetra_Interface_RadarDevice_Serial_Create();  // never opened: reads fail at once
    session.SetDevice(device);
    ASSERT_TRUE(session.StartWorker());
    EXPECT_FALSE(session.StartWorker()) << "a second start while the worker runs changes nothing";
    std::this_thread::sleep_for(milliseconds(600));
    EXPECT_LT(WorkerThreadCpuSeconds("ABDData"), 0.2);
    const auto started = Clock::now();
    session.StopAcquisition();
    EXPECT_LT(Clock::now() - started, milliseconds(1000)) << "a pausing worker wakes at once for the stop";
    EXPECT_EQ(SizeOf(session.GetRawFilePath()), 0u);
    Vetra_Interface_RadarDevice_Serial_Destroy(device);
}

}  // namespace
