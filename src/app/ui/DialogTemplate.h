#pragma once
#include "ControlTemplate.h"
#include "ParseResult.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>

struct DialogTemplate;
using DialogTemplateResult = ParseResult<DialogTemplate>;

enum class DialogStyle {
    Caption = 0x01,
    SysMenu = 0x02,
    Sizing = 0x04,     // resizable frame; without it the dialog keeps its template size
    Minimize = 0x08,   // minimise box
    Maximize = 0x10,   // maximise box
    Centred = 0x20,
    AppWindow = 0x40,  // own task-bar button
    ModalFrame = 0x80,
};
Q_DECLARE_FLAGS(DialogStyles, DialogStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(DialogStyles)

// A dialog template: the dialog's caption, font, frame, client size in dialog units and
// its controls in creation (and tab) order, in both user-interface languages.
// The file format is described in res/README.md.
struct DialogTemplate {
    int id = 0;
    LocalisedText caption;
    QString fontFace;
    int fontPoints = 0;
    DialogStyles styles;
    Localised<QSize> size;
    QList<ControlTemplate> controls;

    // The control with this id, or null; ids are unique within a template.
    const ControlTemplate* control(int controlId) const;

    // Parses template data; a malformed template gives a result holding the reason.
    static DialogTemplateResult parse(const QByteArray& data);
    static DialogTemplateResult fromFile(const QString& path);
    // Dialog template dialogId of the application resources (":/res/DIALOG/<id>").
    static DialogTemplateResult fromResource(int dialogId);
};
