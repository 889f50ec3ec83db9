#pragma once
#include <QPainterPath>
#include <QPoint>

// The cardinal spline through count points as cubic Bézier segments. With the
// default tension of 0.5 each tangent is half the chord between the neighbours
// (a Catmull-Rom curve); the end points use themselves as the missing neighbour.
// Fewer than two points give an empty path.
inline constexpr double kDefaultSplineTension = 0.5;
QPainterPath MakeCardinalSpline(const QPoint* points, int count, double tension = kDefaultSplineTension);
