#pragma once
#include <QFont>

class QWidget;

// A widget's font reduced to the two numbers a proportional layout scales, in the
// sense of a Windows LOGFONT: height is minus the character height in pixels (0 when
// the font has no usable size), width is 0 for the face's natural proportions or
// otherwise the character height times the horizontal stretch.
struct FontDescription {
    int height = 0;
    int width = 0;
    // Everything else about the font (families, weight, style) is kept from here.
    QFont face;

    // Describes the font the widget paints with, converting point sizes with the
    // widget's logical DPI.
    static FontDescription FromWidget(const QWidget& widget);

    // The font of this face at the given height and width (same units as above).
    // A height of 0 asks for the application's default character height.
    QFont ToFont(int scaledHeight, int scaledWidth) const;
};
