#pragma once
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "MessageBoxWatcher.h"
#include "PtyPeer.h"
#include "SettingsFile.h"
#include "SimulatedModuleOptions.h"
#include "Vetra_Tivane_PeloToolDlg.h"
#include "XMLParser.h"

// A main window on its own program folder: a scratch folder with the presence pictures
// in Image/, appConfig.xml read at start-up, and Log/ for the log and the recordings.
// Every message box is answered and kept in Boxes(). The in-process simulated module
// gets the options of SimOptions() (defaults unless a test changes them before SetUp).
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the settings file with this text before the window starts (call before Start).
    void WriteSettingsFile(const QByteArray& text);
    // Start-up read, the window's initialisation, and show.
    void Start();
    // Runs the window's shutdown and destroys it.
    void CloseAndDestroy();

    // Selects the simulated module and connects to it.
    void ConnectToSimulatedModule();
    // Starts the window, lists the serial device path, selects it and connects to it.
    void StartAndConnectTo(const std::string& devicePath);
    // Starts the window, lists the peer's pty, connects to it (nothing answers the version
    // request) and starts acquisition; the host's start-up bytes are drained from the peer.
    void ConnectAndStartOn(PtyPeer& peer);
    // Waits until the running acquisition has recorded at least one byte.
    bool WaitForRecordedBytes(int timeoutMs = 5000);
    // Waits, processing events, until ready() or timeoutMs.
    static bool WaitFor(const std::function<bool()>& ready, int timeoutMs = 5000);

    QString ControlText(int id) const;
    bool IsEnabled(int id) const;
    bool IsChecked(int id) const;
    QString SettingsText() const;
    QString FolderPath(const QString& name) const;
    // A recording of two reports (moving at 1000 cm, motionless at 500 cm) named name in
    // the test's folder; its path, or "" when it could not be written.
    QString WriteTwoReportRecording(const QString& name) const;

    const std::vector<MessageBoxWatcher::Seen>& Boxes() const { return m_watcher->Boxes(); }

    SimulatedModuleOptions m_simOptions;
    QTemporaryDir m_folder;
    XMLParser m_document;
    std::unique_ptr<CSettingsFile> m_settingsFile;
    std::unique_ptr<CVetra_Tivane_PeloToolDlg> m_window;
    std::unique_ptr<MessageBoxWatcher> m_watcher;
};
