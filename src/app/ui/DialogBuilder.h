#pragma once
#include "DialogControls.h"
#include "DialogTemplate.h"
#include "DialogUnits.h"
#include "UiLanguage.h"

#include <QFont>
#include <QWidget>

#include <functional>

// Turns a dialog template into widgets on a dialog widget, in one language.
//
//   DialogBuilder builder(StringTable::language());
//   builder.setWidgetFactory([](int id, QWidget* parent) -> QWidget* {
//       return id == 1500 ? new CWaveWnd(parent) : nullptr;   // null: the standard widget
//   });
//   DialogControls controls = builder.build(*DialogTemplate::fromResource(1000), this);
//
// The dialog gets the template's font, caption, client size and frame; each control
// becomes a standard widget (QLabel, QPushButton, QRadioButton, QLineEdit, QComboBox,
// QGroupBox), created in template order so that tab order follows the template.
class DialogBuilder {
public:
    // Supplies the widget for a control id, parented to parent, or null for the standard one.
    using WidgetFactory = std::function<QWidget*(int id, QWidget* parent)>;

    explicit DialogBuilder(UiLanguage language) : m_language(language) {}

    void setWidgetFactory(WidgetFactory factory) { m_factory = std::move(factory); }

    // Builds every control of dialogTemplate on dialog and returns them by id.
    // A factory widget gets the control's rectangle, enabling, visibility and text (through
    // its "text" property or window title, see DialogControls) and, for a QFrame, its border.
    DialogControls build(const DialogTemplate& dialogTemplate, QWidget* dialog) const;

    // The template's font ("宋体" 9 points in ours). A face this system lacks falls back to
    // SimSun, then to the installed CJK font, so that Chinese texts always have glyphs.
    static QFont dialogFont(const DialogTemplate& dialogTemplate);

private:
    QWidget* createStandard(const ControlTemplate& control, const QString& text, QWidget* dialog,
                            const DialogUnits& units) const;
    void applyFrame(const DialogTemplate& dialogTemplate, QWidget* dialog, const DialogUnits& units) const;

    UiLanguage m_language;
    WidgetFactory m_factory;
};
