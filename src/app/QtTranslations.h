#pragma once
#include <QString>

#include <memory>

#include "StringTable.h"

class QTranslator;

// Qt's own texts (standard buttons, the edit boxes' context menus) in the interface
// language, from the translations Qt ships. English needs none.
class CQtTranslations {
public:
    CQtTranslations();
    ~CQtTranslations();
    CQtTranslations(const CQtTranslations&) = delete;
    CQtTranslations& operator=(const CQtTranslations&) = delete;

    // Main thread, inside the application object. Loads Qt's translation for language
    // from folder (empty: where Qt's translations are installed) and installs it for
    // the application, replacing one installed before. False when there is none for
    // that language there: Qt's texts then stay English, and the program's own string
    // table has to cover what the operator must read (the message boxes' button).
    bool Install(UiLanguage language, const QString& folder = {});

private:
    std::unique_ptr<QTranslator> m_translator;
};
