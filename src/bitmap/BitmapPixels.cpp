// Handing a bitmap's pixels to other code and changing them in place: grey copy, GDI
// bitmap, pixel buffer copy, alpha changes.
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "BitmapFactory.h"
#include "GdiplusApi.h"
#include "PixelBuffer.h"

using Gdiplus::Bitmap;
using Gdiplus::BitmapData;

namespace {

// Weights add up to 256, so white stays 255.
inline BYTE greyOf(BYTE red, BYTE green, BYTE blue) { return BYTE((red * 77 + green * 150 + blue * 29) >> 8); }

void greyRows(const BitmapData& from, const BitmapData& to, PixelFormat format)
{
    const auto* sourceRow = static_cast<const BYTE*>(from.Scan0);
    auto* targetRow = static_cast<BYTE*>(to.Scan0);
    const UINT bytesPerPixel = GetPixelFormatSize(format) / 8;
    for (UINT y = 0; y < from.Height; ++y, sourceRow += from.Stride, targetRow += to.Stride) {
        if (format == PixelFormat8bppIndexed) {
            std::memcpy(targetRow, sourceRow, from.Width);
            continue;
        }
        for (UINT x = 0; x < from.Width; ++x) {
            const BYTE* s = sourceRow + x * bytesPerPixel;
            BYTE* t = targetRow + x * bytesPerPixel;
            t[0] = t[1] = t[2] = greyOf(s[2], s[1], s[0]);
            if (bytesPerPixel == 4) t[3] = s[3];
        }
    }
}

bool greyable(PixelFormat format)
{
    return format == PixelFormat24bppRGB || format == PixelFormat32bppARGB || format == PixelFormat32bppRGB ||
           format == PixelFormat32bppPARGB || format == PixelFormat8bppIndexed;
}

// The DIB layout a depth is stored in; depths without one are given 32 bits.
QImage::Format dibFormatOf(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1: return QImage::Format_Mono;
    case 8: return QImage::Format_Indexed8;
    case 16: return QImage::Format_RGB555;
    case 24: return QImage::Format_BGR888;
    default: return QImage::Format_RGB32;
    }
}

void copyIntoDib(const QImage& picture, DibBitmap* dib)
{
    const qsizetype rowBytes = std::min<qsizetype>(dib->stride, picture.bytesPerLine());
    for (int y = 0; y < picture.height(); ++y) {
        const int dibRow = dib->topDown ? y : picture.height() - 1 - y;
        std::memcpy(dib->bits.data() + qsizetype(dibRow) * dib->stride, picture.constScanLine(y), size_t(rowBytes));
    }
}

}  // namespace

extern "C" Bitmap* Gdiplus_Gray(Bitmap* source)
{
    if (source == nullptr) return nullptr;
    return GuardCall<Bitmap*>(nullptr, [&]() -> Bitmap* {
        const PixelFormat format = source->GetPixelFormat();
        Bitmap* result = NewBitmap(INT(source->GetWidth()), INT(source->GetHeight()), format);
        if (result == nullptr || !greyable(format)) return result;
        BitmapData target;
        if (result->LockBits(nullptr, Gdiplus::ImageLockModeWrite, format, &target) != Gdiplus::Ok) return result;
        BitmapData from;
        if (source->LockBits(nullptr, Gdiplus::ImageLockModeRead, format, &from) == Gdiplus::Ok) {
            greyRows(from, target, format);
            source->UnlockBits(&from);
        }
        result->UnlockBits(&target);
        return result;
    });
}

