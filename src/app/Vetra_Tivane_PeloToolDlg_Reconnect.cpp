// Reconnecting on its own: when the link is lost during a run and the operator asked for
// it, the window waits for the same device to come back, opens it again and lets the
// run go on into the same recording.
#include <QDateTime>

#include <algorithm>

#include "DbgOutput.h"
#include "DeviceIdentity.h"
#include "ReportTiming.h"
#include "SerialPortNames.h"
#include "Vetra_Tivane_PeloToolDlg.h"

namespace {

// The link watch sees only that the port closed under the run (unplugged, hung up).
constexpr const char* kLinkLostReason = "the port closed";

QString WallTime(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

}  // namespace

void CVetra_Tivane_PeloToolDlg::RememberLinkIdentity(int portNumber)
{
    m_linkPath = SerialPortPathFromNumber(portNumber);
    const SerialPortEntry* entry = ListedPort(m_linkPath);
    m_linkIdentity = entry ? DeviceIdentityOf(*entry) : "path:" + m_linkPath;
}

std::string CVetra_Tivane_PeloToolDlg::FindLinkDevice() const
{
    // The built-in module is always there.
    return m_linkPath == kSimulatedPortPath ? m_linkPath : FindDeviceOfIdentity(m_linkIdentity, m_linkPath);
}

void CVetra_Tivane_PeloToolDlg::BeginReconnect()
{
    m_linkWatch.stop();
    m_linkShownOpen = false;
    // The worker goes; the recording stays open for the rest of the run.
    m_session.PauseWorker();
    m_session.AddCaptureEvent(CaptureEvent::LinkLost(kLinkLostReason));
    Vetra_Interface_RadarDevice_Serial_Close(m_device);
    m_reconnecting = true;
    m_gapStarted = QDateTime::currentDateTime();
    m_gapTimer.start();
    m_gapIntervalsShown = 0;
    DbgOutputA(2, "The link to the module was lost; waiting for %s to come back\r\n", m_linkPath.c_str());
    ShowDataAsStale(true);
    m_reconnectWatch.start();
    UpdateHealth();
}

void CVetra_Tivane_PeloToolDlg::TryReconnect()
{
    if (!m_reconnecting)
        return;
    ShowGapOnChart();
    const std::string path = FindLinkDevice();
    if (path.empty())
        return;
    const int portNumber = path == kSimulatedPortPath ? kSimulatedPortNumber : RegisterSerialPortPath(path);
    if (!OpenLink(portNumber))
        return;  // not ready yet: the next look tries again
    SendStartBracket();
    ShowGapOnChart();
    EndReconnect();
    m_session.AddCaptureEvent(CaptureEvent::LinkBack(path));
    if (!m_session.ResumeWorker()) {
        DbgOutputA(2, "The acquisition thread could not be started again\r\n");
        StopAcquisition();
        return;
    }
    ++m_reconnects;
    DbgOutputA(2, "Link gap from %s to %s (%lld ms): the link to %s was lost\r\n",
               WallTime(m_gapStarted).toUtf8().constData(), WallTime(QDateTime::currentDateTime()).toUtf8().constData(),
               static_cast<long long>(m_gapTimer.elapsed()), path.c_str());
    StartLinkWatch();
    m_stallWatch.Start(m_decoder.FramesReported(), CStallWatch::Clock::now());
    ShowDataAsStale(false);
    UpdateHealth();
}

void CVetra_Tivane_PeloToolDlg::EndReconnect()
{
    m_reconnectWatch.stop();
    m_reconnecting = false;
}

void CVetra_Tivane_PeloToolDlg::ShowGapOnChart()
{
    // The worker is paused, so this thread may step the history: the chart goes on
    // scrolling through the gap, with no line where nothing was received.
    const long long interval = ReportIntervalMs(0, m_settings.reportTimeMS);
    const long long due = m_gapTimer.elapsed() / interval;
    if (due > m_gapIntervalsShown) {
        const long long length = m_decoder.GetHistory().GetLength();
        const auto steps = std::int32_t(std::min(due - m_gapIntervalsShown, length));
        ShowGapOnBand(steps);
        m_decoder.GetHistory().AdvanceMissing(steps, *this);
        m_gapIntervalsShown = due;
    }
}

void CVetra_Tivane_PeloToolDlg::SetAutoReconnect(bool on)
{
    if (m_settings.autoReconnect == on)
        return;
    m_settings.autoReconnect = on;
    SaveSettings();
}
