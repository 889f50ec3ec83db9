#pragma once
#include <string>

#include "UiLanguage.h"

class XMLParser;

// The interface language comes from the hand-edited attribute Language of AppConfig:
// "ENG" in any letter case chooses English; every other code ("CHT" and "CHS" among
// them), an empty value or a missing attribute chooses Chinese. The tool never writes it.

// The language code of the settings document: Language of the first top-level
// AppConfig (both names in any letter case); "CHS" when either is missing.
std::string LanguageCodeFromSettings(XMLParser& settings);

// The interface language of a language code.
UiLanguage UiLanguageFromCode(const std::string& code);
