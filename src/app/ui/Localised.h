#pragma once
#include "UiLanguage.h"

#include <QString>

// A value given once per user-interface language (a text, a rectangle, a size).
template <typename T>
struct Localised {
    T english{};
    T chinese{};

    const T& in(UiLanguage language) const { return language == UiLanguage::English ? english : chinese; }
};

using LocalisedText = Localised<QString>;
