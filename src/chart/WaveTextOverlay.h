#pragma once
#include <QFont>
#include <QString>

#include "WinTypes.h"

// A text drawn over the plot background, re-rendered with it.
struct WaveTextOverlay {
    QString text;
    // Client rectangle; empty means the whole plot. Only its part inside the plot is used.
    RECT layout;
    QFont font;
    // Qt alignment and text flags, e.g. Qt::AlignCenter | Qt::TextWordWrap.
    int flags = 0;
    // 0xAARRGGBB; the alpha byte blends the text over the background.
    DWORD argb = 0xFF000000;
};
