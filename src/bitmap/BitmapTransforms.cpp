// New bitmaps made from existing ones: solid colour, format change, stretch, resize by
// mode, fitting by mode and cropping.
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>

#include "BitmapFactory.h"
#include "GdiplusApi.h"
#include "PixelFormatMap.h"

using Gdiplus::Bitmap;

namespace {

// truncate(value) when it is a valid int, else -1 (a size no bitmap can have).
int truncatedSize(double value)
{
    if (!(value >= 0) || value >= double(INT_MAX)) return -1;
    return int(value);
}

Bitmap* newArgbBitmap(int width, int height)
{
    if (width < 1 || height < 1) return nullptr;
    return NewBitmap(INT(width), INT(height), PixelFormat32bppARGB);
}

Bitmap* tileFromTopLeft(const Bitmap* source, int width, int height)
{
    Bitmap* result = newArgbBitmap(width, height);
    if (result == nullptr) return nullptr;
    Gdiplus::Graphics graphics(result);
    if (QPainter* painter = graphics.painter()) {
        // A texture brush lays 1:1 tiles from the origin and cuts them at the edges,
        // whatever the number of tiles.
        painter->setBrushOrigin(0, 0);
        // Converted first: a 1-bit picture would otherwise be taken as a stipple mask.
        painter->fillRect(QRect(0, 0, width, height),
                          QBrush(source->image().convertToFormat(QImage::Format_ARGB32_Premultiplied)));
    }
    return result;
}

}  // namespace

extern "C" Bitmap* Gdiplus_CreateColorBmp(UINT width, UINT height, ARGB color)
{
    if (width > INT_MAX || height > INT_MAX) return nullptr;
    return GuardCall<Bitmap*>(nullptr, [&]() -> Bitmap* {
        Bitmap* bitmap = newArgbBitmap(int(width), int(height));
        // A solid fill of an empty bitmap: every pixel takes the colour exactly.
        if (bitmap != nullptr) bitmap->image().fill(color);
        return bitmap;
    });
}

extern "C" Bitmap* Gdiplus_ModifyBitmapFormat(Bitmap* source, PixelFormat format)
{
    if (source == nullptr) return nullptr;
    if (format == source->GetPixelFormat()) return Gdiplus_CopyBitmap(source);
    return GuardCall<Bitmap*>(nullptr, [&]() -> Bitmap* {
        const INT width = INT(source->GetWidth());
        const INT height = INT(source->GetHeight());
        Bitmap* result = NewBitmap(width, height, format);
        if (result == nullptr || !IsIndexedPixelFormat(format)) {
            if (result != nullptr)
                DrawBitmapOnto(result, source, MakeRectF(0, 0, width, height), MakeRectF(0, 0, width, height));
            return result;
        }
        // Nothing can draw on palette pixels; rather than a blank bitmap, the picture
        // is mapped onto the palette a new bitmap of the format has.
        const QImage& blank = result->image();
        Bitmap* mapped = NewBitmap(ConvertImage(source->image(), blank.format(), blank.colorTable()), format);
        delete result;
        return mapped;
    });
}

extern "C" Bitmap* Gdiplus_StretchBitmap(Bitmap* source, int width, int height)
{
    if (source == nullptr || width < 1 || height < 1) return nullptr;
    return GuardCall<Bitmap*>(nullptr, [&]() -> Bitmap* {
        Bitmap* result = newArgbBitmap(width, height);
        if (result == nullptr) return nullptr;
        DrawBitmapOnto(result, source, MakeRectF(0, 0, width, height),
                       MakeRectF(0, 0, source->GetWidth(), source->GetHeight()));
        return result;
    });
}

