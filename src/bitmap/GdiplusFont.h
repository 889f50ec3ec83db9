#pragma once
#include <QFont>
#include <QString>

#include "GdiplusTypes.h"

namespace Gdiplus {

enum FontStyle : INT {
    FontStyleRegular = 0,
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8
};

// A text font over a QFont.
class Font {
public:
    explicit Font(const QFont& font) : font_(font) {}
    // family (UTF-16, may be null: the default family) at pixelSize pixels.
    Font(const char16_t* family, REAL pixelSize, INT style = FontStyleRegular)
    {
        if (family != nullptr) font_.setFamily(QString::fromUtf16(family));
        if (pixelSize >= 1) font_.setPixelSize(int(pixelSize + 0.5f));
        font_.setBold((style & FontStyleBold) != 0);
        font_.setItalic((style & FontStyleItalic) != 0);
        font_.setUnderline((style & FontStyleUnderline) != 0);
        font_.setStrikeOut((style & FontStyleStrikeout) != 0);
    }
    const QFont& qfont() const { return font_; }

private:
    QFont font_;
};

}  // namespace Gdiplus
