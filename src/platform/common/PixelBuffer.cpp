#include "PixelBuffer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

HBITMAP CreateHBitmap(void** pixelsOut, int width, int height, int bitsPerPixel, int /*reserved1*/,
                      int /*reserved2*/)
{
    if (pixelsOut)
        *pixelsOut = nullptr;
    if (width <= 0 || height == 0 || height == INT32_MIN)
        return nullptr;
    switch (bitsPerPixel) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return nullptr;
    }
    const std::int64_t rows = height < 0 ? -std::int64_t(height) : std::int64_t(height);
    const std::int64_t stride = (std::int64_t(width) * bitsPerPixel + 31) / 32 * 4;
    // Keep the whole picture addressable with int strides and offsets.
    if (stride > INT32_MAX || rows * stride > (std::int64_t(1) << 40))
        return nullptr;
    auto* bitmap = new (std::nothrow) DibBitmap;
    if (!bitmap)
        return nullptr;
    try {
        bitmap->bits.assign(std::size_t(rows * stride), 0);
    } catch (const std::bad_alloc&) {
        delete bitmap;
        return nullptr;
    }
    bitmap->width = width;
    bitmap->height = int(rows);
    bitmap->bitsPerPixel = bitsPerPixel;
    bitmap->topDown = true;
    bitmap->stride = int(stride);
    if (pixelsOut)
        *pixelsOut = bitmap->bits.data();
    return bitmap;
}

void DrawColorOnBuffer(DWORD color, void* pixels, const RECT& rect, int stride, int bufferHeight)
{
    if (!pixels || stride < 4 || bufferHeight <= 0)
        return;
    RECT clipped;
    const RECT bounds{0, 0, stride / 4, bufferHeight};
    if (!BoundRect(&clipped, rect, bounds))
        return;
    auto* base = static_cast<std::uint8_t*>(pixels);
    for (LONG y = clipped.top; y < clipped.bottom; ++y) {
        auto* row = reinterpret_cast<DWORD*>(base + std::size_t(y) * std::size_t(stride));
        std::fill(row + clipped.left, row + clipped.right, color);
    }
}

namespace {

// Minor-axis offset of step i of a line with major length d and minor length m:
// i*m/d rounded to nearest (halves up), i.e. the pixels Bresenham's algorithm picks.
std::int64_t MinorOffset(std::int64_t i, std::int64_t m, std::int64_t d)
{
    const __int128 num = __int128(2) * i * m + d;
    return std::int64_t(num / (__int128(2) * d));
}

}  // namespace

void DrawLineOnBuffer(void* pixels, POINT start, POINT end, int width, int height, int stride, int bytesPerPixel,
                      int patternLength, const DWORD* pattern, int skipZero)
{
    if (!pixels || width <= 0 || height <= 0 || patternLength <= 0 || !pattern)
        return;
    if (bytesPerPixel < 1 || bytesPerPixel > 4 || std::int64_t(stride) < std::int64_t(width) * bytesPerPixel)
        return;

    const std::int64_t dx = std::int64_t(end.x) - start.x;
    const std::int64_t dy = std::int64_t(end.y) - start.y;
    const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    // Major axis a, minor axis b.
    const std::int64_t a0 = xMajor ? start.x : start.y;
    const std::int64_t b0 = xMajor ? start.y : start.x;
    const std::int64_t da = xMajor ? dx : dy;
    const std::int64_t db = xMajor ? dy : dx;
    const std::int64_t sa = da < 0 ? -1 : 1;
    const std::int64_t sb = db < 0 ? -1 : 1;
    const std::int64_t d = da < 0 ? -da : da;  // steps: pixels 0..d
    const std::int64_t m = db < 0 ? -db : db;
    const std::int64_t aLimit = xMajor ? width : height;   // major coordinate in [0, aLimit)
    const std::int64_t bLimit = xMajor ? height : width;   // minor coordinate in [0, bLimit)

    // Clip analytically so that huge coordinates cost nothing: steps whose major
    // coordinate lies inside the buffer ...
    std::int64_t lo = 0, hi = d;
    if (sa > 0) {
        lo = std::max(lo, -a0);
        hi = std::min(hi, aLimit - 1 - a0);
    } else {
        lo = std::max(lo, a0 - (aLimit - 1));
        hi = std::min(hi, a0);
    }
    if (lo > hi)
        return;
    // ... and whose minor coordinate does: offsets q in [qLo, qHi]; q grows with the step.
    if (d > 0) {
        const std::int64_t qLo = sb > 0 ? -b0 : b0 - (bLimit - 1);
        const std::int64_t qHi = sb > 0 ? bLimit - 1 - b0 : b0;
        // First step with offset >= qLo.
        std::int64_t l = lo, h = hi + 1;
        while (l < h) {
            const std::int64_t mid = l + (h - l) / 2;
            if (MinorOffset(mid, m, d) >= qLo)
                h = mid;
            else
                l = mid + 1;
        }
        lo = l;
        // Last step with offset <= qHi.
        l = lo;
        h = hi + 1;
        while (l < h) {
            const std::int64_t mid = l + (h - l) / 2;
            if (MinorOffset(mid, m, d) > qHi)
                h = mid;
            else
                l = mid + 1;
        }
        hi = l - 1;
    } else if (b0 < 0 || b0 >= bLimit) {
        return;
    }

    auto* base = static_cast<std::uint8_t*>(pixels);
    for (std::int64_t i = lo; i <= hi; ++i) {
        const std::int64_t a = a0 + sa * i;
        const std::int64_t b = b0 + sb * (d > 0 ? MinorOffset(i, m, d) : 0);
        const std::int64_t x = xMajor ? a : b;
        const std::int64_t y = xMajor ? b : a;
        if (x < 0 || x >= width || y < 0 || y >= height)
            continue;  // cannot happen after clipping; kept as the last guard
        // The pattern's phase counts from the start point, so clipping does not shift it.
        const DWORD value = pattern[std::size_t(i % patternLength)];
        if (value == 0 && skipZero == 1)
            continue;
        std::uint8_t* p = base + std::size_t(y) * std::size_t(stride) + std::size_t(x) * std::size_t(bytesPerPixel);
        if (bytesPerPixel == 4) {
            std::memcpy(p, &value, 4);
        } else {
            for (int k = 0; k < bytesPerPixel; ++k)
                p[k] = std::uint8_t(value >> (8 * k));
        }
    }
}

