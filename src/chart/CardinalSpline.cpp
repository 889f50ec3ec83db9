#include "CardinalSpline.h"

#include <QPointF>

QPainterPath MakeCardinalSpline(const QPoint* points, int count, double tension)
{
    QPainterPath path;
    if (!points || count < 2)
        return path;
    // Bézier control points lie a third of the Hermite tangent away from each point.
    const double k = tension / 3.0;
    path.moveTo(points[0]);
    for (int i = 0; i + 1 < count; ++i) {
        const QPointF before = points[i > 0 ? i - 1 : 0];
        const QPointF from = points[i];
        const QPointF to = points[i + 1];
        const QPointF after = points[i + 2 < count ? i + 2 : count - 1];
        path.cubicTo(from + k * (to - before), to - k * (after - from), to);
    }
    return path;
}
