#pragma once
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QSize>
#include <QString>

// Draws the presence indicator pictures: a card with a person pictogram in the colour of
// the state and a short caption below it. They fill the indicator control, stretched, so
// they are opaque and keep the control's proportions (57 × 55 dialog units).
class PresencePicturePainter {
public:
    enum class State {
        Nobody,
        Moving,
        Motionless,
    };

    static constexpr QSize kSize{228, 220};

    QImage paint(State state, const QString& caption) const;

private:
    static void paintMotionStreaks(QPainter& painter, const QRectF& figure, const QColor& colour);
    static void paintStillnessWaves(QPainter& painter, const QRectF& figure, const QColor& colour);
};
