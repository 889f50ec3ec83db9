#pragma once
#include "WinTypes.h"

// A DIB of width x |height| pixels of bitsPerPixel (1, 4, 8, 16, 24 or 32), zeroed,
// rows padded to 32 bits and stored top row first. A negative height is the Windows
// top-down marker and means the same here. When pixelsOut is not null it receives the
// pixel pointer. reserved1 and reserved2 must be 0. Null for a zero or negative width,
// height 0, an unknown depth, or a size that cannot be allocated.
HBITMAP CreateHBitmap(void** pixelsOut, int width, int height, int bitsPerPixel, int reserved1, int reserved2);

// Fills rect (clipped to the buffer) of a 32-bit buffer with color (stored as is).
// stride is bytes per row and the buffer is stride / 4 pixels wide; bufferHeight rows
// exist (rect is clipped to both).
void DrawColorOnBuffer(DWORD color, void* pixels, const RECT& rect, int stride, int bufferHeight);

// Draws the line from start to end, both ends included, into a buffer of width x height
// pixels of bytesPerPixel (4) with stride bytes per row, repeating pattern[0..patternLength)
// along the line (a pattern value of 0 leaves the pixel as it is only when skipZero is 1);
// pixels outside the buffer are skipped.
void DrawLineOnBuffer(void* pixels, POINT start, POINT end, int width, int height, int stride,
                      int bytesPerPixel, int patternLength, const DWORD* pattern, int skipZero);

// rect = (x, y, x + cx, y + cy).
void SetRectXY(RECT* rect, int x, int y, int cx, int cy);
// clipped = rect intersected with bounds; an empty result is (0,0,0,0). Returns nonzero when not empty.
int BoundRect(RECT* clipped, const RECT& rect, const RECT& bounds);

// Distinct colours readable on white, as COLORREF, in rows of 10.
constexpr int kCommonColorRows = 5;
constexpr int kCommonColorColumns = 10;
extern const COLORREF gCommonColorTable[kCommonColorRows][kCommonColorColumns];
