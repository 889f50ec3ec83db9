#pragma once
#include <QColor>

#include "WinTypes.h"

// The desktop's colours by their Windows indexes, taken from the application palette
// so that painted controls match the widgets around them.
class CSysColors {
public:
    static constexpr int kBtnFace = 15;  // COLOR_BTNFACE: dialog and button background
    static constexpr int kBtnText = 18;  // COLOR_BTNTEXT

    // The colour as COLORREF (0x00BBGGRR); black for an unknown index.
    static COLORREF Get(int index);

    // Colours of window controls become opaque wherever they are painted.
    static QColor ToOpaqueColor(COLORREF color);
    static COLORREF FromColor(const QColor& color);
};
