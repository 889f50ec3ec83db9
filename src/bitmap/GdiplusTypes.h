#pragma once
// Numbers and plain records shared by the exported bitmap functions and the small
// drawing layer under them. Status and pixel-format values keep the numbers of the
// Windows graphics library, so that callers written against it read the same here.
#include <cstdint>

#include "WinTypes.h"

using INT = std::int32_t;
using REAL = float;
using ULONG_PTR = std::uintptr_t;
// 0xAARRGGBB.
using ARGB = DWORD;
// A pixel-format code: bits 8-15 give the bits per pixel.
using PixelFormat = INT;
// A module handle; resources are looked up by path on this platform, so it selects nothing.
using HINSTANCE = void*;

struct SIZE {
    LONG cx = 0;
    LONG cy = 0;
};

struct CLSID {
    DWORD Data1 = 0;
    WORD Data2 = 0;
    WORD Data3 = 0;
    BYTE Data4[8] = {};
};

inline bool operator==(const CLSID& a, const CLSID& b)
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}

constexpr PixelFormat PixelFormatUndefined = 0;
constexpr PixelFormat PixelFormat1bppIndexed = 0x30101;
constexpr PixelFormat PixelFormat8bppIndexed = 0x30803;
constexpr PixelFormat PixelFormat16bppGrayScale = 0x101004;
constexpr PixelFormat PixelFormat16bppRGB555 = 0x21005;
constexpr PixelFormat PixelFormat16bppRGB565 = 0x21006;
constexpr PixelFormat PixelFormat24bppRGB = 0x21808;
constexpr PixelFormat PixelFormat32bppRGB = 0x22009;
constexpr PixelFormat PixelFormat32bppARGB = 0x26200A;
constexpr PixelFormat PixelFormat32bppPARGB = 0xE200B;

constexpr UINT GetPixelFormatSize(PixelFormat format) { return (UINT(format) >> 8) & 0xFF; }
constexpr bool IsIndexedPixelFormat(PixelFormat format) { return (format & 0x10000) != 0; }

// Picture file formats, numbered as the bitmap functions take them.
enum PictureType : int {
    PictureTypeBmp = 0,
    PictureTypeJpeg = 1,
    PictureTypeGif = 2,
    PictureTypeTiff = 3,
    PictureTypePng = 4
};

namespace Gdiplus {

enum Status : int {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13
};

// LockBits flags.
enum ImageLockMode : UINT {
    ImageLockModeRead = 1,
    ImageLockModeWrite = 2,
    ImageLockModeUserInputBuf = 4
};

enum TextRenderingHint : int {
    TextRenderingHintSystemDefault = 0,
    TextRenderingHintSingleBitPerPixelGridFit = 1,
    TextRenderingHintSingleBitPerPixel = 2,
    TextRenderingHintAntiAliasGridFit = 3,
    TextRenderingHintAntiAlias = 4,
    TextRenderingHintClearTypeGridFit = 5
};

struct Point {
    INT X = 0;
    INT Y = 0;
};

struct Rect {
    INT X = 0;
    INT Y = 0;
    INT Width = 0;
    INT Height = 0;
};

struct RectF {
    REAL X = 0;
    REAL Y = 0;
    REAL Width = 0;
    REAL Height = 0;
};

// What LockBits hands out: Scan0 is the first locked row, Stride the bytes from one
// row to the next.
struct BitmapData {
    UINT Width = 0;
    UINT Height = 0;
    INT Stride = 0;
    ::PixelFormat PixelFormat = 0;
    void* Scan0 = nullptr;
    ULONG_PTR Reserved = 0;
};

struct GdiplusStartupInput {
    std::uint32_t GdiplusVersion = 1;
    void* DebugEventCallback = nullptr;
    BOOL SuppressBackgroundThread = 0;
    BOOL SuppressExternalCodecs = 0;
};

struct GdiplusStartupOutput {
    void* NotificationHook = nullptr;
    void* NotificationUnhook = nullptr;
};

class Bitmap;
class Graphics;
class Brush;
class Font;
class StringFormat;

}  // namespace Gdiplus

// What Gdiplus_Init returns and Gdiplus_DeInit releases.
struct GdiplusStartupRecord {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartupOutput output;
};
