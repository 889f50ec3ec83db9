// A window region from a bitmap's alpha channel.
#include <memory>

#include "BitmapFactory.h"
#include "GdiplusApi.h"
#include "RegionDataBuffer.h"

using Gdiplus::Bitmap;

namespace {

struct RegionDeleter {
    void operator()(RectRegion* region) const { DeleteObject(region); }
};

// Rectangles made into one region at a time, so no single region block gets huge.
constexpr int kBatchRectangles = 2000;

// Runs of pixels with alpha >= threshold, one rectangle per run, in batches.
class AlphaRunCollector {
public:
    ~AlphaRunCollector() { DeleteObject(result_); }

    bool Collect(const Gdiplus::BitmapData& pixels, BYTE threshold)
    {
        if (!buffer_.Allocate()) return false;
        const auto width = LONG(pixels.Width);
        for (LONG y = 0; y < LONG(pixels.Height); ++y) {
            const auto* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(pixels.Scan0) + qsizetype(y) * pixels.Stride);
            LONG x = 0;
            while (x < width) {
                while (x < width && (row[x] >> 24) < threshold) ++x;
                if (x == width) break;
                const LONG start = x;
                while (x < width && (row[x] >> 24) >= threshold) ++x;
                if (!buffer_.Append(RECT{start, y, x, y + 1})) return false;
                if (buffer_.Count() == kBatchRectangles && !flushBatch()) return false;
            }
        }
        return flushBatch();
    }

    HRGN TakeResult()
    {
        HRGN result = result_;
        result_ = nullptr;
        return result;
    }

private:
    bool flushBatch()
    {
        std::unique_ptr<RectRegion, RegionDeleter> batch(CreateRegionFromData(buffer_.Data(), buffer_.ByteSize()));
        if (batch == nullptr) return false;
        if (result_ == nullptr)
            result_ = batch.release();
        else
            UniteRegion(result_, *batch);
        buffer_.StartBatch();
        return true;
    }

    RegionDataBuffer buffer_;
    HRGN result_ = nullptr;
};

}  // namespace

extern "C" HRGN Gdiplus_CreateRgnFromBitmap(Bitmap* bitmap, BYTE threshold)
{
    if (bitmap == nullptr) return nullptr;
    Gdiplus::BitmapData pixels;
    if (bitmap->LockBits(nullptr, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &pixels) != Gdiplus::Ok)
        return nullptr;
    HRGN region = GuardCall<HRGN>(nullptr, [&]() -> HRGN {
        AlphaRunCollector collector;
        if (!collector.Collect(pixels, threshold)) return nullptr;
        return collector.TakeResult();
    });
    bitmap->UnlockBits(&pixels);
    return region;
}
