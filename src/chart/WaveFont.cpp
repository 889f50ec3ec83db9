#include "WaveFont.h"

#include <QFontDatabase>
#include <QStringList>
#include <algorithm>

QFont MakeWaveFont(int pointTenths, const QString& face)
{
    QStringList families;
    if (!face.isEmpty())
        families.append(face);
    if (face.isEmpty() || !QFontDatabase::hasFamily(face)) {
        const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        if (!chinese.isEmpty())
            families.append(chinese.first());
    }
    QFont font;
    if (!families.isEmpty())
        font.setFamilies(families);
    font.setPointSizeF(std::clamp(pointTenths, 1, 10000) / 10.0);
    return font;
}
