#pragma once
#include <QString>
#include <QStringList>

#include <optional>

#include "ParseResult.h"
#include "UiLanguage.h"

// The few command-line options the tool takes for demonstrations and automation.
// Without any of them the tool starts exactly as it always does.
struct AppOptions {
    // --port PATH: list this serial device path as well, and select it.
    QString portPath;
    // --simulate: select the built-in simulated module.
    bool simulate = false;
    // --start: once the window is up, connect to the selected port and start acquisition.
    bool start = false;
    // --connect: once the window is up, connect to the selected port (no acquisition).
    bool connect = false;
    // --seconds N: close the window normally after N seconds.
    std::optional<int> seconds;
    // --screenshot FILE: save a PNG of the whole window just before it closes.
    QString screenshotPath;
    // --lang en|zh: the interface language of this run, instead of the settings file's.
    std::optional<UiLanguage> language;
    // --replay FILE: once the window is up, replay this recording (.dat).
    QString replayPath;
    // --help
    bool help = false;
};

using AppOptionsResult = ParseResult<AppOptions>;

// Reads the arguments that follow the program name. An unknown option, a missing or
// malformed value, or two choices of port give a failure that says which and why.
AppOptionsResult ParseAppOptions(const QStringList& arguments);

// The text --help prints.
QString AppOptionsHelpText(const QString& programName);
