// Loading bitmaps from files, resources, encoded bytes and raw pixel rows.
#include <QFile>
#include <climits>
#include <cstdint>

#include "BitmapFactory.h"
#include "FileUtils.h"
#include "GdiplusApi.h"
#include "ImageCodecs.h"
#include "WideText.h"

using Gdiplus::Bitmap;

namespace {

Bitmap* bitmapFromDecoded(const QImage& decoded)
{
    if (decoded.isNull()) return nullptr;
    return NewBitmap(decoded);
}

// ":/res/<TYPE>/<id>"; a type below 0x10000 is a number passed as a pointer.
QString resourcePath(const void* type, const QString& typeName, int id)
{
    const auto numericType = reinterpret_cast<std::uintptr_t>(type);
    const QString typePart = numericType < 0x10000 ? QStringLiteral("#%1").arg(numericType) : typeName.toUpper();
    return QStringLiteral(":/res/%1/%2").arg(typePart).arg(id & 0xFFFF);
}

bool isNumericType(const void* type) { return reinterpret_cast<std::uintptr_t>(type) < 0x10000; }

Bitmap* loadResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return nullptr;
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty() || bytes.size() > qsizetype(UINT_MAX)) return nullptr;
    return Gdiplus_LoadBitmapFromData(bytes.constData(), UINT(bytes.size()));
}

}  // namespace

extern "C" Bitmap* Gdiplus_LoadBitmapFromFileW(const char16_t* path)
{
    if (path == nullptr || IsFileExistW(path) == 0) return nullptr;
    return GuardCall<Bitmap*>(nullptr, [&] {
        Gdiplus::Status status = Gdiplus::Ok;
        return bitmapFromDecoded(DecodePictureFile(WideToQString(path), &status));
    });
}

extern "C" Bitmap* Gdiplus_LoadBitmapFromFileA(const char* path)
{
    char16_t widePath[kWidePathChars];
    if (!Utf8PathToWideBuffer(path, widePath)) return nullptr;
    return Gdiplus_LoadBitmapFromFileW(widePath);
}

extern "C" Bitmap* Gdiplus_LoadBitmapFromResourceW(HINSTANCE, const char16_t* type, int id)
{
    if (type == nullptr || id == 0) return nullptr;
    return GuardCall<Bitmap*>(nullptr, [&] {
        const QString name = isNumericType(type) ? QString() : WideToQString(type);
        return loadResource(resourcePath(type, name, id));
    });
}

extern "C" Bitmap* Gdiplus_LoadBitmapFromResourceA(HINSTANCE, const char* type, int id)
{
    if (type == nullptr || id < 1) return nullptr;
    return GuardCall<Bitmap*>(nullptr, [&] {
        const QString name = isNumericType(type) ? QString() : QString::fromUtf8(type);
        return loadResource(resourcePath(type, name, id));
    });
}

extern "C" Bitmap* Gdiplus_LoadBitmapFromData(const void* data, UINT size)
{
    if (data == nullptr || size == 0) return nullptr;
    return GuardCall<Bitmap*>(nullptr, [&] {
        Gdiplus::Status status = Gdiplus::Ok;
        return bitmapFromDecoded(DecodePictureData(static_cast<const char*>(data), qsizetype(size), &status));
    });
}

extern "C" Bitmap* Gdiplus_LoadBitmapFromImageBits(void* pixels, UINT width, UINT height, int stride,
                                                   PixelFormat format)
{
    if (pixels == nullptr || width == 0 || height == 0 || stride == 0) return nullptr;
    if (width > INT_MAX || height > INT_MAX) return nullptr;
    return GuardCall<Bitmap*>(nullptr, [&] {
        return NewBitmap(INT(width), INT(height), INT(stride), format, static_cast<BYTE*>(pixels));
    });
}
