// Gdiplus_LoadBitmapFromData over any bytes (a BMP, JPEG, GIF, TIFF or PNG file, or
// anything else). A bitmap it returns must be whole: a size, an Ok status, and pixels
// that can be read in full in its own format and as 32-bit ARGB, copied, and scanned
// for a region, as the tool's drawing code does with a picture it loaded.
#include <QCoreApplication>

#include <cstdint>
#include <cstring>

#include "FuzzCheck.h"
#include "GdiplusApi.h"
#include "GdiplusBitmap.h"
#include "PixelFormatMap.h"
#include "WinTypes.h"

namespace {

// Pictures above this are only loaded and released: reading them whole on every
// run would slow the search without reaching other code.
constexpr std::uint64_t kMostPixelsExamined = 1u << 20;

// Reads every byte of every locked row, so that ASan sees a lock that hands out
// less memory than it promises.
unsigned ReadLockedRows(const Gdiplus::BitmapData& locked)
{
    const qsizetype rowBytes = PackedRowBytes(locked.PixelFormat, locked.Width);
    FUZZ_CHECK(rowBytes > 0);
    FUZZ_CHECK(locked.Scan0 != nullptr);
    unsigned sum = 0;
    for (UINT y = 0; y < locked.Height; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(locked.Scan0) + std::ptrdiff_t(y) * locked.Stride;
        for (qsizetype x = 0; x < rowBytes; ++x)
            sum += row[x];
    }
    return sum;
}

void ExamineBitmap(Gdiplus::Bitmap* bitmap)
{
    for (PixelFormat format : {bitmap->GetPixelFormat(), PixelFormat(PixelFormat32bppARGB)}) {
        Gdiplus::BitmapData locked;
        FUZZ_CHECK(bitmap->LockBits(nullptr, Gdiplus::ImageLockModeRead, format, &locked) == Gdiplus::Ok);
        FUZZ_CHECK(locked.Width == bitmap->GetWidth() && locked.Height == bitmap->GetHeight());
        volatile unsigned sum = ReadLockedRows(locked);
        (void)sum;
        FUZZ_CHECK(bitmap->UnlockBits(&locked) == Gdiplus::Ok);
    }

    Gdiplus::Bitmap* copy = Gdiplus_CopyBitmap(bitmap);
    FUZZ_CHECK(copy != nullptr);
    FUZZ_CHECK(copy->GetWidth() == bitmap->GetWidth() && copy->GetHeight() == bitmap->GetHeight());
    FUZZ_CHECK(copy->GetPixelFormat() == bitmap->GetPixelFormat());
    Gdiplus_DeleteBitmap(copy);

    HRGN region = Gdiplus_CreateRgnFromBitmap(bitmap, 128);
    FUZZ_CHECK(region != nullptr);
    DeleteObject(region);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Qt finds its image format plugins (GIF, JPEG, TIFF) through the application.
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > UINT32_MAX)
        return 0;
    Gdiplus::Bitmap* bitmap = Gdiplus_LoadBitmapFromData(data, UINT(size));
    if (!bitmap)
        return 0;
    FUZZ_CHECK(bitmap->GetWidth() > 0 && bitmap->GetHeight() > 0);
    FUZZ_CHECK(Gdiplus_BitmapOK(bitmap));
    if (std::uint64_t(bitmap->GetWidth()) * bitmap->GetHeight() <= kMostPixelsExamined)
        ExamineBitmap(bitmap);
    Gdiplus_DeleteBitmap(bitmap);
    return 0;
}