void SetRectXY(RECT* rect, int x, int y, int cx, int cy)
{
    if (!rect)
        return;
    rect->left = x;
    rect->top = y;
    rect->right = x + cx;
    rect->bottom = y + cy;
}

int BoundRect(RECT* clipped, const RECT& rect, const RECT& bounds)
{
    RECT r;
    r.left = std::max(rect.left, bounds.left);
    r.top = std::max(rect.top, bounds.top);
    r.right = std::min(rect.right, bounds.right);
    r.bottom = std::min(rect.bottom, bounds.bottom);
    if (IsRectEmpty(r))
        r = RECT{};
    if (clipped)
        *clipped = r;
    return IsRectEmpty(r) ? 0 : 1;
}

// 50 colours with a WCAG contrast of at least 3:1 against white and a CIE76 distance of
// at least 22 between any two. Entry [i % 5][(i / 5) % 10] is the i-th colour of the
// sequence, so waves that take consecutive slots (the chart's waves) get very different colours.
const COLORREF gCommonColorTable[kCommonColorRows][kCommonColorColumns] = {
    {RGB(31, 119, 180), RGB(140, 86, 75), RGB(0, 0, 255), RGB(0, 105, 255), RGB(105, 0, 0), RGB(0, 60, 150), RGB(60, 15, 15), RGB(0, 60, 90), RGB(75, 105, 30), RGB(30, 90, 75)},
    {RGB(214, 39, 40), RGB(200, 50, 150), RGB(240, 15, 255), RGB(105, 0, 60), RGB(75, 60, 0), RGB(180, 135, 75), RGB(255, 45, 210), RGB(165, 0, 60), RGB(0, 60, 240), RGB(180, 135, 0)},
    {RGB(44, 140, 44), RGB(90, 90, 90), RGB(0, 0, 60), RGB(240, 0, 105), RGB(225, 105, 120), RGB(135, 15, 225), RGB(255, 0, 0), RGB(195, 90, 60), RGB(135, 150, 165), RGB(210, 105, 210)},
    {RGB(200, 100, 0), RGB(128, 128, 0), RGB(45, 0, 150), RGB(120, 150, 105), RGB(90, 0, 105), RGB(90, 60, 105), RGB(150, 0, 165), RGB(135, 75, 0), RGB(165, 75, 120), RGB(0, 0, 90)},
    {RGB(148, 103, 189), RGB(0, 128, 140), RGB(0, 60, 15), RGB(195, 105, 255), RGB(180, 135, 165), RGB(0, 165, 120), RGB(75, 135, 240), RGB(0, 165, 0), RGB(105, 75, 195), RGB(105, 165, 15)},
};
