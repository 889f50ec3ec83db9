#pragma once
#include <string>

#include "AppOptions.h"
#include "QtTranslations.h"
#include "ToolFolders.h"

class CSettingsFile;

// The program's start-up and shut-down around the main window: the settings read and
// repair, the interface language, the bitmap functions' start-up record, the modal run
// of the main window, then the shut-down in reverse. Runs on the main thread, inside
// the QApplication that main() made.
class CVetra_Tivane_PeloToolApp {
public:
    // settingsFile: the settings file to read (the one beside the executable in the program).
    // programFolder: where "Image" and "Log" are; empty for the executable's folder.
    CVetra_Tivane_PeloToolApp(CSettingsFile& settingsFile, AppOptions options, std::string programFolder = {});
    // The program's own start: its folders as ResolveToolFolders chose them.
    CVetra_Tivane_PeloToolApp(CSettingsFile& settingsFile, AppOptions options, const ToolFolders& folders);

    // Runs the whole program and returns its exit code: 0 after the main window has
    // closed, 1 when the window's resources cannot be read, 3 when what the command line
    // asked for (start acquisition, save a screenshot) could not be done.
    int InitInstance();

private:
    CSettingsFile& m_settingsFile;
    AppOptions m_options;
    std::string m_programFolder;
    std::string m_logFolder;  // empty: "Log" under m_programFolder
    CQtTranslations m_qtTranslations;
};
