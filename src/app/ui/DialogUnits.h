#pragma once
#include <QFont>
#include <QRect>
#include <QSize>

// Converts dialog units to pixels for one dialog font. A horizontal unit is a quarter of the
// font's average character width (baseX), a vertical unit an eighth of its height (baseY),
// so a template keeps its proportions to its text whatever font and screen it meets.
class DialogUnits {
public:
    // Base units measured from font on the screen it will be shown on.
    explicit DialogUnits(const QFont& font);
    DialogUnits(int baseX, int baseY) : m_baseX(baseX), m_baseY(baseY) {}

    int baseX() const { return m_baseX; }
    int baseY() const { return m_baseY; }

    // x × baseX / 4 and y × baseY / 8, rounded to the nearest pixel (halves away from zero).
    int toPixelsX(int units) const;
    int toPixelsY(int units) const;
    // Each of position and size is converted on its own, as dialog templates are laid out.
    QRect toPixels(const QRect& units) const;
    QSize toPixels(const QSize& units) const;

private:
    int m_baseX = 0;
    int m_baseY = 0;
};
