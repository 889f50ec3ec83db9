// The health strip and the stall watch: what the link is doing, and whether the data
// on show is still fresh.
#include <QCheckBox>
#include <QGraphicsOpacityEffect>
#include <QStorageInfo>

#include <algorithm>

#include "ColorStatic.h"
#include "DbgOutput.h"
#include "HealthStrip.h"
#include "RecordingRoom.h"
#include "Vetra_Tivane_PeloToolDlg.h"

namespace {
// Shown data that may be old is drawn at this opacity.
constexpr double kStaleOpacity = 0.35;
// The disk is asked once in this many strip updates (every 10 s): finding the file's
// file system reads the mount table.
constexpr int kDiskCheckEvery = 40;
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
    const auto now = CStallWatch::Clock::now();
    m_stallWatch.Start(m_decoder.FramesReported(), now);
    m_rateFrames = m_decoder.FramesReported();
    m_rateSince = now;
    m_reportsPerSecond = 0.0;
    m_rateBytes = 0;
    m_bytesPerSecond = 0.0;
    m_lowDiskFreeMb = -1;
    m_diskCheckTick = kDiskCheckEvery - 1;  // the first look asks the disk
    UpdateHealth();
}

void CVetra_Tivane_PeloToolDlg::StopHealthWatch()
{
    if (m_stallWatch.Stalled())
        DbgOutputA(2, "The run ended while the module sent no reports\r\n");
    m_stallWatch.Stop();
    ShowDataAsStale(false);
    m_lowDiskFreeMb = -1;
    UpdateHealth();
}

void CVetra_Tivane_PeloToolDlg::UpdateHealth()
{
    if (!m_healthStrip)
        return;
    const auto now = CStallWatch::Clock::now();
    const std::uint64_t frames = m_decoder.FramesReported();
    const bool running = m_session.IsRunningFlagSet();
    // While reconnecting the silence is the gap's, not a stall of the module.
    if (running && !IsReconnecting()) {
        const auto silence = std::chrono::duration_cast<std::chrono::milliseconds>(m_stallWatch.Silence(now));
        switch (m_stallWatch.Update(frames, now, m_settings.reportTimeMS)) {
        case CStallWatch::Change::Started:
            DbgOutputA(2, "No report from the module for %lld ms\r\n", static_cast<long long>(silence.count()));
            ShowDataAsStale(true);
            break;
        case CStallWatch::Change::Ended:
            DbgOutputA(2, "Reports from the module again after %lld ms without a report\r\n",
                       static_cast<long long>(silence.count()));
            ShowDataAsStale(false);
            break;
        case CStallWatch::Change::None:
            break;
        }
        // Rates over the last second or more, so one late report does not swing them.
        const double seconds = std::chrono::duration<double>(now - m_rateSince).count();
        if (seconds >= 1.0) {
            const long long bytes = m_session.RecordedBytes();
            m_reportsPerSecond = double(frames - m_rateFrames) / seconds;
            m_bytesPerSecond = double(std::max(0LL, bytes - m_rateBytes)) / seconds;
            m_rateFrames = frames;
            m_rateBytes = bytes;
            m_rateSince = now;
        }
        if (++m_diskCheckTick >= kDiskCheckEvery) {
            m_diskCheckTick = 0;
            CheckDiskRoom();
        }
    }
    HealthSnapshot snapshot;
    const bool connected = m_tool.Link().IsConnected();
    snapshot.link = IsReconnecting() ? LinkState::Reconnecting
                    : running      ? LinkState::Running
                    : connected    ? LinkState::Connected
                                   : LinkState::Disconnected;
    snapshot.reportsPerSecond = m_reportsPerSecond;
    if (running)
        snapshot.silenceMs = std::chrono::duration_cast<std::chrono::milliseconds>(m_stallWatch.Silence(now)).count();
    snapshot.stalled = m_stallWatch.Stalled();
    snapshot.brokenTails = m_decoder.BrokenTails();
    snapshot.skippedBytes = m_decoder.SkippedBytes();
    const std::string recording = m_session.GetRawFilePath();
    if (running && !recording.empty()) {
        snapshot.recordedBytes = m_session.RecordedBytes();
        snapshot.recordingPath = QString::fromStdString(recording);
    }
    snapshot.moduleSilent = connected && !m_tool.Links().ModuleAnswered();
    snapshot.lowDiskFreeMb = running ? m_lowDiskFreeMb : -1;
    if (IsReplaying())
        snapshot.replay = ReplayStatusText();
    m_healthStrip->Show(snapshot);
    UpdateRecordingBar();
}

void CVetra_Tivane_PeloToolDlg::CheckDiskRoom()
{
    const std::string recording = m_session.GetRawFilePath();
    if (recording.empty())
        return;
    const QStorageInfo disk(QString::fromStdString(recording));
    const long long free = disk.isValid() ? disk.bytesAvailable() : -1;
    m_lowDiskFreeMb = IsRecordingRoomLow(free, m_bytesPerSecond) ? free / (1000 * 1000) : -1;
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
