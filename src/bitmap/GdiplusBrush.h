#pragma once
#include <QBrush>

#include "GdiplusTypes.h"

namespace Gdiplus {

// What fills take: any QBrush (solid, gradient, texture).
class Brush {
public:
    explicit Brush(const QBrush& brush) : brush_(brush) {}
    virtual ~Brush() = default;
    const QBrush& qbrush() const { return brush_; }

private:
    QBrush brush_;
};

// A brush of one ARGB colour.
class SolidBrush : public Brush {
public:
    explicit SolidBrush(ARGB color) : Brush(QBrush(QColor::fromRgba(color))) {}
};

}  // namespace Gdiplus
