#include "DialogBuilder.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace {

// Metric-compatible stand-ins for the template face, then the CJK font the tool installs.
const QStringList kFallbackFaces{QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                                 QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")};

Qt::Alignment textAlignment(ControlStyles styles)
{
    if (styles.testFlag(ControlStyle::Centred))
        return Qt::AlignHCenter | Qt::AlignTop;
    if (styles.testFlag(ControlStyle::Right))
        return Qt::AlignRight | Qt::AlignTop;
    return Qt::AlignLeft | Qt::AlignTop;
}

void applyBorder(QWidget* widget, ControlStyles styles)
{
    if (auto* frame = qobject_cast<QFrame*>(widget); frame && styles.testFlag(ControlStyle::Border)) {
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        frame->setLineWidth(1);
    }
}

// A combo box's template height is that of its open list; the closed box is as tall as
// its font needs, and the list shows as many items as fit in the rest.
void placeComboBox(QComboBox* combo, const QRect& pixels)
{
    const int fieldHeight = std::min(pixels.height(), combo->sizeHint().height());
    combo->setGeometry(pixels.x(), pixels.y(), pixels.width(), fieldHeight);
    const int itemHeight = std::max(1, combo->fontMetrics().height());
    combo->setMaxVisibleItems(std::max(1, (pixels.height() - fieldHeight) / itemHeight));
}

}  // namespace

QFont DialogBuilder::dialogFont(const DialogTemplate& dialogTemplate)
{
    QFont font;
    font.setFamilies(QStringList{dialogTemplate.fontFace} + kFallbackFaces);
    font.setPointSize(dialogTemplate.fontPoints > 0 ? dialogTemplate.fontPoints : 9);
    return font;
}

DialogControls DialogBuilder::build(const DialogTemplate& dialogTemplate, QWidget* dialog) const
{
    DialogControls controls;
    if (!dialog)
        return controls;

    const QFont font = dialogFont(dialogTemplate);
    dialog->setFont(font);
    const DialogUnits units(font);
    applyFrame(dialogTemplate, dialog, units);

    for (const ControlTemplate& control : dialogTemplate.controls) {
        const QString& text = control.text.in(m_language);
        QWidget* widget = m_factory && control.id != kNoControlId ? m_factory(control.id, dialog) : nullptr;
        const bool supplied = widget != nullptr;
        if (supplied) {
            if (widget->parentWidget() != dialog)
                widget->setParent(dialog);
            widget->setGeometry(units.toPixels(control.rect.in(m_language)));
            applyBorder(widget, control.styles);
        } else {
            widget = createStandard(control, text, dialog, units);
        }

        widget->setEnabled(!control.styles.testFlag(ControlStyle::Disabled));
        widget->setVisible(!control.styles.testFlag(ControlStyle::Hidden));
        if (control.id == kNoControlId)
            continue;
        widget->setObjectName(QStringLiteral("control%1").arg(control.id));
        controls.add(control.id, widget);
        if (supplied && !text.isEmpty())
            controls.SetDlgItemText(control.id, text);
    }
    return controls;
}

QWidget* DialogBuilder::createStandard(const ControlTemplate& control, const QString& text, QWidget* dialog,
                                       const DialogUnits& units) const
{
    const QRect pixels = units.toPixels(control.rect.in(m_language));
    const ControlStyles styles = control.styles;
    // Controls outside the tab order still take focus from a click, as dialog controls do.
    const Qt::FocusPolicy focus = styles.testFlag(ControlStyle::TabStop) ? Qt::StrongFocus : Qt::ClickFocus;

    QWidget* widget = nullptr;
    switch (control.kind) {
    case ControlKind::Static: {
        auto* label = new QLabel(text, dialog);
        label->setAlignment(textAlignment(styles));
        label->setTextFormat(Qt::PlainText);
        applyBorder(label, styles);
        widget = label;
        break;
    }
    case ControlKind::Button: {
        auto* button = new QPushButton(text, dialog);
        button->setFocusPolicy(focus);
        widget = button;
        break;
    }
    case ControlKind::RadioButton: {
        auto* radio = new QRadioButton(text, dialog);
        radio->setFocusPolicy(focus);
        widget = radio;
        break;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(text, dialog);
        edit->setFrame(styles.testFlag(ControlStyle::Border));
        edit->setAlignment(textAlignment(styles) & Qt::AlignHorizontal_Mask);
        edit->setFocusPolicy(focus);
        widget = edit;
        break;
    }
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(dialog);
        combo->setEditable(!styles.testFlag(ControlStyle::DropDownList));
        combo->setFocusPolicy(focus);
        placeComboBox(combo, pixels);
        return combo;
    }
    case ControlKind::GroupBox: {
        auto* group = new QGroupBox(text, dialog);
        group->setFocusPolicy(Qt::NoFocus);
        widget = group;
        break;
    }
    }
    widget->setGeometry(pixels);
    return widget;
}

void DialogBuilder::applyFrame(const DialogTemplate& dialogTemplate, QWidget* dialog, const DialogUnits& units) const
{
    const DialogStyles styles = dialogTemplate.styles;
    dialog->setWindowTitle(dialogTemplate.caption.in(m_language));

    const QSize client = units.toPixels(dialogTemplate.size.in(m_language));
    if (styles.testFlag(DialogStyle::Sizing))
        dialog->resize(client);
    else
        dialog->setFixedSize(client);
    if (!dialog->isWindow())
        return;

    // Centring needs nothing: a dialog opens centred over its owner, a top-level window
    // where the window manager puts new windows.
    Qt::WindowFlags flags = dialog->windowFlags() | Qt::CustomizeWindowHint;
    flags.setFlag(Qt::WindowTitleHint, styles.testFlag(DialogStyle::Caption));
    flags.setFlag(Qt::WindowSystemMenuHint, styles.testFlag(DialogStyle::SysMenu));
    flags.setFlag(Qt::WindowCloseButtonHint, styles.testFlag(DialogStyle::SysMenu));
    flags.setFlag(Qt::WindowMinimizeButtonHint, styles.testFlag(DialogStyle::Minimize));
    flags.setFlag(Qt::WindowMaximizeButtonHint, styles.testFlag(DialogStyle::Maximize));
    dialog->setWindowFlags(flags);
}
