#pragma once
// The exported bitmap functions. Every name here is exported by the executable without
// decoration (C linkage), so outside callers can find them in its dynamic symbol table.
//
// Shared rules:
// - A function returning a Gdiplus::Bitmap* returns a new bitmap the caller owns and
//   releases with Gdiplus_DeleteBitmap; null means failure. No function takes ownership
//   of a bitmap passed to it.
// - A failing operation on an existing bitmap is recorded in its last status
//   (Gdiplus_BitmapOK / Gdiplus_BitmapLastError read and reset it); success leaves it.
// - Colours are 0xAARRGGBB. Rectangles are RECT (right and bottom exclusive).
// - W variants take UTF-16; A variants take UTF-8 and convert paths into 260 wide
//   characters (a longer path fails like a missing file).
// - A bitmap or drawing surface must not be used by two threads at once; the functions
//   keep no global state and take no locks.
//
// Picture types (PictureType): 0 BMP, 1 JPEG, 2 GIF, 3 TIFF, 4 PNG. File names map by
// extension: "bmp" 0, "jpeg"/"jpg" 1, "gif" 2, "tiff" 3, anything else (also "tif" and
// none) 4.
//
// Resources: Gdiplus_LoadBitmapFromResourceW/A read the Qt resource
// ":/res/<TYPE>/<id>", TYPE upper-cased as given (an integer type below 0x10000 passed
// as a pointer becomes "#<number>") and id the decimal low 16 bits of the identifier;
// for example the chart background is ":/res/PNG/198". The module handle is ignored.
#include "GdiplusTypes.h"

