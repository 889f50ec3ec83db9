// What the worker does with each block the device hands it, on a large stream held
// in memory: append it to the raw recording (and flush), decode it, and for every
// frame store, post, write the log line into a log file, step the 300-sample history
// and feed the chart. The module's line rate bounds what is ever needed: at 256000
// baud (10 bits a byte) 25600 bytes/s, which is 3657 frames/s of 7 bytes.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <vector>
#include <unistd.h>
#include <benchmark/benchmark.h>
#include "BaseBuffer.h"
#include "CaptureIndexWriter.h"
#include "DbgOutput.h"
#include "IReportSink.h"
#include "ReportFrameDecoder.h"
#include "WriteAll.h"
#if BENCH_WITH_WAVE_BUFFER
#include "CWaveBuffer.h"
#endif

namespace {

constexpr double kLineRateFramesPerSecond = 256000.0 / 10.0 / 7.0;

// The main window's side: the post is a counter (a posted event costs a queue lock
// and one allocation in the real window), the repaint request an atomic flag.
class BenchSink : public IReportSink {
public:
    BenchSink()
    {
#if BENCH_WITH_WAVE_BUFFER
        m_wave.SetSampleType(CWaveBuffer::kInt32);
        m_wave.SetValueRange(0.0, 800.0);
        m_wave.SetSampleCount(300);  // a store of 2 windows of 300 samples
        m_wave.SetWholeWindows(false);
#else
        m_copy.resize(600);
#endif
    }
    void PostRadarReport() override { m_posts.fetch_add(1, std::memory_order_relaxed); }
    void FeedChart(const std::int32_t* history, std::int32_t length) override
    {
#if BENCH_WITH_WAVE_BUFFER
        m_wave.Push(history, length);
#else
        std::memmove(m_copy.data(), m_copy.data() + length, sizeof(std::int32_t) * std::size_t(600 - length));
        std::memcpy(m_copy.data() + 600 - length, history, sizeof(std::int32_t) * std::size_t(length));
#endif
        m_repaintPending.exchange(true, std::memory_order_acq_rel);
    }
    std::int64_t Posts() const { return m_posts.load(); }

private:
#if BENCH_WITH_WAVE_BUFFER
    CWaveBuffer m_wave;
#else
    std::vector<std::int32_t> m_copy;
#endif
    std::atomic<std::int64_t> m_posts{0};
    std::atomic<bool> m_repaintPending{false};
};

// The main window's log callback: each text goes whole into the log file.
void WriteLogText(void* context, int, const char* text, int length)
{
    if (context)
        WriteAll(static_cast<std::FILE*>(context), text, std::size_t(length));
}

// Report frames with garbage after about one in ten, as a noisy line delivers them.
std::vector<std::uint8_t> MakeStream(int frames)
{
    std::mt19937 random(1);
    std::vector<std::uint8_t> stream;
    stream.reserve(std::size_t(frames) * 8);
    for (int i = 0; i < frames; ++i) {
        const auto distance = std::uint16_t(random() % 800);
        const std::uint8_t frame[7] = {0xAA, 0xAA, std::uint8_t(random() % 3), std::uint8_t(distance),
                                       std::uint8_t(distance >> 8), 0x55, 0x55};
        stream.insert(stream.end(), frame, frame + 7);
        if (random() % 10 == 0)
            stream.push_back(std::uint8_t(random() % 0xA0));
    }
    return stream;
}

void BM_AcquisitionPath(benchmark::State& state)
{
    const int blockSize = int(state.range(0));
    // As the worker does since recordings have a capture index: a record of the block
    // under the index lock, flushed once a millisecond of arrival time.
    const bool withIndex = state.range(1) != 0;
    const int frames = 100000;
    const std::vector<std::uint8_t> stream = MakeStream(frames);
    std::FILE* raw = std::tmpfile();
    std::FILE* log = std::tmpfile();
    if (!raw || !log) {
        state.SkipWithError("no temporary files");
        return;
    }
    DbgOutputSetTimeType(1);  // as the main window sets it: a time before every line
    DbgOutputAddCallback(&WriteLogText, log);

    BenchSink sink;
    CReportFrameDecoder decoder(sink);
    decoder.GetHistory().Replace(300);
    char indexName[] = "/tmp/acquisition-bench-XXXXXX";
    const int indexFile = ::mkstemp(indexName);
    if (indexFile >= 0)
        ::close(indexFile);
    std::mutex indexMutex;
    for (auto _ : state) {
        CBaseBuffer reassembly;
        CCaptureIndexWriter index;
        std::int64_t flushedUs = 0;
        if (withIndex) {
            index.Open(indexName);
            index.WriteHeader(CaptureHeader{});
        }
        for (std::size_t at = 0; at < stream.size(); at += std::size_t(blockSize)) {
            const std::size_t n = std::min(stream.size() - at, std::size_t(blockSize));
            WriteAll(raw, stream.data() + at, n);
            std::fflush(raw);
            if (withIndex) {
                // Arrival times at the line rate of 921600 baud: 92160 bytes a second.
                std::lock_guard<std::mutex> hold(indexMutex);
                const std::int64_t arrivedUs = std::int64_t(at) * 1000000 / 92160;
                index.AddBlock(std::int64_t(at), std::int64_t(n), arrivedUs);
                if (arrivedUs - flushedUs >= CCaptureIndexWriter::kMergeWindowUs) {
                    index.Flush();
                    flushedUs = arrivedUs;
                }
            }
            reassembly.AppendBuffer(stream.data() + at, n);
            decoder.DecodeReportFrames(reassembly);
        }
        std::rewind(raw);
        std::rewind(log);
        index.Close();
    }
    std::remove(indexName);
    std::remove((std::string(indexName) + ".idx").c_str());
    DbgOutputDelCallback(&WriteLogText);
    std::fclose(raw);
    std::fclose(log);

    const double framesDone = double(sink.Posts());
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(stream.size()));
    state.counters["frames/s"] = benchmark::Counter(framesDone, benchmark::Counter::kIsRate);
    state.counters["x_line_rate"] = benchmark::Counter(framesDone / kLineRateFramesPerSecond,
                                                       benchmark::Counter::kIsRate);
}
// 7: one frame per read, as the device hands them over at the module's pace;
// 64 and 4096: a backlog read in bulk. Each without and with the capture index.
BENCHMARK(BM_AcquisitionPath)
    ->ArgsProduct({{7, 64, 4096}, {0, 1}})
    ->ArgNames({"block", "index"})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
