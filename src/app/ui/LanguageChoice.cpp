#include "LanguageChoice.h"

#include <algorithm>

#include "XMLParser.h"

namespace {
constexpr const char* kDefaultCode = "CHS";
}  // namespace

std::string LanguageCodeFromSettings(XMLParser& settings)
{
    const XMLNode appConfig = settings.GetRoot().FindChild("AppConfig");
    if (appConfig.IsEmpty())
        return kDefaultCode;
    const char* code = appConfig.GetAttribute("Language");
    return code ? std::string(code) : std::string(kDefaultCode);
}

UiLanguage UiLanguageFromCode(const std::string& code)
{
    // ASCII only: the process locale must not change what "ENG" matches.
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    const auto asciiEqualIgnoringCase = [&](char a, char b) { return lower(a) == lower(b); };
    const std::string english = "ENG";
    const bool isEnglish = code.size() == english.size() &&
                           std::equal(code.begin(), code.end(), english.begin(), asciiEqualIgnoringCase);
    return isEnglish ? UiLanguage::English : UiLanguage::Chinese;
}
