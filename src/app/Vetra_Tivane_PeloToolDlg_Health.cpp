// The health strip and the stall watch: what the link is doing, and whether the data
// on show is still fresh.
#include <QCheckBox>
#include <QGraphicsOpacityEffect>

#include "ColorStatic.h"
#include "HealthStrip.h"
#include "Vetra_Tivane_PeloToolDlg.h"

namespace {
// Shown data that may be old is drawn at this opacity.
constexpr double kStaleOpacity = 0.35;
}  // namespace

void CVetra_Tivane_PeloToolDlg::AddHealthStrip()
{
    // Below everything the template placed: the window grows by the strip's height, so
    // every control of the dialog keeps its place and proportions.
    const int stripHeight = fontMetrics().height() + 8;
    m_healthStrip = new CHealthStrip(this);
    const int top = height();
    resize(width(), top + stripHeight);
    m_healthStrip->setGeometry(0, top, width(), stripHeight);
    m_healthStrip->ReconnectBox()->setChecked(m_settings.autoReconnect);
    connect(m_healthStrip->ReconnectBox(), &QCheckBox::toggled, this, &CVetra_Tivane_PeloToolDlg::SetAutoReconnect);
    m_healthStrip->show();
}

void CVetra_Tivane_PeloToolDlg::StartHealthWatch()
{
    m_tool.Health().Start(m_tool.Decoder().FramesReported(), CHealthMonitor::Clock::now());
    UpdateHealth();
}

void CVetra_Tivane_PeloToolDlg::StopHealthWatch()
{
    m_tool.Health().Stop();
    ShowDataAsStale(false);
    UpdateHealth();
}

void CVetra_Tivane_PeloToolDlg::UpdateHealth()
{
    if (!m_healthStrip)
        return;
    const auto now = CHealthMonitor::Clock::now();
    const bool running = m_tool.Acquisition().IsRunningFlagSet();
    const CHealthMonitor& health = m_tool.Health();
    // While reconnecting the silence is the gap's, not a stall of the module.
    if (running && !IsReconnecting()) {
        switch (m_tool.Health().Look(m_tool.Decoder().FramesReported(), m_tool.Acquisition().RecordedBytes(), m_tool.Acquisition().GetRawFilePath(),
                                     m_settings.reportTimeMS, now)) {
        case CStallWatch::Change::Started: ShowDataAsStale(true); break;
        case CStallWatch::Change::Ended: ShowDataAsStale(false); break;
        case CStallWatch::Change::None: break;
        }
    }
    HealthSnapshot snapshot;
    const bool connected = m_tool.Link().IsConnected();
    snapshot.link = IsReconnecting() ? LinkState::Reconnecting
                    : running      ? LinkState::Running
                    : connected    ? LinkState::Connected
                                   : LinkState::Disconnected;
    snapshot.reportsPerSecond = health.ReportsPerSecond();
    if (running)
        snapshot.silenceMs = health.SilenceMs(now);
    snapshot.stalled = health.Stalled();
    snapshot.brokenTails = m_tool.Decoder().BrokenTails();
    snapshot.skippedBytes = m_tool.Decoder().SkippedBytes();
    const std::string recording = m_tool.Acquisition().GetRawFilePath();
    if (running && !recording.empty()) {
        snapshot.recordedBytes = m_tool.Acquisition().RecordedBytes();
        snapshot.recordingPath = QString::fromStdString(recording);
    }
    snapshot.moduleSilent = connected && !m_tool.Links().ModuleAnswered();
    snapshot.lowDiskFreeMb = running ? health.LowDiskFreeMb() : -1;
    if (IsReplaying())
        snapshot.replay = ReplayStatusText();
    m_healthStrip->Show(snapshot);
    UpdateRecordingBar();
}

void CVetra_Tivane_PeloToolDlg::ShowDataAsStale(bool stale)
{
    if (stale == m_showingStale)
        return;
    m_showingStale = stale;
    for (CColorStatic* control : {m_indicator, m_distanceText}) {
        if (!control)
            continue;
        if (stale) {
            auto* dim = new QGraphicsOpacityEffect(control);
            dim->setOpacity(kStaleOpacity);
            control->setGraphicsEffect(dim);  // the control owns it from here
        } else {
            control->setGraphicsEffect(nullptr);
        }
    }
}
