#pragma once
#include <QColor>
#include <QPainter>
#include <QRectF>

// A person pictogram of round-capped strokes, drawn into a box whose height is the
// figure's height (head to feet) and whose width is about half of it.
class PersonFigure {
public:
    enum class Pose {
        Standing,
        Walking,
    };

    explicit PersonFigure(Pose pose) : m_pose(pose) {}

    void draw(QPainter& painter, const QRectF& box, const QColor& colour) const;

    // Point of the figure (x from -0.5 to 0.5 of the height around the centre line,
    // y from 0 at the top of the head to 1 at the feet) in box coordinates.
    static QPointF at(const QRectF& box, double x, double y);

private:
    Pose m_pose;
};
