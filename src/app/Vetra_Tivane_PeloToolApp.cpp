#include "Vetra_Tivane_PeloToolApp.h"

#include <QApplication>

#include <cstdio>

#include "AppResources.h"
#include "DialogTemplate.h"
#include "GdiplusApi.h"
#include "LanguageChoice.h"
#include "ScriptedRun.h"
#include "SerialPortNames.h"
#include "SettingsFile.h"
#include "StringIds.h"
#include "StringTable.h"
#include "Vetra_Tivane_PeloToolDlg.h"

namespace {

// The port list's entry for the built-in simulated module, in the interface language.

// Both dialogs are built from compiled-in templates; a broken one is a broken build,
// reported here rather than shown as an empty window.
bool TemplatesReadable()
{
    for (int id : {CVetra_Tivane_PeloToolDlg::kTemplateId, CParamConfigDlg::kTemplateId}) {
        const DialogTemplateResult dialogTemplate = DialogTemplate::fromResource(id);
        if (!dialogTemplate) {
            std::fprintf(stderr, "dialog template %d cannot be read: %s\n", id,
                         qPrintable(dialogTemplate.error()));
            return false;
        }
    }
    return true;
}

}  // namespace

CVetra_Tivane_PeloToolApp::CVetra_Tivane_PeloToolApp(CSettingsFile& settingsFile, AppOptions options,
                                                     std::string programFolder)
    : m_settingsFile(settingsFile), m_options(std::move(options)), m_programFolder(std::move(programFolder))
{
}

CVetra_Tivane_PeloToolApp::CVetra_Tivane_PeloToolApp(CSettingsFile& settingsFile, AppOptions options,
                                                     const ToolFolders& folders)
    : m_settingsFile(settingsFile),
      m_options(std::move(options)),
      m_programFolder(folders.pictureFolder),
      m_logFolder(folders.logFolder)
{
}

int CVetra_Tivane_PeloToolApp::InitInstance()
{
    m_settingsFile.ReadAtStartup();

    const UiLanguage language =
        m_options.language.value_or(UiLanguageFromCode(LanguageCodeFromSettings(m_settingsFile.GetDocument())));
    StringTable::setLanguage(language);
    m_qtTranslations.Install(language);
    InitAppResources();
    SetSimulatedPortDisplayNameW(StringTable::load(StringId::kSimulatedModuleNameId).toStdU16String().c_str());
    if (!TemplatesReadable())
        return 1;

    GdiplusStartupRecord* graphics = Gdiplus_Init();
    bool scriptSucceeded = true;
    {
        CVetra_Tivane_PeloToolDlg mainWindow(m_settingsFile, m_programFolder);
        if (!m_logFolder.empty())
            mainWindow.UseLogFolder(m_logFolder);
        CScriptedRun script(mainWindow, m_options);
        if (mainWindow.OnInitDialog()) {
            script.Prepare();
            mainWindow.DoModal();
        }
        scriptSucceeded = script.Succeeded();
    }
    // The main window, and with it the last settings save, is gone before this.
    Gdiplus_DeInit(graphics);
    return scriptSucceeded ? 0 : 3;
}
