#include "ImageCodecs.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <array>

#include "GifEncoder.h"

namespace {

constexpr CLSID encoderClsid(DWORD data1)
{
    return CLSID{data1, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
}

// The class identifiers are the ones callers of the Windows graphics library know.
constexpr std::array<ImageEncoder, 5> kEncoders = {{
    {u"image/bmp", encoderClsid(0x557CF400), "bmp"},
    {u"image/jpeg", encoderClsid(0x557CF401), "jpeg"},
    {u"image/gif", encoderClsid(0x557CF402), nullptr},
    {u"image/tiff", encoderClsid(0x557CF405), "tiff"},
    {u"image/png", encoderClsid(0x557CF406), "png"},
}};

constexpr std::array<const char16_t*, 5> kGeneratedExtensions = {u"bmp", u"jpg", u"gif", u"tif", u"png"};

// Formats accepted from content sniffing; other Qt plugins (TGA, WebP, ...) would take
// files this library must refuse.
bool isSupportedDecoderFormat(const QByteArray& format)
{
    return format == "bmp" || format == "jpeg" || format == "gif" || format == "tiff" || format == "png";
}

QImage decode(QImageReader& reader, Gdiplus::Status* status)
{
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    if (!isSupportedDecoderFormat(reader.format())) {
        *status = Gdiplus::UnknownImageFormat;
        return {};
    }
    QImage image = reader.read();
    if (image.isNull()) {
        *status = Gdiplus::UnknownImageFormat;
        return {};
    }
    *status = Gdiplus::Ok;
    return image;
}

int clampPictureType(int pictureType) { return pictureType >= 1 && pictureType <= 4 ? pictureType : 0; }

}  // namespace

const ImageEncoder* FindImageEncoder(QStringView mimeType)
{
    for (const ImageEncoder& encoder : kEncoders)
        if (mimeType.compare(QStringView(encoder.mimeType), Qt::CaseInsensitive) == 0) return &encoder;
    return nullptr;
}

const char16_t* MimeTypeOfPictureType(int pictureType) { return kEncoders[std::size_t(clampPictureType(pictureType))].mimeType; }

const char16_t* ExtensionOfPictureType(int pictureType)
{
    return kGeneratedExtensions[std::size_t(clampPictureType(pictureType))];
}

int PictureTypeOfExtension(QStringView extension)
{
    const auto is = [&](const char16_t* name) { return extension.compare(QStringView(name), Qt::CaseInsensitive) == 0; };
    if (is(u"bmp")) return PictureTypeBmp;
    if (is(u"jpeg") || is(u"jpg")) return PictureTypeJpeg;
    if (is(u"gif")) return PictureTypeGif;
    if (is(u"tiff")) return PictureTypeTiff;
    return PictureTypePng;
}

QImage DecodePictureFile(const QString& path, Gdiplus::Status* status)
{
    QImageReader reader(path);
    return decode(reader, status);
}

QImage DecodePictureData(const char* data, qsizetype size, Gdiplus::Status* status)
{
    // Read in place: the picture is decoded completely before the call returns.
    QByteArray bytes = QByteArray::fromRawData(data, size);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return decode(reader, status);
}

Gdiplus::Status EncodePictureFile(const QImage& image, const ImageEncoder& encoder, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return Gdiplus::Win32Error;
    if (encoder.qtWriterFormat == nullptr) {
        QByteArray gif;
        if (!GifEncoder::Encode(image, &gif)) {
            file.cancelWriting();
            return Gdiplus::GenericError;
        }
        if (file.write(gif) != gif.size()) {
            file.cancelWriting();
            return Gdiplus::Win32Error;
        }
    } else {
        QImageWriter writer(&file, encoder.qtWriterFormat);
        if (!writer.write(image)) {
            file.cancelWriting();
            return writer.error() == QImageWriter::DeviceError ? Gdiplus::Win32Error : Gdiplus::GenericError;
        }
    }
    return file.commit() ? Gdiplus::Ok : Gdiplus::Win32Error;
}
