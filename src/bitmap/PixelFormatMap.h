#pragma once
// Which Qt image format holds which pixel format, and the palettes new indexed
// bitmaps start with.
#include <QImage>
#include <QList>

#include "GdiplusTypes.h"

// The Qt format with the same memory layout as format, or Format_Invalid when Qt has
// none (4-bit, 1555, 48- and 64-bit).
QImage::Format QtFormatOfPixelFormat(PixelFormat format);
// The inverse; PixelFormatUndefined for Qt formats that have no pixel format.
PixelFormat PixelFormatOfQtFormat(QImage::Format format);
// decoded converted to the nearest format that has a pixel format: alpha to 32bppARGB,
// grey to an 8-bit grey palette, other colour to 24bppRGB; mapped formats stay as they are.
QImage NormalizeDecodedImage(const QImage& decoded);
// Palette of a new 8-bit bitmap: the 6x6x6 colour cube, then a grey ramp.
const QList<QRgb>& DefaultPalette8();
// Palette of a new 1-bit bitmap: black, white.
const QList<QRgb>& DefaultPalette1();
// image in format; an indexed target uses palette (when not empty) for its colours.
QImage ConvertImage(const QImage& image, QImage::Format format, const QList<QRgb>& palette = {});
// Bytes of one row of width pixels of format, without padding; -1 on overflow.
qsizetype PackedRowBytes(PixelFormat format, qint64 width);
