#pragma once
// Owning handles and picture makers shared by the bitmap tests.
#include <QColor>
#include <QImage>
#include <QString>
#include <cstdlib>
#include <memory>
#include <string>

#include "GdiplusApi.h"
#include "GdiplusBitmap.h"

struct BitmapDeleter {
    void operator()(Gdiplus::Bitmap* bitmap) const { Gdiplus_DeleteBitmap(bitmap); }
};
using BitmapPtr = std::unique_ptr<Gdiplus::Bitmap, BitmapDeleter>;

struct GdiObjectDeleter {
    void operator()(RectRegion* region) const { DeleteObject(region); }
    void operator()(DibBitmap* bitmap) const { DeleteObject(bitmap); }
};
using RegionPtr = std::unique_ptr<RectRegion, GdiObjectDeleter>;
using DibPtr = std::unique_ptr<DibBitmap, GdiObjectDeleter>;

inline std::u16string Wide(const QString& text) { return text.toStdU16String(); }

inline BitmapPtr SolidBitmap(int width, int height, ARGB color)
{
    return BitmapPtr(Gdiplus_CreateColorBmp(UINT(width), UINT(height), color));
}

// Opaque ARGB picture whose pixel (x, y) has red x and green y (modulo 256), so that
// where a pixel came from can be read off it.
inline BitmapPtr CoordinateBitmap(int width, int height)
{
    BitmapPtr bitmap(Gdiplus_CreateBitmap(UINT(width), UINT(height), PixelFormat32bppARGB));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) bitmap->image().setPixel(x, y, qRgba(x % 256, y % 256, 0, 255));
    return bitmap;
}

inline QRgb PixelAt(const Gdiplus::Bitmap& bitmap, int x, int y) { return bitmap.image().pixel(x, y); }

// True when each channel of actual is within tolerance of expected.
inline bool Near(QRgb actual, QRgb expected, int tolerance)
{
    return std::abs(qRed(actual) - qRed(expected)) <= tolerance &&
           std::abs(qGreen(actual) - qGreen(expected)) <= tolerance &&
           std::abs(qBlue(actual) - qBlue(expected)) <= tolerance &&
           std::abs(qAlpha(actual) - qAlpha(expected)) <= tolerance;
}

inline QString Hex(QRgb pixel) { return QStringLiteral("%1").arg(pixel, 8, 16, QLatin1Char('0')); }
