#pragma once
// The picture formats the bitmap functions read and write: the encoder table (MIME
// type, class identifier), the picture-type numbering, decoding and encoding.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringView>

#include "GdiplusTypes.h"

struct ImageEncoder {
    const char16_t* mimeType;
    CLSID clsid;
    // Qt's writer name; null for GIF, which GifEncoder writes.
    const char* qtWriterFormat;
};

// The first encoder, in table order (BMP, JPEG, GIF, TIFF, PNG), whose MIME type equals
// mimeType ignoring case; null when none does.
const ImageEncoder* FindImageEncoder(QStringView mimeType);
// MIME type and generated-name extension of a picture type; values other than 1-4 are BMP.
const char16_t* MimeTypeOfPictureType(int pictureType);
const char16_t* ExtensionOfPictureType(int pictureType);
// Picture type of a file-name extension given without its dot.
int PictureTypeOfExtension(QStringView extension);

// Decodes the first picture of a BMP, JPEG, GIF, TIFF or PNG file, told apart by
// content; a null image (and the reason in *status) for anything else or a damaged file.
QImage DecodePictureFile(const QString& path, Gdiplus::Status* status);
// The same over bytes that only need to stay valid during the call.
QImage DecodePictureData(const char* data, qsizetype size, Gdiplus::Status* status);
// Writes image to path with encoder; an existing file is replaced only once the new one
// is complete. Ok, Win32Error (file), or the encoder's failure.
Gdiplus::Status EncodePictureFile(const QImage& image, const ImageEncoder& encoder, const QString& path);
