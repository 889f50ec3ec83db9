// Replaying a recording: the recorded blocks go through the window's own decoder at
// their recorded pace, so the presence display, the digits, the chart and the log show
// the run again as it was shown live. The connection controls rest meanwhile.
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QSlider>
#include <QToolButton>

#include <algorithm>

#include "AppMessageBox.h"
#include "CWaveWnd.h"
#include "DbgOutput.h"
#include "LabelsFileWriter.h"
#include "LabelInForce.h"
#include "OverviewDialog.h"
#include "RecordingDecode.h"
#include "RecordingBar.h"
#include "ReportTiming.h"
#include "StateBand.h"
#include "StringIds.h"
#include "StringTable.h"
#include "UtcTime.h"
#include "Vetra_Tivane_PeloToolDlg.h"

namespace {
// Reports handed to the window and not yet shown, above which a fast replay waits.
constexpr int kMostQueuedReports = 200;
// How often the slider, the time and the label in force follow the replay.
constexpr int kReplayTickMs = 100;
}  // namespace

void CVetra_Tivane_PeloToolDlg::SetUpReplay()
{
    m_tool.Replay().SetBacklogProbe([this] { return m_queuedReports.load(std::memory_order_relaxed) > kMostQueuedReports; });
    // Replay thread: the window learns of the end on its own thread.
    m_tool.Replay().SetEndedCallback([this] { QMetaObject::invokeMethod(this, [this] { OnReplayEnded(); }, Qt::QueuedConnection); });
    // Replay thread, which alone steps the history while a replay runs.
    m_tool.Replay().SetLinkGapCallback([this](std::int64_t gapUs) {
        const std::int64_t interval = m_replayIntervalMs.load(std::memory_order_relaxed);
        const std::int64_t length = m_tool.Decoder().GetHistory().GetLength();
        if (interval > 0 && gapUs / 1000 / interval > 0) {
            const auto steps = std::int32_t(std::min(gapUs / 1000 / interval, length));
            ShowGapOnBand(steps);
            m_tool.Decoder().GetHistory().AdvanceMissing(steps, *this);
        }
    });
    m_replayFrame.setSingleShot(true);
    m_replayFrame.setTimerType(Qt::PreciseTimer);
    m_replayFrame.setInterval(kReplayFrameMs);
    connect(&m_replayFrame, &QTimer::timeout, this, [this] {
        UpdatePresenceDisplay();
        m_chart->ReleaseRepaint();
        m_stateBand->ReleaseRepaint();
        // In the same frame, so the slider and the time add no frames of their own.
        if (m_sincePositionShown.elapsed() >= kReplayTickMs)
            UpdateReplayPosition();
    });
    m_replayTick.setInterval(kReplayTickMs);
    connect(&m_replayTick, &QTimer::timeout, this, [this] {
        if (m_sincePositionShown.elapsed() >= kReplayTickMs)
            UpdateReplayPosition();
    });
    CRecordingBar& bar = *m_recordingBar;
    connect(bar.PlayButton(), &QAbstractButton::clicked, this, &CVetra_Tivane_PeloToolDlg::OnReplayPlayPause);
    connect(bar.StepButton(), &QAbstractButton::clicked, this, [this] {
        m_tool.Replay().StepReport();
        UpdateReplayPosition();
    });
    connect(bar.StopButton(), &QAbstractButton::clicked, this, &CVetra_Tivane_PeloToolDlg::StopReplay);
    connect(bar.OverviewButton(), &QAbstractButton::clicked, this, &CVetra_Tivane_PeloToolDlg::RequestOverview);
    connect(bar.SpeedBox(), qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this] { m_tool.Replay().SetSpeed(m_recordingBar->ChosenSpeed()); });
    connect(bar.PositionSlider(), &QSlider::sliderReleased, this,
            [this] { SeekReplay(m_recordingBar->SliderPositionUs()); });
    connect(bar.OpenButton(), &QAbstractButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, QString(), QString::fromStdString(LogFolder()),
                                                          StringTable::load(StringId::kRecordingsFilter));
        if (!path.isEmpty())
            OpenReplay(path);
    });
}

