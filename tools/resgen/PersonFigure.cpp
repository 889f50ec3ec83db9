#include "PersonFigure.h"

#include <QPainterPath>
#include <QPen>

#include <initializer_list>

namespace {

constexpr double kStroke = 0.115;      // limb thickness, in figure heights
constexpr double kHeadRadius = 0.095;


QPainterPath limbPath(const QRectF& box, std::initializer_list<QPointF> joints)
{
    QPainterPath path;
    bool first = true;
    for (const QPointF& joint : joints) {
        const QPointF point = PersonFigure::at(box, joint.x(), joint.y());
        if (first)
            path.moveTo(point);
        else
            path.lineTo(point);
        first = false;
    }
    return path;
}

}  // namespace

QPointF PersonFigure::at(const QRectF& box, double x, double y)
{
    return QPointF(box.center().x() + x * box.height(), box.top() + y * box.height());
}

void PersonFigure::draw(QPainter& painter, const QRectF& box, const QColor& colour) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour, kStroke * box.height(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);

    QPointF head;
    if (m_pose == Pose::Standing) {
        head = QPointF(0.0, kHeadRadius);
        painter.drawPath(limbPath(box, {{0.0, 0.29}, {0.0, 0.58}}));                  // torso
        painter.drawPath(limbPath(box, {{-0.03, 0.30}, {-0.15, 0.43}, {-0.20, 0.58}})); // arms
        painter.drawPath(limbPath(box, {{0.03, 0.30}, {0.15, 0.43}, {0.20, 0.58}}));
        painter.drawPath(limbPath(box, {{-0.02, 0.60}, {-0.08, 0.78}, {-0.10, 0.94}})); // legs
        painter.drawPath(limbPath(box, {{0.02, 0.60}, {0.08, 0.78}, {0.10, 0.94}}));
    } else {
        head = QPointF(0.07, kHeadRadius);
        painter.drawPath(limbPath(box, {{0.04, 0.29}, {-0.01, 0.58}}));               // leaning torso
        painter.drawPath(limbPath(box, {{0.04, 0.31}, {0.15, 0.43}, {0.26, 0.47}}));  // front arm
        painter.drawPath(limbPath(box, {{0.03, 0.31}, {-0.07, 0.44}, {-0.18, 0.52}})); // back arm
        painter.drawPath(limbPath(box, {{-0.01, 0.59}, {0.12, 0.75}, {0.20, 0.93}}));  // front leg
        painter.drawPath(limbPath(box, {{-0.01, 0.59}, {-0.09, 0.77}, {-0.25, 0.89}})); // back leg
    }

    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const double headRadius = kHeadRadius * box.height();
    painter.drawEllipse(at(box, head.x(), head.y()), headRadius, headRadius);
    painter.restore();
}
