// Creating, copying and releasing bitmaps, and reading their last status.
#include <climits>

#include "BitmapFactory.h"
#include "GdiplusApi.h"

using Gdiplus::Bitmap;

extern "C" Bitmap* Gdiplus_CreateBitmap(UINT width, UINT height, PixelFormat format)
{
    if (width > INT_MAX || height > INT_MAX) return nullptr;
    return GuardCall<Bitmap*>(nullptr, [&] { return NewBitmap(INT(width), INT(height), format); });
}

extern "C" Bitmap* Gdiplus_CopyBitmap(Bitmap* source)
{
    if (source == nullptr) return nullptr;
    // Same size and format: the pixels (and palette) are taken as they are, which is
    // exact where drawing would round translucent colours or, on palette formats,
    // could not draw at all.
    return GuardCall<Bitmap*>(nullptr, [&] { return NewBitmap(source->image().copy(), source->GetPixelFormat()); });
}

extern "C" void Gdiplus_DeleteBitmap(Bitmap* bitmap) { delete bitmap; }

extern "C" BOOL Gdiplus_BitmapOK(Bitmap* bitmap)
{
    if (bitmap == nullptr) return 0;
    return bitmap->GetLastStatus() == Gdiplus::Ok ? 1 : 0;
}

extern "C" Gdiplus::Status Gdiplus_BitmapLastError(Bitmap* bitmap)
{
    if (bitmap == nullptr) return Gdiplus::GenericError;
    return bitmap->GetLastStatus();
}