void CVetra_Tivane_PeloToolDlg::NoteCompanionProblems(const LoadedRecording& loaded, const QString& path)
{
    // The index's own unfitness shows in the replay's note; these go to the log alone.
    const std::string dat = path.toStdString();
    const ReadOutcome& index = loaded.timeline->IndexOutcome();
    if (index.status == ReadStatus::LastLineCut)
        DbgOutputA(2, "The capture index of %s: %s\r\n", dat.c_str(), index.reason.c_str());
    const ReadOutcome& labels = loaded.labelsOutcome;
    if (labels.status == ReadStatus::LastLineCut)
        DbgOutputA(2, "The labels file %s.labels: %s\r\n", dat.c_str(), labels.reason.c_str());
    else if (!labels.Usable() && labels.status != ReadStatus::Missing)
        DbgOutputA(1, "The labels of %s.labels are not used: %s\r\n", dat.c_str(), labels.reason.c_str());
}

bool CVetra_Tivane_PeloToolDlg::OpenReplay(const QString& path)
{
    if (m_tool.Acquisition().IsRunningFlagSet()) {
        DbgOutputA(2, "A recording cannot be replayed while a run goes on\r\n");
        return false;
    }
    if (IsReplaying())
        StopReplay();
    LoadedRecording loaded = LoadRecording(path.toStdString(), m_settings.reportTimeMS);
    const QString name = QFileInfo(path).fileName();
    if (!UsableOrSaidWhy(loaded, path))
        return false;
    const CReplayTimeline& timeline = *loaded.timeline;
    bool hasReport = false;
    {
        // Its lines belong to the replay itself.
        CDbgOutputQuietScope quiet;
        hasReport = RecordingHasReport(timeline, path.toStdString());
    }
    if (!hasReport) {
        // A replay would show nothing at all, not even the time: say so instead.
        DbgOutputA(1, "%s holds no valid report: nothing to replay\r\n", path.toUtf8().constData());
        ShowErrorBox(this, StringId::kCannotReplay, StringTable::load(StringId::kNoValidReport).arg(path));
        return false;
    }
    NoteCompanionProblems(loaded, path);
    const std::int64_t pacingMs =
        ReportIntervalMs(timeline.Header() ? timeline.Header()->reportTimeMs : 0, m_settings.reportTimeMS);
    m_replayNote.clear();
    if (timeline.PacedByFallback()) {
        const ReadOutcome& outcome = timeline.IndexOutcome();
        m_replayNote = outcome.status == ReadStatus::Missing
                           ? StringTable::load(StringId::kNoIndex).arg(pacingMs)
                           : StringTable::load(StringId::kIndexMismatch).arg(QString::fromStdString(outcome.reason)).arg(pacingMs);
    }
    m_replayTimeline = loaded.timeline;
    m_replayIntervalMs.store(pacingMs, std::memory_order_relaxed);
    m_replayLabels = std::move(loaded.labelLayers);
    m_replayPath = path.toStdString();

    m_tool.SetReplaying(true);
    m_chart->HoldRepaints(true);
    m_stateBand->HoldRepaints(true);
    DbgOutputA(2, "Replay of %s (%s)\r\n", m_replayPath.c_str(),
               m_replayNote.isEmpty() ? "paced by its capture index" : m_replayNote.toUtf8().constData());
    RestartReplayAt(0, true);
    if (!IsReplaying())
        return false;  // it could not start: the box has said why and the stop has run
    m_recordingBar->EnableReplayRow(true);
    m_recordingBar->ShowReplayFile(name, m_replayNote);
    m_recordingBar->ShowPlaying(true);
    m_replayTick.start();
    UpdateReplayPosition();
    UpdateHealth();
    return true;
}

void CVetra_Tivane_PeloToolDlg::RestartReplayAt(std::int64_t positionUs, bool play)
{
    // The decoder, the display and the chart start from nothing, as at a Start; the
    // deliveries up to the position then go through at once.
    m_tool.Replay().Stop();
    DiscardQueuedReports();
    m_tool.Decoder().SetReport(0, 0);
    SetupChart();
    UpdatePresenceDisplay();
    // The figures cover the recording from its start to the position.
    m_tool.FanOut().SetFromReplay(true);
    StartInsight(m_replayIntervalMs.load(std::memory_order_relaxed), ReplayTimeBase(), &m_replayLabels.Changes());
    std::string error;
    if (!m_tool.Replay().Start(m_replayTimeline, m_replayPath, positionUs, &error)) {
        DbgOutputA(1, "The replay could not be started: %s\r\n", error.c_str());
        ShowErrorBox(this, StringId::kCannotReplay, StringTable::load(StringId::kCannotRead).arg(QString::fromStdString(m_replayPath),
                                                                              QString::fromStdString(error)));
        StopReplay();
        return;
    }
    m_tool.Replay().SetSpeed(m_recordingBar->ChosenSpeed());
    if (play)
        m_tool.Replay().Play();
}

