// Reconnecting on its own: when the link is lost during a run and the operator asked for
// it, the window waits for the same device to come back, opens it again and lets the
// run go on into the same recording.
#include <QDateTime>

#include "DbgOutput.h"
#include "ReportTiming.h"
#include "Vetra_Tivane_PeloToolDlg.h"

namespace {

// The link watch sees only that the port closed under the run (unplugged, hung up).
constexpr const char* kLinkLostReason = "the port closed";

QString WallTime(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

}  // namespace

void CVetra_Tivane_PeloToolDlg::BeginReconnect()
{
    // The worker goes first; the recording stays open for the rest of the run.
    m_tool.Acquisition().PauseWorker();
    m_tool.Acquisition().AddCaptureEvent(CaptureEvent::LinkLost(kLinkLostReason));
    m_tool.Links().BeginReconnect();
    DbgOutputA(2, "The link to the module was lost; waiting for %s to come back\r\n", m_tool.Link().Path().c_str());
    ShowDataAsStale(true);
    UpdateHealth();
}

void CVetra_Tivane_PeloToolDlg::OnLinkBack(const std::string& path)
{
    m_tool.Acquisition().AddCaptureEvent(CaptureEvent::LinkBack(path));
    if (!m_tool.Acquisition().ResumeWorker()) {
        DbgOutputA(2, "The acquisition thread could not be started again\r\n");
        StopRun();
        return;
    }
    DbgOutputA(2, "Link gap from %s to %s (%lld ms): the link to %s was lost\r\n",
               WallTime(m_tool.Links().GapStarted()).toUtf8().constData(),
               WallTime(QDateTime::currentDateTime()).toUtf8().constData(), m_tool.Links().GapElapsedMs(), path.c_str());
    m_tool.Links().StartWatch();
    m_tool.Health().RestartStallWatch(m_tool.Decoder().FramesReported(), CHealthMonitor::Clock::now());
    ShowDataAsStale(false);
    UpdateHealth();
}

void CVetra_Tivane_PeloToolDlg::ShowGapOnChart()
{
    // The worker is paused, so this thread may step the history: the chart goes on
    // scrolling through the gap, with no line where nothing was received.
    const long long interval = ReportIntervalMs(0, m_settings.reportTimeMS);
    const std::int32_t steps = m_tool.Links().TakeGapSteps(interval, m_tool.Decoder().GetHistory().GetLength());
    if (steps > 0) {
        ShowGapOnBand(steps);
        m_tool.Decoder().GetHistory().AdvanceMissing(steps, *this);
    }
}

void CVetra_Tivane_PeloToolDlg::SetAutoReconnect(bool on)
{
    if (m_settings.autoReconnect == on)
        return;
    m_settings.autoReconnect = on;
    SaveSettings();
}
