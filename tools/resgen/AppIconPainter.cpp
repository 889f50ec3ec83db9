#include "AppIconPainter.h"

#include "PersonFigure.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPen>

QImage AppIconPainter::paint() const
{
    QImage image(kSize, kSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF tile(8, 8, kSize - 16, kSize - 16);
    QLinearGradient fill(tile.topLeft(), tile.bottomRight());
    fill.setColorAt(0.0, QColor(0x1E, 0xA7, 0xF0));
    fill.setColorAt(1.0, QColor(0x0B, 0x5F, 0xB8));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(tile, 48, 48);

    // Waves leave the sensor at the left edge and reach the person on the right.
    const QPointF sensor(tile.left() + 34, tile.center().y());
    painter.setBrush(QColor(0xFF, 0xFF, 0xFF));
    painter.drawEllipse(sensor, 14, 14);
    const int alphas[] = {255, 200, 140};
    for (int i = 0; i < 3; ++i) {
        const double r = 44 + i * 30;
        painter.setPen(QPen(QColor(0xFF, 0xFF, 0xFF, alphas[i]), 13, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(QRectF(sensor.x() - r, sensor.y() - r, 2 * r, 2 * r), -40 * 16, 80 * 16);
    }

    const QRectF person(tile.right() - 92, tile.top() + 46, 74, 148);
    PersonFigure(PersonFigure::Pose::Standing).draw(painter, person, QColor(0xFF, 0xB3, 0x40));
    return image;
}
