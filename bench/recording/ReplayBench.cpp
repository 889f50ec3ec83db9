// A recording of a million report frames with its capture index (a block a frame, as
// the device hands them over at the module's pace), replayed as fast as possible:
// headless through the decoder into a list of reports (what the CSV export and the
// summary do), and through the replay runner as the window's replay does it, log lines
// off and on.
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include <benchmark/benchmark.h>

#include "CaptureIndexReader.h"
#include "CaptureIndexWriter.h"
#include "DbgOutput.h"
#include "IReportSink.h"
#include "RecordingDecode.h"
#include "ReplayRunner.h"
#include "ReportFrameDecoder.h"

namespace {

constexpr int kFrames = 1000000;

class CountingSink : public IReportSink {
public:
    void PostRadarReport() override { posts.fetch_add(1, std::memory_order_relaxed); }
    void FeedChart(const std::int32_t*, std::int32_t) override {}
    std::atomic<std::int64_t> posts{0};
};

void DropText(void*, int, const char*, int) {}

// Made once: the .dat and its index in the temporary folder.
const std::string& RecordingPath()
{
    static const std::string path = [] {
        const std::string dat =
            (std::filesystem::temp_directory_path() / ("replay-bench-" + std::to_string(::getpid()) + ".dat")).string();
        std::ofstream out(dat, std::ios::binary);
        CCaptureIndexWriter index;
        index.Open(dat);
        index.WriteHeader(CaptureHeader{});
        std::mt19937 random(1);
        for (int i = 0; i < kFrames; ++i) {
            const auto distance = std::uint16_t(random() % 800);
            const char frame[7] = {char(0xAA), char(0xAA), char(random() % 3), char(distance & 0xFF),
                                   char(distance >> 8), 0x55, 0x55};
            out.write(frame, sizeof frame);
            index.AddBlock(std::int64_t(i) * 7, 7, std::int64_t(i) * 50000);
        }
        index.Close();
        return dat;
    }();
    return path;
}

std::shared_ptr<const CReplayTimeline> Timeline()
{
    const std::string& dat = RecordingPath();
    return std::make_shared<CReplayTimeline>(CCaptureIndexReader::ReadFile(dat + ".idx"),
                                             std::int64_t(std::filesystem::file_size(dat)), 50);
}

void BM_ReadIndex(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Timeline());
    state.counters["blocks/s"] = benchmark::Counter(double(kFrames) * double(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadIndex)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_DecodeRecording(benchmark::State& state)
{
    const auto timeline = Timeline();
    std::size_t reports = 0;
    for (auto _ : state) {
        CDbgOutputQuietScope quiet;
        reports = DecodeRecordingFile(*timeline, RecordingPath()).reports.size();
    }
    if (reports != std::size_t(kFrames))
        state.SkipWithError("reports lost");
    state.counters["frames/s"] = benchmark::Counter(double(kFrames) * double(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeRecording)->UseRealTime()->Unit(benchmark::kMillisecond);

// range(0): 1 when the decoder's lines go to a log callback, as in the window.
void BM_ReplayRunnerFastest(benchmark::State& state)
{
    const auto timeline = Timeline();
    const bool withLog = state.range(0) != 0;
    if (withLog) {
        DbgOutputSetTimeType(1);
        DbgOutputAddCallback(&DropText, nullptr);
    }
    for (auto _ : state) {
        CountingSink sink;
        CReportFrameDecoder decoder(sink);
        decoder.GetHistory().Replace(300);
        CReplayRunner runner(decoder);
        std::string error;
        runner.Start(timeline, RecordingPath(), 0, &error);
        runner.SetSpeed(CReplayClock::kFastest);
        runner.Play();
        while (!runner.Ended())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        runner.Stop();
        if (sink.posts.load() != kFrames)
            state.SkipWithError("reports lost");
    }
    if (withLog)
        DbgOutputDelCallback(&DropText);
    state.counters["frames/s"] = benchmark::Counter(double(kFrames) * double(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReplayRunnerFastest)->Arg(0)->Arg(1)->ArgName("log")->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(RecordingPath());
    std::filesystem::remove(RecordingPath() + ".idx");
    return 0;
}
