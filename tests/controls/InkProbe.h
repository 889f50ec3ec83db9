#pragma once
// Reads what a control painted: where pixels differ from the background.
#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>

#include <cstdlib>

// The control as painted, at one image pixel per widget pixel.
inline QImage Rendered(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

// True when the pixel clearly differs from colour (anti-aliasing fringe excluded).
inline bool IsInk(QRgb pixel, QColor background, int threshold = 96)
{
    return std::abs(qRed(pixel) - background.red()) > threshold
           || std::abs(qGreen(pixel) - background.green()) > threshold
           || std::abs(qBlue(pixel) - background.blue()) > threshold;
}

// Bounding box of the ink inside area (the whole image when null); null when none.
inline QRect InkBounds(const QImage& image, QColor background, QRect area = QRect())
{
    if (area.isNull())
        area = image.rect();
    area &= image.rect();
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (IsInk(image.pixel(x, y), background))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// Number of pixels that exactly have colour.
inline int CountColour(const QImage& image, QColor colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & 0xFFFFFFu) == (colour.rgb() & 0xFFFFFFu);
    return count;
}
