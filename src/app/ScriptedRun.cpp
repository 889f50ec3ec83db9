#include "ScriptedRun.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

#include "SerialPortNames.h"
#include "Vetra_Tivane_PeloToolDlg.h"
#include "PictureFile.h"

CScriptedRun::CScriptedRun(CVetra_Tivane_PeloToolDlg& window, const AppOptions& options)
    : m_window(window), m_options(options)
{
}

void CScriptedRun::Prepare()
{
    if (!m_options.portPath.isEmpty()) {
        const std::string path = m_options.portPath.toStdString();
        m_window.AddExtraPortPath(path);
        m_window.RefreshPortList();
        m_window.SelectPort(RegisterSerialPortPath(path));
    } else if (m_options.simulate) {
        m_window.SelectPort(kSimulatedPortNumber);
    }
    if (!m_options.screenshotPath.isEmpty())
        m_window.installEventFilter(this);
    if (m_options.start || m_options.connect || m_options.seconds || !m_options.replayPath.isEmpty())
        // A zero timer fires once the modal run's event loop is going, with the window up.
        QTimer::singleShot(0, this, &CScriptedRun::OnWindowUp);
}

void CScriptedRun::OnWindowUp()
{
    // Counted from here, and armed before the connect, whose error box would otherwise hold it up.
    if (m_options.seconds)
        QTimer::singleShot(*m_options.seconds * 1000, this, &CScriptedRun::OnTimeUp);
    if (!m_options.replayPath.isEmpty()) {
        // A file that cannot be replayed has had its box; the exit code says so too.
        if (!m_window.OpenReplay(m_options.replayPath))
            m_succeeded = false;
        return;
    }
    if (!m_options.start && !m_options.connect)
        return;
    m_window.OnConnect();
    const bool connected = Vetra_Interface_RadarDevice_IsConnected(m_window.Device()) != 0;
    if (!m_options.start) {
        if (!connected) {
            std::fprintf(stderr, "the selected port could not be connected\n");
            m_succeeded = false;
        }
        return;
    }
    if (connected && !m_window.IsRunning())
        m_window.OnStartStop();
    if (!m_window.IsRunning()) {
        // The operator has seen the error box; a script learns it from the exit code.
        std::fprintf(stderr, "acquisition could not be started on the selected port\n");
        m_succeeded = false;
    }
}

void CScriptedRun::OnTimeUp()
{
    // An open message box (a failed connect, say) would keep the window from closing.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            box->done(QMessageBox::Ok);
    }
    m_window.close();
}

bool CScriptedRun::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window && event->type() == QEvent::Close && !m_screenshotTaken)
        SaveScreenshot();
    return QObject::eventFilter(watched, event);
}

void CScriptedRun::SaveScreenshot()
{
    m_screenshotTaken = true;
    const QImage picture = m_window.grab().toImage();
    std::string why;
    if (!SavePngAside(picture, QFile::encodeName(m_options.screenshotPath).toStdString(), why)) {
        std::fprintf(stderr, "the screenshot could not be saved to %s\n", qPrintable(m_options.screenshotPath));
        m_succeeded = false;
    }
}
