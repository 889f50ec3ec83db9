#include "SysColors.h"

#include <QGuiApplication>
#include <QPalette>

COLORREF CSysColors::Get(int index)
{
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
    case kBtnFace:
        // A Windows button face is the dialog's own background.
        return FromColor(palette.color(QPalette::Active, QPalette::Window));
    case kBtnText:
        return FromColor(palette.color(QPalette::Active, QPalette::ButtonText));
    default:
        return RGB(0, 0, 0);
    }
}

QColor CSysColors::ToOpaqueColor(COLORREF color)
{
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

COLORREF CSysColors::FromColor(const QColor& color)
{
    const QRgb rgb = color.rgb();
    return RGB(BYTE(qRed(rgb)), BYTE(qGreen(rgb)), BYTE(qBlue(rgb)));
}