extern "C" Bitmap* Gdiplus_ResizeBitmap(Bitmap* source, int width, int height, int mode, ARGB background)
{
    if (source == nullptr || width < 1 || height < 1) return nullptr;
    const double sw = source->GetWidth();
    const double sh = source->GetHeight();
    if (sw < 1 || sh < 1) return nullptr;
    int rw = width;
    int rh = height;
    int ox = 0;
    int oy = 0;
    if (mode != 0) {
        double s = 0;
        switch (mode) {
        case 1: s = std::min(width / sw, height / sh); break;
        case 2: s = std::max(width / sw, height / sh); break;
        case 3: s = width / sw; break;
        case 4: s = height / sh; break;
        default: return nullptr;
        }
        rw = truncatedSize(sw * s);
        rh = truncatedSize(sh * s);
        if (rw < 1 || rh < 1) return nullptr;
        ox = int((sw - rw / s) * 0.5);
        oy = int((sh - rh / s) * 0.5);
    }
    return GuardCall<Bitmap*>(nullptr, [&]() -> Bitmap* {
        Bitmap* result = Gdiplus_CreateColorBmp(UINT(rw), UINT(rh), background);
        if (result == nullptr) return nullptr;
        DrawBitmapOnto(result, source, MakeRectF(0, 0, rw, rh), MakeRectF(ox, oy, sw, sh));
        return result;
    });
}

extern "C" Bitmap* Gdiplus_DisposeBitmapByMode(Bitmap* source, int width, int height, int mode, ARGB background)
{
    if (source == nullptr || width < 1 || height < 1) return nullptr;
    const int sw = int(source->GetWidth());
    const int sh = int(source->GetHeight());
    if (sw < 1 || sh < 1) return nullptr;
    switch (mode) {
    case 0: {
        const double s = std::min(double(sw) / width, double(sh) / height);
        const int cw = truncatedSize(width * s);
        const int ch = truncatedSize(height * s);
        const SIZE size{width, height};
        return Gdiplus_GetBitmapFromBitmap(source, (sw - cw) / 2, (sh - ch) / 2, cw, ch, &size);
    }
    case 1: return Gdiplus_ResizeBitmap(source, width, height, 1, background);
    case 2: return GuardCall<Bitmap*>(nullptr, [&] { return tileFromTopLeft(source, width, height); });
    case 3: {
        const int w = std::min(sw, width);
        const int h = std::min(sh, height);
        const int x = sw > width ? (sw - width) / 2 : 0;
        const int y = sh > height ? (sh - height) / 2 : 0;
        return GuardCall<Bitmap*>(nullptr, [&]() -> Bitmap* {
            Bitmap* result = Gdiplus_CreateColorBmp(UINT(width), UINT(height), background);
            if (result == nullptr) return nullptr;
            DrawBitmapOnto(result, source, MakeRectF((width - w) / 2, (height - h) / 2, w, h), MakeRectF(x, y, w, h));
            return result;
        });
    }
    case 4: return Gdiplus_StretchBitmap(source, width, height);
    default: return nullptr;
    }
}

extern "C" Bitmap* Gdiplus_GetBitmapFromBitmap(Bitmap* source, int x, int y, int width, int height,
                                               const SIZE* resultSize)
{
    if (source == nullptr) return nullptr;
    const int rw = resultSize != nullptr ? resultSize->cx : width;
    const int rh = resultSize != nullptr ? resultSize->cy : height;
    return GuardCall<Bitmap*>(nullptr, [&]() -> Bitmap* {
        Bitmap* result = newArgbBitmap(rw, rh);
        if (result == nullptr) return nullptr;
        DrawBitmapOnto(result, source, MakeRectF(0, 0, rw, rh), MakeRectF(x, y, width, height));
        return result;
    });
}

extern "C" Bitmap* Gdiplus_GetBitmapFromBitmapByRect(Bitmap* source, const RECT* rect, const SIZE* resultSize)
{
    if (source == nullptr || rect == nullptr) return nullptr;
    const qint64 width = qint64(rect->right) - rect->left;
    const qint64 height = qint64(rect->bottom) - rect->top;
    if (width > INT_MAX || height > INT_MAX || width < INT_MIN || height < INT_MIN) return nullptr;
    return Gdiplus_GetBitmapFromBitmap(source, rect->left, rect->top, int(width), int(height), resultSize);
}
