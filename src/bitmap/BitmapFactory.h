#pragma once
// How the exported functions make bitmaps and draw one into another.
#include <new>
#include <utility>

#include "GdiplusBitmap.h"
#include "GdiplusGraphics.h"

// A new bitmap from args, or null when the object or its pixels could not be made: a
// half-made bitmap is never handed out.
template <class... Args>
Gdiplus::Bitmap* NewBitmap(Args&&... args)
{
    auto* bitmap = new (std::nothrow) Gdiplus::Bitmap(std::forward<Args>(args)...);
    if (bitmap == nullptr) return nullptr;
    if (bitmap->GetLastStatus() != Gdiplus::Ok) {
        delete bitmap;
        return nullptr;
    }
    return bitmap;
}

// Runs fn; an exception (an allocation Qt could not make) becomes failure, since none
// may cross the C boundary.
template <class Result, class Fn>
Result GuardCall(Result failure, Fn&& fn) noexcept
{
    try {
        return fn();
    } catch (...) {
        return failure;
    }
}

// Runs fn, which returns nothing, swallowing exceptions for the same reason.
template <class Fn>
void RunGuarded(Fn&& fn) noexcept
{
    try {
        fn();
    } catch (...) {
    }
}

// Draws the source rectangle of source into the destination rectangle of target
// through a surface opened for this one call, as every copy and transform does.
Gdiplus::Status DrawBitmapOnto(Gdiplus::Bitmap* target, const Gdiplus::Bitmap* source,
                               const Gdiplus::RectF& destination, const Gdiplus::RectF& sourceRect);
inline Gdiplus::RectF MakeRectF(double x, double y, double width, double height)
{
    return Gdiplus::RectF{REAL(x), REAL(y), REAL(width), REAL(height)};
}
