#include "PixelFormatMap.h"

#include <limits>

namespace {

struct FormatPair {
    PixelFormat pixelFormat;
    QImage::Format qtFormat;
};

// 24bppRGB keeps blue first in memory (BGR888); 16-bit formats are little-endian words
// with the same bit fields on both sides.
constexpr FormatPair kFormatPairs[] = {
    {PixelFormat1bppIndexed, QImage::Format_Mono},
    {PixelFormat8bppIndexed, QImage::Format_Indexed8},
    {PixelFormat16bppGrayScale, QImage::Format_Grayscale16},
    {PixelFormat16bppRGB555, QImage::Format_RGB555},
    {PixelFormat16bppRGB565, QImage::Format_RGB16},
    {PixelFormat24bppRGB, QImage::Format_BGR888},
    {PixelFormat32bppRGB, QImage::Format_RGB32},
    {PixelFormat32bppARGB, QImage::Format_ARGB32},
    {PixelFormat32bppPARGB, QImage::Format_ARGB32_Premultiplied},
};

QList<QRgb> makePalette8()
{
    QList<QRgb> palette;
    palette.reserve(256);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) palette.append(qRgb(r * 51, g * 51, b * 51));
    const int greys = 256 - int(palette.size());
    for (int i = 0; i < greys; ++i) {
        const int v = (i + 1) * 255 / (greys + 1);
        palette.append(qRgb(v, v, v));
    }
    return palette;
}

QList<QRgb> greyPalette()
{
    QList<QRgb> palette;
    palette.reserve(256);
    for (int v = 0; v < 256; ++v) palette.append(qRgb(v, v, v));
    return palette;
}

}  // namespace

QImage::Format QtFormatOfPixelFormat(PixelFormat format)
{
    for (const FormatPair& pair : kFormatPairs)
        if (pair.pixelFormat == format) return pair.qtFormat;
    return QImage::Format_Invalid;
}

PixelFormat PixelFormatOfQtFormat(QImage::Format format)
{
    for (const FormatPair& pair : kFormatPairs)
        if (pair.qtFormat == format) return pair.pixelFormat;
    return PixelFormatUndefined;
}

QImage NormalizeDecodedImage(const QImage& decoded)
{
    if (decoded.isNull()) return decoded;
    const QImage::Format format = decoded.format();
    if (format == QImage::Format_Grayscale8) {
        QImage indexed = decoded.convertToFormat(QImage::Format_Indexed8, greyPalette());
        return indexed;
    }
    if (format == QImage::Format_MonoLSB) return decoded.convertToFormat(QImage::Format_Mono);
    // Qt decodes opaque colour as 32-bit xRGB; pictures without alpha are 24-bit here.
    if (format == QImage::Format_RGB32) return decoded.convertToFormat(QImage::Format_BGR888);
    if (PixelFormatOfQtFormat(format) != PixelFormatUndefined) return decoded;
    if (decoded.hasAlphaChannel()) return decoded.convertToFormat(QImage::Format_ARGB32);
    return decoded.convertToFormat(QImage::Format_BGR888);
}

const QList<QRgb>& DefaultPalette8()
{
    static const QList<QRgb> palette = makePalette8();
    return palette;
}

const QList<QRgb>& DefaultPalette1()
{
    static const QList<QRgb> palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    return palette;
}

qsizetype PackedRowBytes(PixelFormat format, qint64 width)
{
    const qint64 bits = qint64(GetPixelFormatSize(format)) * width;
    if (width < 0 || bits / 8 > std::numeric_limits<qsizetype>::max() - 1) return -1;
    return qsizetype((bits + 7) / 8);
}

QImage ConvertImage(const QImage& image, QImage::Format format, const QList<QRgb>& palette)
{
    if (image.format() == format) return image;
    const bool indexed = format == QImage::Format_Indexed8 || format == QImage::Format_Mono ||
                         format == QImage::Format_MonoLSB;
    if (indexed && !palette.isEmpty()) return image.convertToFormat(format, palette);
    return image.convertToFormat(format);
}
