#include "AppMessageBox.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>

#include "StringIds.h"
#include "StringTable.h"

void AppMessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type, const QString& detail)
{
    QMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    if (!detail.isEmpty()) {
        box.setInformativeText(detail);
        // Plain too: it quotes device paths and program names, which are not markup.
        if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
            label->setTextFormat(Qt::PlainText);
    }
    box.setStandardButtons(QMessageBox::Ok);
    // In the window's language whether or not Qt's own translations are installed.
    if (QAbstractButton* ok = box.button(QMessageBox::Ok))
        ok->setText(StringTable::load(StringId::kOkButtonId));
    if (type & kMbIconError)
        box.setIcon(QMessageBox::Critical);
    else if (type & kMbIconInformation)
        box.setIcon(QMessageBox::Information);
    if (type & kMbTopmost)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

void ShowErrorBox(QWidget* owner, int textId, const QString& detail)
{
    AppMessageBox(owner, StringTable::load(textId), StringTable::load(StringId::kErrorCaption), kMbError, detail);
}

void ShowPromptBox(QWidget* owner, int textId)
{
    AppMessageBox(owner, StringTable::load(textId), StringTable::load(StringId::kPromptCaption), kMbPrompt);
}