void CVetra_Tivane_PeloToolDlg::OnReplayPlayPause()
{
    if (!IsReplaying())
        return;
    if (m_tool.Replay().Ended()) {
        RestartReplayAt(0, true);  // from the start again
    } else if (m_tool.Replay().Playing()) {
        m_tool.Replay().Pause();
    } else {
        m_tool.Replay().Play();
    }
    m_recordingBar->ShowPlaying(m_tool.Replay().Playing());
}

void CVetra_Tivane_PeloToolDlg::SeekReplay(std::int64_t positionUs)
{
    if (!IsReplaying())
        return;
    const bool playing = m_tool.Replay().Playing();
    DbgOutputA(2, "Replay moved to %.1f s\r\n", double(positionUs) / 1e6);
    RestartReplayAt(positionUs, playing);
    UpdateReplayPosition();
}

void CVetra_Tivane_PeloToolDlg::OnReplayEnded()
{
    if (!IsReplaying())
        return;
    const std::string error = m_tool.Replay().ReadError();
    if (!error.empty())
        DbgOutputA(1, "The replay of %s ended early: %s\r\n", m_replayPath.c_str(), error.c_str());
    // The display keeps the last report.
    m_recordingBar->ShowPlaying(false);
    UpdateReplayPosition();
}

void CVetra_Tivane_PeloToolDlg::UpdateReplayPosition()
{
    if (!IsReplaying())
        return;
    m_sincePositionShown.start();
    const std::int64_t position = m_tool.Replay().PositionUs();
    m_recordingBar->ShowPosition(position, m_tool.Replay().EndUs());
    if (!m_tool.Replay().Ended())
        m_recordingBar->ShowPlaying(m_tool.Replay().Playing());
    const GroundTruthLabel label = LabelInForce(m_replayLabels.Changes(), position);
    if (label != m_recordingBar->ShownLabel())
        m_recordingBar->ShowLabel(label);
}

void CVetra_Tivane_PeloToolDlg::StopReplay()
{
    if (!IsReplaying())
        return;
    // Their outcomes would arrive for a replay that no longer goes on.
    m_tasks.CancelAll();
    m_replayTick.stop();
    m_tool.Replay().Stop();
    // The same display steps as the stop of a live run.
    DiscardQueuedReports();
    ResetPresenceIndicator();
    ShowStartButtonText();
    m_tool.SetReplaying(false);
    m_replayFrame.stop();
    m_chart->HoldRepaints(false);
    m_stateBand->HoldRepaints(false);
    // The replay thread has ended: reports are stamped by the run clock again.
    m_tool.FanOut().SetFromReplay(false);
    if (m_replayLabelsFile) {
        if (!m_replayLabelsFile->Close())
            DbgOutputA(1, "The labels file is incomplete: %s\r\n", m_replayLabelsFile->Error().c_str());
        m_replayLabelsFile.reset();
    }
    m_recordingBar->EnableReplayRow(false);
    // Its clicks would move a replay that no longer goes on.
    if (m_overviewDialog)
        m_overviewDialog->hide();
    m_recordingBar->ShowLabel(GroundTruthLabel::Off);
    DbgOutputA(2, "Replay of %s stopped\r\n", m_replayPath.c_str());
    UpdateHealth();
}

QDateTime CVetra_Tivane_PeloToolDlg::ReplayTimeBase() const
{
    if (!m_replayTimeline || !m_replayTimeline->Header())
        return {};
    const std::optional<std::int64_t> startedMs = ParseUtcTimestampMs(m_replayTimeline->Header()->startedUtc);
    return startedMs ? QDateTime::fromMSecsSinceEpoch(*startedMs) : QDateTime();
}

QString CVetra_Tivane_PeloToolDlg::ReplayStatusText() const
{
    QString text = StringTable::load(StringId::kReplayFileText).arg(QFileInfo(QString::fromStdString(m_replayPath)).fileName());
    if (!m_replayNote.isEmpty())
        text += QStringLiteral(" · ") + m_replayNote;
    return text;
}