extern "C" {

// --- start-up, bitmap lifetime and status -------------------------------------------

// New start-up record (token set once started), or null. Optional on this platform.
GdiplusStartupRecord* Gdiplus_Init(void);
// Releases a record from Gdiplus_Init; null is ignored.
void Gdiplus_DeInit(GdiplusStartupRecord* record);

// New width x height bitmap of format with zeroed pixel memory of its own, or null
// (zero size, unknown format, too large).
Gdiplus::Bitmap* Gdiplus_CreateBitmap(UINT width, UINT height, PixelFormat format);
// New bitmap of the same size and format holding source's picture, or null for a null source.
Gdiplus::Bitmap* Gdiplus_CopyBitmap(Gdiplus::Bitmap* source);
// Releases a bitmap; null is ignored.
void Gdiplus_DeleteBitmap(Gdiplus::Bitmap* bitmap);
// 1 when bitmap is not null and its last status was Ok, else 0; resets the status.
BOOL Gdiplus_BitmapOK(Gdiplus::Bitmap* bitmap);
// The last status (then reset to Ok); GenericError (1) for null.
Gdiplus::Status Gdiplus_BitmapLastError(Gdiplus::Bitmap* bitmap);

// --- picture types and encoders ------------------------------------------------------

// PictureType of a file name by its extension (null gives 4).
int Gdiplus_GetPictureTypeByFileNameW(const char16_t* fileName);
int Gdiplus_GetPictureTypeByFileNameA(const char* fileName);
// 1 and *clsidOut set when an encoder has mimeType (compared case-insensitively);
// 0 and *clsidOut untouched otherwise.
BOOL Gdiplus_GetEncoderClsidByFormatTypeW(const char16_t* mimeType, CLSID* clsidOut);
BOOL Gdiplus_GetEncoderClsidByFormatTypeA(const char* mimeType, CLSID* clsidOut);
// As above for the MIME type of pictureType; values other than 1-4 mean BMP.
BOOL Gdiplus_GetEncoderClsidByPictureType(int pictureType, CLSID* clsidOut);

// --- loading -------------------------------------------------------------------------

// New bitmap decoded from a BMP, JPEG, GIF (first frame), TIFF or PNG file; null for a
// null path, a missing file or one that is not a readable picture.
Gdiplus::Bitmap* Gdiplus_LoadBitmapFromFileW(const char16_t* path);
Gdiplus::Bitmap* Gdiplus_LoadBitmapFromFileA(const char* path);
// New bitmap from the resource picture of type and id (see the top of this file);
// null for a null type, id 0 (A: any id below 1) or a missing resource.
Gdiplus::Bitmap* Gdiplus_LoadBitmapFromResourceW(HINSTANCE module, const char16_t* type, int id);
Gdiplus::Bitmap* Gdiplus_LoadBitmapFromResourceA(HINSTANCE module, const char* type, int id);
// New bitmap decoded from size bytes of an encoded picture. The bytes are copied: the
// caller may free them as soon as the call returns. Null for null data or size 0.
Gdiplus::Bitmap* Gdiplus_LoadBitmapFromData(const void* data, UINT size);
// New bitmap over the caller's pixel rows, not copied: later writes to them show in the
// bitmap, and they must stay valid and unmoved until the bitmap is deleted. stride is
// bytes from one row to the next (top row first) and must hold a whole row. Null for
// null pixels, zero sizes or stride, a negative or too small stride, an unknown format.
Gdiplus::Bitmap* Gdiplus_LoadBitmapFromImageBits(void* pixels, UINT width, UINT height, int stride,
                                                 PixelFormat format);

// --- saving and converting -------------------------------------------------------------

// Writes bitmap (not null) to path in the format its extension names; 1 if written,
// else 0 with the failure recorded in the bitmap. An existing file is replaced only by
// a complete new one.
BOOL Gdiplus_SaveBitmapToFileW(Gdiplus::Bitmap* bitmap, const char16_t* path);
BOOL Gdiplus_SaveBitmapToFileA(Gdiplus::Bitmap* bitmap, const char* path);
// Writes the generated name "Temp_<date>.<ext>" into destinationName (260 characters,
// never more; written even when the conversion then fails), then saves sourcePath's
// picture as pictureType under that name, relative to the working directory.
// 1 if written, else 0.
BOOL Gdiplus_ConvertImageFormatW(const char16_t* sourcePath, char16_t* destinationName, int pictureType);
BOOL Gdiplus_ConvertImageFormatA(const char* sourcePath, char* destinationName, int pictureType);

// --- conversions and transforms --------------------------------------------------------

// New 32-bit ARGB bitmap filled with color, or null.
Gdiplus::Bitmap* Gdiplus_CreateColorBmp(UINT width, UINT height, ARGB color);
// Copy of source in another pixel format (indexed formats give a blank bitmap), or null.
Gdiplus::Bitmap* Gdiplus_ModifyBitmapFormat(Gdiplus::Bitmap* source, PixelFormat format);
// New width x height ARGB bitmap with the whole source stretched over it, or null.
Gdiplus::Bitmap* Gdiplus_StretchBitmap(Gdiplus::Bitmap* source, int width, int height);
// New ARGB bitmap scaled by mode: 0 stretch to width x height, 1 fit inside, 2 cover,
// 3 by the width ratio, 4 by the height ratio; background fills it first. Null for a
// null source, sizes below 1 or another mode.
Gdiplus::Bitmap* Gdiplus_ResizeBitmap(Gdiplus::Bitmap* source, int width, int height, int mode,
                                      ARGB background);
// New bitmap fitted by mode: 0 crop to the aspect ratio and scale, 1 fit inside, 2 tile
// from the top-left, 3 centre without scaling on background, 4 stretch. source not null.
Gdiplus::Bitmap* Gdiplus_DisposeBitmapByMode(Gdiplus::Bitmap* source, int width, int height, int mode,
                                             ARGB background);
// New ARGB bitmap of resultSize (null: width x height) showing the source rectangle
// (x, y, width, height) scaled over it; parts outside the source draw nothing.
Gdiplus::Bitmap* Gdiplus_GetBitmapFromBitmap(Gdiplus::Bitmap* source, int x, int y, int width, int height,
                                             const SIZE* resultSize);
// As above with the source rectangle given as a RECT (not null).
Gdiplus::Bitmap* Gdiplus_GetBitmapFromBitmapByRect(Gdiplus::Bitmap* source, const RECT* rect,
                                                   const SIZE* resultSize);
// New bitmap of the source's size and format with grey = (77 R + 150 G + 29 B) >> 8 in
// 24- and 32-bit formats (alpha kept); 8-bit indices are copied; other formats stay blank.
Gdiplus::Bitmap* Gdiplus_Gray(Gdiplus::Bitmap* source);
// New DIB of the source's size and depth (32 bits for sources below 16 bits per pixel)
// with the source drawn over background (its alpha ignored). topDown not 0 asks for a
// top-down DIB; the DIB's own topDown field says how its rows are stored. Released with
// DeleteObject. Null for a null source.
HBITMAP Gdiplus_GetHBitmap(Gdiplus::Bitmap* source, ARGB background, int topDown);
// Copies rect (clipped to the bitmap) converted to format into destination, rows
// destinationStride bytes apart, each ((bpp * width + 31) / 32) * 4 bytes long at most.
// bitmap, rect and destination not null. 1 if copied, 0 for an empty clip or a failure.
BOOL Gdiplus_GetBitmapBuffer(Gdiplus::Bitmap* bitmap, const RECT* rect, PixelFormat format, void* destination,
                             int destinationStride);
// Sets alpha to newAlpha for the pixels inside rect (null: whole bitmap) whose alpha is
// within [lowestAlpha, highestAlpha]; colours are kept. Null bitmap: nothing.
void Gdiplus_SetBitmapAlpha(Gdiplus::Bitmap* bitmap, const RECT* rect, BYTE newAlpha, int lowestAlpha,
                            int highestAlpha);
// New region of the pixels whose alpha is at least threshold (possibly empty, never
// null for a readable bitmap); released with DeleteObject. Null for a null bitmap.
HRGN Gdiplus_CreateRgnFromBitmap(Gdiplus::Bitmap* bitmap, BYTE threshold);

// --- drawing -----------------------------------------------------------------------------
// All drawing functions do nothing for a null surface and record failures in it.

// 1 when the low 16 bits of languageId name a right-to-left language (0x0401, 0x040D).
BOOL Gdiplus_GetStringFormat(UINT languageId);
// Draws text (null or empty: nothing) into layout with *color, anti-aliased; format and
// font may be null (defaults). layout and color not null.
void Gdiplus_DrawText(Gdiplus::Graphics* graphics, const char16_t* text, const Gdiplus::RectF* layout,
                      const ARGB* color, const Gdiplus::StringFormat* format, const Gdiplus::Font* font);
// Draws bitmap's source rectangle (null: whole bitmap) into destination by mode:
// 0 crop to fill, 1 fit inside centred, 2 tile (edge tiles compressed), 3 centre
// without scaling, anything else stretch.
void Gdiplus_DrawBitmap(Gdiplus::Graphics* graphics, const RECT* destination, Gdiplus::Bitmap* bitmap,
                        const RECT* source, int mode);
// Draws bitmap with its alpha scaled by alpha / 256: stretched when stretch is not 0,
// else its top-left part centred unscaled.
void Gdiplus_DrawAlphaBitmap(Gdiplus::Graphics* graphics, const RECT* destination, Gdiplus::Bitmap* bitmap,
                             const RECT* source, int stretch, BYTE alpha);
// Fills rect with brush (both not null).
void Gdiplus_FillRect(Gdiplus::Graphics* graphics, const RECT* rect, const Gdiplus::Brush* brush);
// Fills the polygon through count points, even-odd rule; brush not null.
void Gdiplus_FillPolygon(Gdiplus::Graphics* graphics, const POINT* points, int count, const Gdiplus::Brush* brush);
// Strokes rect inset so a pen of penWidth stays penWidth / 2 inside right and bottom.
void Gdiplus_DrawRect(Gdiplus::Graphics* graphics, const RECT* rect, ARGB color, float penWidth);

}  // extern "C"
