#pragma once
#include "UiLanguage.h"

#include <QString>

// The application's built-in resources (res/resources.qrc) live under ":/res":
//   ":/res/<TYPE>/<id>"     the resource, English (and the one to use when a resource has no language variant)
//   ":/res/zh/<TYPE>/<id>"  its Chinese variant, where the two languages differ
//   ":/res/strings.tsv"     the string table, both languages in one file
// TYPE is PNG, ICON or DIALOG; for example ":/res/PNG/198" and ":/res/zh/PNG/198".

// Registers the resources compiled into the app_ui library. A static library's resources
// are only linked in when something refers to them, so call this once before the first
// look-up (the loaders of this library call it themselves); repeated calls are harmless.
void InitAppResources();

// Path of resource id of the given type in the language; falls back to the English
// resource when there is no variant for that language, like resource language fallback.
QString AppResourcePath(const QString& type, int id, UiLanguage language);
