#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTemporaryDir>

#include <string>

#include "LanguageChoice.h"
#include "QtTranslations.h"
#include "XMLParser.h"

namespace {

UiLanguage LanguageOfFile(const std::string& text)
{
    XMLParser document;
    document.LoadFromBuffer(text.data(), std::int64_t(text.size()));
    return UiLanguageFromCode(LanguageCodeFromSettings(document));
}

TEST(LanguageChoice, OnlyEngInAnyCaseChoosesEnglish)
{
    const struct {
        const char* file;
        UiLanguage expected;
    } cases[] = {
        {R"(<AppConfig Language="ENG"/>)", UiLanguage::English},
        {R"(<AppConfig Language="eng"/>)", UiLanguage::English},
        {R"(<AppConfig Language="eNg"/>)", UiLanguage::English},
        {R"(<appconfig language="ENG"/>)", UiLanguage::English},
        {R"(<AppConfig Language="English"/>)", UiLanguage::Chinese},
        {R"(<AppConfig Language=" ENG"/>)", UiLanguage::Chinese},
        {R"(<AppConfig Language=""/>)", UiLanguage::Chinese},
        {R"(<AppConfig Language="CHT"/>)", UiLanguage::Chinese},
        {R"(<AppConfig Language="CHS"/>)", UiLanguage::Chinese},
        {R"(<AppConfig BaudRate="9600"/>)", UiLanguage::Chinese},
        {"", UiLanguage::Chinese},
        // Only the first top-level AppConfig counts.
        {R"(<Other><AppConfig Language="ENG"/></Other>)", UiLanguage::Chinese},
        {R"(<AppConfig/><AppConfig Language="ENG"/>)", UiLanguage::Chinese},
        {R"(<AppConfig Language="ENG" language="CHS"/>)", UiLanguage::English},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LanguageOfFile(c.file), c.expected) << c.file;
}

// Qt's own texts follow the interface language where Qt's translations are installed;
// where they are not, the install says so and changes nothing.
TEST(QtTranslations, ChineseWhereInstalledAndNothingWhereMissing)
{
    {
        CQtTranslations translations;
        EXPECT_FALSE(translations.Install(UiLanguage::English));
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
        const QTemporaryDir empty;
        EXPECT_FALSE(translations.Install(UiLanguage::Chinese, empty.path()));
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
        if (!QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_zh_CN.qm"))
            GTEST_SKIP() << "Qt's translations are not installed (tools/install-deps.sh installs them)";
        EXPECT_TRUE(translations.Install(UiLanguage::Chinese));
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    }
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"))
        << "gone with its owner";
}

}  // namespace