extern "C" HBITMAP Gdiplus_GetHBitmap(Bitmap* source, ARGB background, int topDown)
{
    if (source == nullptr || source->image().isNull()) return nullptr;
    return GuardCall<HBITMAP>(nullptr, [&]() -> HBITMAP {
        const int width = int(source->GetWidth());
        const int height = int(source->GetHeight());
        int bitsPerPixel = int(GetPixelFormatSize(source->GetPixelFormat()));
        // A palette picture keeps its depth only with its palette to index.
        const QList<QRgb> palette = source->image().colorTable();
        const bool indexed = (bitsPerPixel == 1 || bitsPerPixel == 8) && !palette.isEmpty();
        if (!indexed && bitsPerPixel != 16 && bitsPerPixel != 24) bitsPerPixel = 32;
        HBITMAP dib = CreateHBitmap(nullptr, width, topDown != 0 ? -height : height, bitsPerPixel, 0, 0);
        if (dib == nullptr) return nullptr;
        if (dib->stride <= 0 || dib->bits.size() < size_t(dib->stride) * size_t(height)) {
            DeleteObject(dib);
            return nullptr;
        }
        // Transparent and translucent pixels end up blended over the opaque background.
        QImage canvas(width, height, QImage::Format_ARGB32_Premultiplied);
        if (canvas.isNull()) {
            DeleteObject(dib);
            return nullptr;
        }
        canvas.fill(QColor::fromRgb(0xFF000000u | (background & 0xFFFFFFu)));
        {
            QPainter painter(&canvas);
            painter.drawImage(QPoint(0, 0), source->image());
        }
        if (indexed) {
            // Opaque pixels find their own palette entry again; blended ones the nearest.
            copyIntoDib(canvas.convertToFormat(dibFormatOf(bitsPerPixel), palette), dib);
            for (QRgb colour : palette) dib->colorTable.push_back(DWORD(colour & 0xFFFFFFu));
        } else {
            copyIntoDib(canvas.convertToFormat(dibFormatOf(bitsPerPixel)), dib);
        }
        return dib;
    });
}

extern "C" BOOL Gdiplus_GetBitmapBuffer(Bitmap* bitmap, const RECT* rect, PixelFormat format, void* destination,
                                        int destinationStride)
{
    if (bitmap == nullptr || rect == nullptr || destination == nullptr) return 0;
    const RECT bounds{0, 0, LONG(bitmap->GetWidth()), LONG(bitmap->GetHeight())};
    RECT clipped;
    if (BoundRect(&clipped, *rect, bounds) == 0 || IsRectEmpty(clipped)) return 0;
    const Gdiplus::Rect area{clipped.left, clipped.top, RectWidth(clipped), RectHeight(clipped)};
    BitmapData locked;
    if (bitmap->LockBits(&area, Gdiplus::ImageLockModeRead, format, &locked) != Gdiplus::Ok) return 0;
    // Rows are whole 32-bit words; the last word is cut short where the bitmap's own
    // row ends, so nothing past the pixels is ever read.
    const qsizetype rowBytes = ((qsizetype(GetPixelFormatSize(format)) * area.Width + 31) / 32) * 4;
    const size_t copyBytes = size_t(std::min<qsizetype>(rowBytes, qsizetype(locked.Reserved)));
    const auto* from = static_cast<const BYTE*>(locked.Scan0);
    auto* to = static_cast<BYTE*>(destination);
    for (UINT y = 0; y < locked.Height; ++y, from += locked.Stride, to += destinationStride)
        std::memcpy(to, from, copyBytes);
    bitmap->UnlockBits(&locked);
    return 1;
}

extern "C" void Gdiplus_SetBitmapAlpha(Bitmap* bitmap, const RECT* rect, BYTE newAlpha, int lowestAlpha,
                                       int highestAlpha)
{
    if (bitmap == nullptr || bitmap->image().isNull()) return;
    const RECT bounds{0, 0, LONG(bitmap->GetWidth()), LONG(bitmap->GetHeight())};
    RECT area = bounds;
    if (rect != nullptr && BoundRect(&area, *rect, bounds) == 0) return;
    RunGuarded([&] {
        BitmapData locked;
        if (bitmap->LockBits(nullptr, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB,
                             &locked) != Gdiplus::Ok)
            return;
        for (LONG y = area.top; y < area.bottom; ++y) {
            auto* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.Scan0) + qsizetype(y) * locked.Stride);
            for (LONG x = area.left; x < area.right; ++x) {
                const int alpha = int(row[x] >> 24);
                if (alpha >= lowestAlpha && alpha <= highestAlpha) row[x] = (row[x] & 0x00FFFFFFu) | (DWORD(newAlpha) << 24);
            }
        }
        bitmap->UnlockBits(&locked);
    });
}
