#pragma once
#include <QImage>
#include <QSize>
#include <QString>

// Draws the background picture of the distance chart, stretched by the chart over its plot
// area: a white field between blue side edges and an orange bottom edge, light vertical
// lines at the thirds (every 5 s of the 15 s window), dashed horizontal lines at the quarters
// (every 200 cm of 800), the distance unit at the top left and the time unit at the bottom right.
class ChartBackgroundPainter {
public:
    static constexpr QSize kSize{1156, 500};

    QImage paint(const QString& rangeCaption, const QString& timeCaption) const;
};
