#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

CQtTranslations::CQtTranslations() = default;

// The translator removes itself from the application when it is destroyed.
CQtTranslations::~CQtTranslations() = default;

bool CQtTranslations::Install(UiLanguage language, const QString& folder)
{
    m_translator.reset();
    if (language == UiLanguage::English)
        return false;
    auto translator = std::make_unique<QTranslator>();
    const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    // Every interface language other than English is Simplified Chinese.
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), from) || !QCoreApplication::installTranslator(translator.get()))
        return false;
    m_translator = std::move(translator);
    return true;
}
