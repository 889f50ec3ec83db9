// Saving bitmaps to files and converting picture files between formats.
#include "BitmapFactory.h"
#include "FileUtils.h"
#include "GdiplusApi.h"
#include "ImageCodecs.h"
#include "WideText.h"

using Gdiplus::Bitmap;

namespace {

BOOL saveWithEncoder(Bitmap* bitmap, const ImageEncoder& encoder, const QString& path)
{
    const Gdiplus::Status status = GuardCall(Gdiplus::OutOfMemory, [&] {
        return bitmap->image().isNull() ? Gdiplus::InvalidParameter : EncodePictureFile(bitmap->image(), encoder, path);
    });
    bitmap->RecordStatus(status);
    return status == Gdiplus::Ok ? 1 : 0;
}

}  // namespace

extern "C" BOOL Gdiplus_SaveBitmapToFileW(Bitmap* bitmap, const char16_t* path)
{
    if (bitmap == nullptr) return 0;
    if (path == nullptr || path[0] == 0) {
        bitmap->RecordStatus(Gdiplus::InvalidParameter);
        return 0;
    }
    const int type = Gdiplus_GetPictureTypeByFileNameW(path);
    const ImageEncoder* encoder = FindImageEncoder(QStringView(MimeTypeOfPictureType(type)));
    if (encoder == nullptr) return 0;
    return saveWithEncoder(bitmap, *encoder, WideToQString(path));
}

extern "C" BOOL Gdiplus_SaveBitmapToFileA(Bitmap* bitmap, const char* path)
{
    char16_t widePath[kWidePathChars];
    if (bitmap == nullptr) return 0;
    if (!Utf8PathToWideBuffer(path, widePath)) {
        bitmap->RecordStatus(Gdiplus::FileNotFound);
        return 0;
    }
    return Gdiplus_SaveBitmapToFileW(bitmap, widePath);
}

extern "C" BOOL Gdiplus_ConvertImageFormatW(const char16_t* sourcePath, char16_t* destinationName, int pictureType)
{
    if (sourcePath == nullptr || destinationName == nullptr) return 0;
    // The name is generated first: callers find it in their buffer even when the
    // conversion fails.
    if (GetFileNameByDateW(destinationName, ExtensionOfPictureType(pictureType), u"Temp_", u"", 0, 0, 0,
                           kWidePathChars) == nullptr)
        return 0;
    Bitmap* bitmap = Gdiplus_LoadBitmapFromFileW(sourcePath);
    if (bitmap == nullptr) return 0;
    // The requested type picks the encoder, not the name: "tif" names would mean PNG.
    const ImageEncoder* encoder = FindImageEncoder(QStringView(MimeTypeOfPictureType(pictureType)));
    const BOOL written = encoder != nullptr ? saveWithEncoder(bitmap, *encoder, WideToQString(destinationName)) : 0;
    Gdiplus_DeleteBitmap(bitmap);
    return written;
}

extern "C" BOOL Gdiplus_ConvertImageFormatA(const char* sourcePath, char* destinationName, int pictureType)
{
    if (sourcePath == nullptr || destinationName == nullptr) return 0;
    char16_t wideSource[kWidePathChars];
    // A source path too long for the buffer fails like a missing file.
    Utf8PathToWideBuffer(sourcePath, wideSource);
    // The generated name stays in this buffer: the caller's string may be shorter
    // than a path, so nothing is ever written back into it.
    char16_t wideName[kWidePathChars] = {};
    Utf8PathToWideBuffer(destinationName, wideName);
    return Gdiplus_ConvertImageFormatW(wideSource, wideName, pictureType);
}
