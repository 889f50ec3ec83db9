#pragma once
#include <QImage>

// Draws the application icon: a person and radar waves on a blue tile, with transparent corners.
class AppIconPainter {
public:
    static constexpr int kSize = 256;

    QImage paint() const;
};
