#include "PresencePicturePainter.h"

#include "PersonFigure.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

// The window colour around the card, so that its rounded corners blend into the dialog.
const QColor kFace(0xEF, 0xEF, 0xEF);

struct Palette {
    QColor figure;
    QColor caption;
    QColor halo;
};

Palette paletteOf(PresencePicturePainter::State state)
{
    switch (state) {
    case PresencePicturePainter::State::Moving:
        return {QColor(0xF0, 0x84, 0x1A), QColor(0xB8, 0x5A, 0x00), QColor(0xF0, 0x84, 0x1A)};
    case PresencePicturePainter::State::Motionless:
        return {QColor(0x22, 0x9A, 0x55), QColor(0x17, 0x6E, 0x3C), QColor(0x22, 0x9A, 0x55)};
    case PresencePicturePainter::State::Nobody:
        break;
    }
    return {QColor(0xA7, 0xAD, 0xB4), QColor(0x80, 0x87, 0x8F), QColor(0xA7, 0xAD, 0xB4)};
}

QColor withAlpha(QColor colour, int alpha)
{
    colour.setAlpha(alpha);
    return colour;
}

}  // namespace

QImage PresencePicturePainter::paint(State state, const QString& caption) const
{
    const Palette palette = paletteOf(state);
    QImage image(kSize, QImage::Format_ARGB32);
    image.fill(kFace);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    // Card.
    const QRectF card = QRectF(image.rect()).adjusted(5, 5, -5, -5);
    QLinearGradient cardFill(card.topLeft(), card.bottomLeft());
    cardFill.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
    cardFill.setColorAt(1.0, QColor(0xF3, 0xF5, 0xF7));
    painter.setPen(QPen(withAlpha(palette.halo, 110), 3));
    painter.setBrush(cardFill);
    painter.drawRoundedRect(card, 20, 20);

    // Halo behind the figure.
    const QPointF centre(card.center().x(), card.top() + 86);
    const double haloRadius = 68;
    QRadialGradient halo(centre, haloRadius);
    halo.setColorAt(0.0, withAlpha(palette.halo, 70));
    halo.setColorAt(0.8, withAlpha(palette.halo, 30));
    halo.setColorAt(1.0, withAlpha(palette.halo, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(halo);
    painter.drawEllipse(centre, haloRadius, haloRadius);

    const QRectF figure(centre.x() - 34, centre.y() - 58, 68, 116);
    if (state == State::Moving)
        paintMotionStreaks(painter, figure, palette.figure);
    if (state == State::Motionless)
        paintStillnessWaves(painter, figure, palette.figure);
    PersonFigure(state == State::Moving ? PersonFigure::Pose::Walking : PersonFigure::Pose::Standing)
        .draw(painter, figure, palette.figure);

    // Caption.
    QFont font;
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(26);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(palette.caption);
    const QRectF captionBox(card.left(), card.bottom() - 50, card.width(), 40);
    painter.drawText(captionBox, Qt::AlignCenter, caption);
    return image;
}

void PresencePicturePainter::paintMotionStreaks(QPainter& painter, const QRectF& figure, const QColor& colour)
{
    // Speed lines trailing behind the walker, shorter and fainter further out.
    const struct {
        double y;
        double length;
        int alpha;
    } streaks[] = {{0.36, 0.30, 200}, {0.52, 0.38, 150}, {0.68, 0.26, 110}};
    painter.save();
    for (const auto& streak : streaks) {
        painter.setPen(QPen(withAlpha(colour, streak.alpha), 0.06 * figure.height(), Qt::SolidLine, Qt::RoundCap));
        const QPointF end = PersonFigure::at(figure, -0.30, streak.y);
        painter.drawLine(end, end - QPointF(streak.length * figure.height(), 0));
    }
    painter.restore();
}

void PresencePicturePainter::paintStillnessWaves(QPainter& painter, const QRectF& figure, const QColor& colour)
{
    // Small arcs on both sides: the radar still sees the slight motion of a person at rest.
    const QPointF chest = PersonFigure::at(figure, 0.0, 0.42);
    painter.save();
    painter.setBrush(Qt::NoBrush);
    const struct {
        double radius;
        int alpha;
    } waves[] = {{0.36, 210}, {0.50, 140}};
    for (const auto& wave : waves) {
        const double r = wave.radius * figure.height();
        painter.setPen(QPen(withAlpha(colour, wave.alpha), 0.05 * figure.height(), Qt::SolidLine, Qt::RoundCap));
        const QRectF circle(chest.x() - r, chest.y() - r, 2 * r, 2 * r);
        painter.drawArc(circle, -35 * 16, 70 * 16);       // right side
        painter.drawArc(circle, 145 * 16, 70 * 16);       // left side
    }
    painter.restore();
}
