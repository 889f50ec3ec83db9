#pragma once
// Plain value types shared by the common library, the bitmap library and the chart.
// They keep the layout and meaning of their Windows namesakes so that pixel and
// rectangle arithmetic reads the same everywhere.
#include <cstdint>
#include <vector>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = std::uint32_t;
using BOOL = int;
// 0x00BBGGRR, as windows controls and pens take colours.
using COLORREF = std::uint32_t;

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) { return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16); }
constexpr BYTE GetRValue(COLORREF c) { return BYTE(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return BYTE((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return BYTE((c >> 16) & 0xFF); }

struct POINT {
    LONG x = 0;
    LONG y = 0;
};

// Right and bottom are exclusive.
struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};

inline LONG RectWidth(const RECT& r) { return r.right - r.left; }
inline LONG RectHeight(const RECT& r) { return r.bottom - r.top; }
inline bool IsRectEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// A device-independent bitmap: rows of bitsPerPixel pixels, each row padded to
// 32 bits. topDown says whether row 0 of `bits` is the top row of the picture.
struct DibBitmap {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;
    bool topDown = true;
    int stride = 0;
    std::vector<BYTE> bits;
    // Depths of 8 bits or fewer: the colours the pixel values index, 0x00RRGGBB each.
    std::vector<DWORD> colorTable;
};
using HBITMAP = DibBitmap*;

// A region: a set of non-overlapping rectangles.
struct RectRegion {
    std::vector<RECT> rects;
};
using HRGN = RectRegion*;

// Releases a bitmap or region made by this library or the bitmap library; null is ignored.
// Returns nonzero when something was released.
BOOL DeleteObject(HBITMAP bitmap);
BOOL DeleteObject(HRGN region);
