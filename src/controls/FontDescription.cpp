#include "FontDescription.h"

#include <QGuiApplication>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Beyond this no screen shows a glyph whole; the cap keeps absurd scale factors
// from asking the font engine for gigantic glyphs.
constexpr int kMaxPixelSize = 4096;
constexpr int kMaxStretch = 4000;  // QFont's own upper bound

int PixelHeightOf(const QFont& font, int logicalDpiY)
{
    if (font.pixelSize() > 0)
        return font.pixelSize();
    if (font.pointSizeF() > 0 && logicalDpiY > 0)
        return int(std::lround(font.pointSizeF() * logicalDpiY / 72.0));
    return 0;
}

}  // namespace

FontDescription FontDescription::FromWidget(const QWidget& widget)
{
    FontDescription description;
    description.face = widget.font();
    const int pixels = std::min(PixelHeightOf(description.face, widget.logicalDpiY()), kMaxPixelSize);
    description.height = -pixels;
    const int stretch = description.face.stretch();
    if (pixels > 0 && stretch != QFont::AnyStretch && stretch != QFont::Unstretched)
        description.width = int(std::lround(double(pixels) * stretch / 100.0));
    return description;
}

QFont FontDescription::ToFont(int scaledHeight, int scaledWidth) const
{
    QFont font = face;
    const int pixels = std::min(std::abs(scaledHeight), kMaxPixelSize);
    if (pixels > 0) {
        font.setPixelSize(pixels);
    } else {
        const QFont fallback = QGuiApplication::font();
        if (fallback.pixelSize() > 0)
            font.setPixelSize(fallback.pixelSize());
        else
            font.setPointSizeF(fallback.pointSizeF());
    }
    if (scaledWidth == 0 || pixels == 0) {
        // Natural proportions, as a zero width asks for.
        font.setStretch(QFont::AnyStretch);
    } else {
        const double stretch = 100.0 * std::abs(double(scaledWidth)) / pixels;
        font.setStretch(int(std::clamp(std::lround(stretch), 1L, long(kMaxStretch))));
    }
    return font;
}
