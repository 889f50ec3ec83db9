#pragma once
#include <QObject>

#include "AppOptions.h"

class CVetra_Tivane_PeloToolDlg;

// Carries out the command-line options on the main window, through the same handlers
// the operator's buttons call: port selection before the window shows, then connect and
// start once it is up, the screenshot just before it closes, and the close after N
// seconds. Without options it does nothing at all. User-interface thread only.
class CScriptedRun : public QObject {
public:
    CScriptedRun(CVetra_Tivane_PeloToolDlg& window, const AppOptions& options);

    // After the window's initialisation, before its modal run.
    void Prepare();
    // False when --start could not start acquisition or the screenshot could not be saved.
    bool Succeeded() const { return m_succeeded; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnWindowUp();
    void OnTimeUp();
    void SaveScreenshot();

    CVetra_Tivane_PeloToolDlg& m_window;
    AppOptions m_options;
    bool m_screenshotTaken = false;
    bool m_succeeded = true;
};
