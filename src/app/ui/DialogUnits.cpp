#include "DialogUnits.h"

#include <QFontMetrics>

#include <cstdint>

namespace {

// value × numerator / denominator rounded half away from zero, without overflow for any int.
int scaleRounded(int value, int numerator, int denominator)
{
    const std::int64_t product = std::int64_t(value) * numerator;
    const std::int64_t half = denominator / 2;
    return int(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font)
{
    // The average width is that of the 52 Latin letters, rounded to whole pixels, which
    // is how dialog base units have always been measured.
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = (letters / 26 + 1) / 2;
    m_baseY = metrics.height();
}

int DialogUnits::toPixelsX(int units) const
{
    return scaleRounded(units, m_baseX, 4);
}

int DialogUnits::toPixelsY(int units) const
{
    return scaleRounded(units, m_baseY, 8);
}

QRect DialogUnits::toPixels(const QRect& units) const
{
    return QRect(toPixelsX(units.x()), toPixelsY(units.y()), toPixelsX(units.width()), toPixelsY(units.height()));
}

QSize DialogUnits::toPixels(const QSize& units) const
{
    return QSize(toPixelsX(units.width()), toPixelsY(units.height()));
}
