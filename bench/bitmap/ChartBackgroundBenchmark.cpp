// The chart's background picture path: a 1156 x 500 PNG with alpha, loaded, scaled to a
// 1000 x 380 plot (mode 0, colour 0) and copied into a 32-bit back buffer.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "GdiplusApi.h"

namespace {

constexpr int kPictureWidth = 1156;
constexpr int kPictureHeight = 500;
constexpr int kPlotWidth = 1000;
constexpr int kPlotHeight = 380;
// The back buffer is the chart's client area; the plot sits inside it.
constexpr int kBufferWidth = 1100;
constexpr int kBufferHeight = 450;
constexpr int kPlotLeft = 60;
constexpr int kPlotTop = 30;

// A PNG with smooth colour and alpha ramps, written once for all benchmarks.
const std::u16string& PicturePath()
{
    static QTemporaryDir dir;
    static const std::u16string path = [] {
        QImage picture(kPictureWidth, kPictureHeight, QImage::Format_ARGB32);
        for (int y = 0; y < kPictureHeight; ++y)
            for (int x = 0; x < kPictureWidth; ++x)
                picture.setPixel(x, y, qRgba(x % 256, y % 256, (x + y) % 256, 64 + (x * 191) / kPictureWidth));
        const QString file = dir.filePath(QStringLiteral("background.png"));
        picture.save(file, "PNG");
        return file.toStdU16String();
    }();
    return path;
}

struct Deleter {
    void operator()(Gdiplus::Bitmap* bitmap) const { Gdiplus_DeleteBitmap(bitmap); }
};
using BitmapPtr = std::unique_ptr<Gdiplus::Bitmap, Deleter>;

BitmapPtr Resize(Gdiplus::Bitmap* picture)
{
    return BitmapPtr(Gdiplus_ResizeBitmap(picture, kPlotWidth, kPlotHeight, 0, 0));
}

void CopyIntoBuffer(Gdiplus::Bitmap* plot, std::vector<DWORD>& buffer)
{
    const RECT all{0, 0, kPlotWidth, kPlotHeight};
    Gdiplus_GetBitmapBuffer(plot, &all, PixelFormat32bppARGB, &buffer[kPlotTop * kBufferWidth + kPlotLeft],
                            kBufferWidth * 4);
}

void LoadPng(benchmark::State& state)
{
    for (auto _ : state) {
        BitmapPtr picture(Gdiplus_LoadBitmapFromFileW(PicturePath().c_str()));
        benchmark::DoNotOptimize(picture.get());
    }
}
BENCHMARK(LoadPng)->Unit(benchmark::kMillisecond)->UseRealTime();

void ResizeToPlot(benchmark::State& state)
{
    BitmapPtr picture(Gdiplus_LoadBitmapFromFileW(PicturePath().c_str()));
    for (auto _ : state) {
        BitmapPtr plot = Resize(picture.get());
        benchmark::DoNotOptimize(plot.get());
    }
}
BENCHMARK(ResizeToPlot)->Unit(benchmark::kMillisecond)->UseRealTime();

void CopyToBackBuffer(benchmark::State& state)
{
    BitmapPtr picture(Gdiplus_LoadBitmapFromFileW(PicturePath().c_str()));
    BitmapPtr plot = Resize(picture.get());
    std::vector<DWORD> buffer(size_t(kBufferWidth) * kBufferHeight);
    for (auto _ : state) {
        CopyIntoBuffer(plot.get(), buffer);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kPlotWidth * kPlotHeight * 4);
}
BENCHMARK(CopyToBackBuffer)->Unit(benchmark::kMillisecond)->UseRealTime();

void LoadResizeCopy(benchmark::State& state)
{
    std::vector<DWORD> buffer(size_t(kBufferWidth) * kBufferHeight);
    for (auto _ : state) {
        BitmapPtr picture(Gdiplus_LoadBitmapFromFileW(PicturePath().c_str()));
        BitmapPtr plot = Resize(picture.get());
        CopyIntoBuffer(plot.get(), buffer);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(LoadResizeCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
