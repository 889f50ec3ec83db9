#pragma once
#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

#include "StringFormat.h"

class QPainter;
class QPaintDevice;

// Lays text out in a rectangle as CColorStatic shows it: CR, LF and CRLF break
// lines, long lines wrap at word boundaries (or anywhere when a word alone is too
// wide), and nothing is drawn outside the rectangle.
class CStringPainter {
public:
    // Height of the text's bounding box when laid out at the given width with no
    // string format: the sum of its wrapped line heights; 0 for an empty text.
    static double MeasureHeight(const QString& text, const QFont& font, double width,
                                QPaintDevice* device = nullptr);

    // Draws the text anti-aliased in colour, aligned in rect by format.
    static void Draw(QPainter& painter, const QString& text, const QFont& font, const QRectF& rect,
                     const StringFormat& format, const QColor& color);
};
