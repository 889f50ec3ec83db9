#pragma once
#include <QFont>
#include <QString>

// A font of pointTenths / 10 points in face. The faces the chart is set up with
// ("黑体", "宋体") are often not installed, so a face that is missing falls back to
// an installed font with Chinese glyphs rather than to a Latin-only default.
// Sizes are kept within 0.1 .. 1000 points. Needs a QGuiApplication.
QFont MakeWaveFont(int pointTenths, const QString& face);
