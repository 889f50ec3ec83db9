#pragma once
#include "Localised.h"

#include <QFlags>
#include <QRect>

// Control id of controls that are never looked up by id (labels, group boxes).
inline constexpr int kNoControlId = -1;

enum class ControlKind {
    Static,      // text label, or a placeholder for a custom widget
    Button,      // push button
    RadioButton, // automatic radio button
    Edit,        // single-line edit box
    ComboBox,    // drop-down list
    GroupBox,    // titled frame drawn behind its sibling controls
};

enum class ControlStyle {
    Disabled = 0x001,
    TabStop = 0x002,
    Group = 0x004,        // first control of a keyboard group
    Centred = 0x008,      // text centred horizontally
    Right = 0x010,        // text aligned right
    Border = 0x020,       // thin frame around the control
    DropDownList = 0x040, // combo box without an editable field
    VScroll = 0x080,      // vertical scroll bar where the content needs one
    AutoHScroll = 0x100,  // edit text scrolls horizontally instead of stopping at the edge
    Hidden = 0x200,       // not shown at creation
};
Q_DECLARE_FLAGS(ControlStyles, ControlStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(ControlStyles)

// One control of a dialog template. Rectangles are in dialog units; a combo box's
// height is the height of its open list, as in the classic template format.
struct ControlTemplate {
    int id = kNoControlId;
    ControlKind kind = ControlKind::Static;
    ControlStyles styles;
    LocalisedText text;
    Localised<QRect> rect;
};
