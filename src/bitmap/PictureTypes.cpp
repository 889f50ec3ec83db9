// Picture types of file names, and encoder class identifiers by MIME type.
#include <QString>

#include "FileUtils.h"
#include "GdiplusApi.h"
#include "ImageCodecs.h"

namespace {
constexpr int kExtensionChars = 260;
}  // namespace

extern "C" int Gdiplus_GetPictureTypeByFileNameW(const char16_t* fileName)
{
    if (fileName == nullptr) return PictureTypePng;
    char16_t extension[kExtensionChars] = {};
    GetFileExtNameW(fileName, extension, kExtensionChars);
    extension[kExtensionChars - 1] = 0;
    return PictureTypeOfExtension(QStringView(extension));
}

extern "C" int Gdiplus_GetPictureTypeByFileNameA(const char* fileName)
{
    if (fileName == nullptr) return PictureTypePng;
    char extension[kExtensionChars] = {};
    GetFileExtNameA(fileName, extension, kExtensionChars);
    extension[kExtensionChars - 1] = 0;
    return PictureTypeOfExtension(QString::fromUtf8(extension));
}

extern "C" BOOL Gdiplus_GetEncoderClsidByFormatTypeW(const char16_t* mimeType, CLSID* clsidOut)
{
    if (mimeType == nullptr || clsidOut == nullptr) return 0;
    const ImageEncoder* encoder = FindImageEncoder(QStringView(mimeType));
    if (encoder == nullptr) return 0;
    *clsidOut = encoder->clsid;
    return 1;
}

extern "C" BOOL Gdiplus_GetEncoderClsidByFormatTypeA(const char* mimeType, CLSID* clsidOut)
{
    if (mimeType == nullptr) return 0;
    const QString wide = QString::fromUtf8(mimeType);
    return Gdiplus_GetEncoderClsidByFormatTypeW(reinterpret_cast<const char16_t*>(wide.utf16()), clsidOut);
}

extern "C" BOOL Gdiplus_GetEncoderClsidByPictureType(int pictureType, CLSID* clsidOut)
{
    return Gdiplus_GetEncoderClsidByFormatTypeW(MimeTypeOfPictureType(pictureType), clsidOut);
}
