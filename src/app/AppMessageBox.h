#pragma once
#include <QString>

class QWidget;

// Message box types as the tool's windows ask for them.
enum AppMessageBoxType : unsigned {
    kMbIconError = 0x10,
    kMbIconInformation = 0x40,
    kMbTopmost = 0x40000,
    // Success: caption 50001 ("Prompt"), information icon.
    kMbPrompt = kMbIconInformation,
    // Failure: caption 50002 ("Error"), error icon, kept above other windows.
    kMbError = kMbIconError | kMbTopmost,
};

// Shows text in a modal message box with one OK button, owned by owner (null: none),
// and returns once the operator has closed it; detail, when not empty, is shown below
// the text. User-interface thread only.
void AppMessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type,
                   const QString& detail = {});

// The two boxes of the tool, with their texts and captions taken from the string table.
void ShowErrorBox(QWidget* owner, int textId, const QString& detail = {});
void ShowPromptBox(QWidget* owner, int textId);
