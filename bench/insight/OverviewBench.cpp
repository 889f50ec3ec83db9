// A 24-hour recording at 20 reports a second (1,728,000 reports, with its capture
// index) in the recording overview: the time from the files to the first picture
// (load, decode, columns, paint at 1600 x 500), the columns alone, and one pan frame
// (new columns for the moved range, chart and band painted). Goals: open within 2 s,
// a pan frame well inside a screen frame.
#include <QApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include <unistd.h>

#include "CaptureIndexWriter.h"
#include "ColumnEnvelope.h"
#include "DbgOutput.h"
#include "RecordingDecode.h"
#include "RecordingLoad.h"
#include "RecordingOverview.h"

namespace {

constexpr int kReports = 24 * 3600 * 20;
constexpr std::int64_t kIntervalUs = 50000;

// Made once: someone comes and goes, walks and sits, in runs of seconds to minutes.
const std::string& RecordingPath()
{
    static const std::string path = [] {
        const std::string dat =
            (std::filesystem::temp_directory_path() / ("overview-bench-" + std::to_string(::getpid()) + ".dat"))
                .string();
        std::ofstream out(dat, std::ios::binary);
        CCaptureIndexWriter index;
        index.Open(dat);
        CaptureHeader header;
        header.reportTimeMs = kIntervalUs / 1000;
        index.WriteHeader(header);
        std::mt19937 random(7);
        int state = 0, left = 0, distance = 300;
        for (int i = 0; i < kReports; ++i) {
            if (--left <= 0) {
                state = int(random() % 3);
                left = int(random() % 2400) + 20;
            }
            distance = state == 0 ? 0 : std::clamp(distance + int(random() % 21) - 10, 30, 780);
            const char frame[7] = {char(0xAA), char(0xAA), char(state), char(distance & 0xFF), char(distance >> 8),
                                   0x55, 0x55};
            out.write(frame, sizeof frame);
            index.AddBlock(std::int64_t(i) * 7, 7, std::int64_t(i) * kIntervalUs);
        }
        index.Close();
        return dat;
    }();
    return path;
}

std::shared_ptr<const std::vector<DecodedReport>> Decode()
{
    const LoadedRecording loaded = LoadRecording(RecordingPath(), 50);
    CDbgOutputQuietScope quiet;
    return std::make_shared<const std::vector<DecodedReport>>(
        DecodeRecordingFile(*loaded.timeline, RecordingPath()).reports);
}

void BM_OpenToFirstPicture(benchmark::State& state)
{
    RecordingPath();
    for (auto _ : state) {
        CRecordingOverview overview;
        overview.resize(1600, 500);
        overview.SetRecording(Decode(), {}, QDateTime(), 50, QStringLiteral("day.dat"));
        benchmark::DoNotOptimize(overview.Picture(QSize(1600, 500)));
    }
}
BENCHMARK(BM_OpenToFirstPicture)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_ColumnsOfTheWholeDay(benchmark::State& state)
{
    const auto reports = Decode();
    std::vector<EnvelopeColumn> columns;
    for (auto _ : state)
        BuildEnvelope(*reports, 0, std::int64_t(kReports) * kIntervalUs, 1500, 150000, columns);
}
BENCHMARK(BM_ColumnsOfTheWholeDay)->Unit(benchmark::kMillisecond);

// Panned by 8 pixels a frame, zoomed out to the whole day or in to an hour.
void PanFrame(benchmark::State& state, std::int64_t spanUs)
{
    CRecordingOverview overview;
    overview.resize(1600, 500);
    overview.SetRecording(Decode(), {}, QDateTime(), 50, QStringLiteral("day.dat"));
    overview.show();
    QApplication::processEvents();
    const std::int64_t middle = std::int64_t(kReports) * kIntervalUs / 2;
    overview.ShowRange(middle - spanUs / 2, middle + spanUs / 2);
    int step = 8;
    for (auto _ : state) {
        overview.PanBy(step);
        step = -step;
        overview.repaint();
    }
}

void BM_PanFrameWholeDay(benchmark::State& state)
{
    // The whole day cannot pan: each frame rebuilds the same range, the dearest case.
    PanFrame(state, std::int64_t(kReports) * kIntervalUs);
}
BENCHMARK(BM_PanFrameWholeDay)->Unit(benchmark::kMillisecond);

void BM_PanFrameOneHour(benchmark::State& state)
{
    PanFrame(state, std::int64_t(3600) * 1'000'000);
}
BENCHMARK(BM_PanFrameOneHour)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove(RecordingPath(), ignored);
    std::filesystem::remove(RecordingPath() + ".idx", ignored);
    return 0;
}
