#pragma once
#include <QFont>
#include <QPointer>
#include <QWidget>

#include <optional>

#include "FontDescription.h"

// What CWndResizeTool remembers about one child widget. Coordinates are those of
// the child's geometry in its own parent, right and bottom exclusive.
struct ResizeItem {
    // Becomes null when the child is destroyed, which is how the tool skips it.
    QPointer<QWidget> window;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    // The font last given to the child by the tool; empty until the first scaling.
    std::optional<QFont> scaledFont;
    // The child's font as recorded; every scaling starts from this.
    FontDescription font;
};
