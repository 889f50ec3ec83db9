// The recording bar: ground-truth labels while a run records or a replay plays, the CSV
// export of a recording's reports and the summary of its labels.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QMimeData>
#include <QShortcut>
#include <QToolButton>

#include "AppMessageBox.h"
#include "DbgOutput.h"
#include "LabelSummary.h"
#include "LabelsFileWriter.h"
#include "RecordingBar.h"
#include "RecordingDecode.h"
#include "RecordingJobs.h"
#include "ReportCsvExport.h"
#include "PresenceFiguresCsv.h"
#include "PresenceStatistics.h"
#include "ReportTiming.h"
#include "StallWatch.h"
#include "StateBand.h"
#include "StatisticsPanel.h"
#include "StringIds.h"
#include "StringTable.h"
#include "Vetra_Tivane_PeloToolDlg.h"
#include "WriteAside.h"
#include "CLocaleFormat.h"

namespace {
// The label names as the buttons show them, in GroundTruthLabel order.
constexpr StringId kLabelNames[] = {StringId::kNoLabelText, StringId::kEmptyLabelText, StringId::kMovingLabelText,
                                    StringId::kStillLabelText};

QString Seconds(std::int64_t us)
{
    return QString::fromStdString(CLocaleFixed(double(us) / 1e6, 1));
}

RecordingJobSettings JobSettingsOf(const ToolSettings& settings)
{
    return {settings.reportTimeMS, AbsenceDelayMs(settings.params)};
}

// Both names are judged before either file is written: no rows without their figures.
bool ExportRefused(const std::string& csvPath, QString* message)
{
    for (const std::string& target : {csvPath, FiguresCsvPath(csvPath)}) {
        if (const std::string refusal = ReplaceRefusal(target); !refusal.empty()) {
            if (message)
                *message = StringTable::load(StringId::kCsvNotWritten).arg(QString::fromStdString(refusal));
            return true;
        }
    }
    return false;
}

// The figures of the whole recording first; the labels' tally after them.
QString SummaryText(const RecordingSummary& recording)
{
    const QString figures = StatisticsPlainText(recording.figures, recording.offDelayMs);
    if (recording.loaded.labels.empty())
        return figures + QStringLiteral("\n\n") + StringTable::load(StringId::kNoLabels);
    const LabelSummary& summary = recording.labels;
    QStringList lines;
    lines << StringTable::load(recording.loaded.labelLayers.InUse() == LabelLayer::Replay ? StringId::kReplayLabelsUsed
                                                                                           : StringId::kLiveLabelsUsed);
    for (const LabelTally& tally : summary.tallies) {
        if (tally.labelledUs == 0)
            continue;
        const QString name = StringTable::load(kLabelNames[int(tally.label)]);
        if (tally.ObservedUs() == 0) {
            lines << StringTable::load(StringId::kUnobservedTallyLine).arg(name, Seconds(tally.labelledUs));
            continue;
        }
        lines << StringTable::load(StringId::kTallyLine)
                     .arg(name, Seconds(tally.labelledUs),
                          QString::fromStdString(CLocaleFixed(tally.AgreementPercent(), 1)));
        if (tally.unobservedUs > 0)
            lines << StringTable::load(StringId::kPartlyUnobservedLine).arg(name, Seconds(tally.unobservedUs));
    }
    lines << StringTable::load(StringId::kFalsePresenceLine).arg(Seconds(summary.falsePresenceUs));
    lines << StringTable::load(StringId::kMissedLine).arg(Seconds(summary.missedUs));
    if (!summary.delaysUs.empty())
        lines << StringTable::load(StringId::kAgreementDelayLine)
                     .arg(QString::fromStdString(CLocaleFixed(summary.MedianDelayMs(), 0)),
                          QString::fromStdString(CLocaleFixed(summary.MaxDelayMs(), 0)));
    if (summary.neverAgreed > 0)
        lines << StringTable::load(StringId::kNeverAgreedLine).arg(summary.neverAgreed);
    return figures + QStringLiteral("\n\n") + lines.join(QLatin1Char('\n'));
}

}  // namespace

void CVetra_Tivane_PeloToolDlg::AddRecordingBar()
{
    // Below the health strip, growing the window by its height as the strip did.
    m_recordingBar = new CRecordingBar(this);
    const int top = height();
    const int barHeight = m_recordingBar->NeededHeight();
    resize(width(), top + barHeight);
    m_recordingBar->setGeometry(0, top, width(), barHeight);
    m_recordingBar->show();
    for (GroundTruthLabel label :
         {GroundTruthLabel::Off, GroundTruthLabel::Empty, GroundTruthLabel::Moving, GroundTruthLabel::Still})
        connect(m_recordingBar->LabelButton(label), &QAbstractButton::clicked, this, [this, label] { SetLabel(label); });
    // Keys of the whole window; a text box keeps the digits typed into it.
    const std::pair<Qt::Key, GroundTruthLabel> keys[] = {{Qt::Key_0, GroundTruthLabel::Empty},
                                                         {Qt::Key_1, GroundTruthLabel::Moving},
                                                         {Qt::Key_2, GroundTruthLabel::Still},
                                                         {Qt::Key_Space, GroundTruthLabel::Off}};
    for (const auto& [key, label] : keys) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, [this, label = label] { SetLabel(label); });
    }
    connect(m_recordingBar->ExportButton(), &QAbstractButton::clicked, this, &CVetra_Tivane_PeloToolDlg::OnExportCsv);
    connect(m_recordingBar->SummaryButton(), &QAbstractButton::clicked, this,
            &CVetra_Tivane_PeloToolDlg::OnLabelSummary);
    m_tasks.SetBusyHandler([this](int kind, bool busy) { ShowTaskBusy(kind, busy); });
    // A closed window wants no outcome any more.
    connect(this, &QDialog::finished, &m_tasks, [this] { m_tasks.CancelAll(); });
    setAcceptDrops(true);
    SetUpReplay();
}

void CVetra_Tivane_PeloToolDlg::UpdateRecordingBar()
{
    if (!m_recordingBar)
        return;
    const bool running = m_tool.Acquisition().IsRunningFlagSet();
    m_recordingBar->OpenButton()->setEnabled(!running);
    m_recordingBar->ParametersButton()->setEnabled(!IsReplaying() &&
                                                   m_tool.Link().IsConnected());
    m_recordingBar->EnableLabels(running || IsReplaying());
    if (!running && !IsReplaying() && m_recordingBar->ShownLabel() != GroundTruthLabel::Off)
        m_recordingBar->ShowLabel(GroundTruthLabel::Off);
}

bool CVetra_Tivane_PeloToolDlg::SetLabel(GroundTruthLabel label)
{
    if (IsReplaying()) {
        // Into the labels file beside the recording, never into the recording or its index.
        if (!m_replayLabelsFile) {
            m_replayLabelsFile = std::make_unique<CLabelsFileWriter>();
            if (!m_replayLabelsFile->Open(m_replayPath))
                DbgOutputA(1, "The labels file could not be opened: %s\r\n", m_replayLabelsFile->Error().c_str());
        }
        const LabelChange change{m_tool.Replay().PositionUs(), label};
        if (m_replayLabelsFile->IsOpen() && !m_replayLabelsFile->Append(change))
            DbgOutputA(1, "A label was not written: %s\r\n", m_replayLabelsFile->Error().c_str());
        // In force from here on, before any label of the same moment read from the file;
        // the live labels give way to this replay's layer.
        m_replayLabels.AddReplayLabel(change);
    } else if (m_tool.Acquisition().IsRunningFlagSet()) {
        m_tool.Acquisition().AddCaptureEvent(CaptureEvent::Labelled(label));
        m_liveLabels.push_back(LabelChange{m_tool.FanOut().TimeUs(), label});
    } else {
        return false;
    }
    DbgOutputA(2, "Label: %s\r\n", LabelName(label));
    m_stateBand->update();
    m_recordingBar->ShowLabel(label);
    return true;
}

bool CVetra_Tivane_PeloToolDlg::UsableOrSaidWhy(const LoadedRecording& loaded, const QString& path)
{
    switch (loaded.problem) {
    case LoadedRecording::Problem::None:
        return true;
    case LoadedRecording::Problem::Unreadable:
        ShowErrorBox(this, StringId::kCannotReplay, StringTable::load(StringId::kCannotRead).arg(path, QString::fromStdString(loaded.reason)));
        break;
    case LoadedRecording::Problem::Empty:
        ShowErrorBox(this, StringId::kCannotReplay, StringTable::load(StringId::kEmptyFile).arg(path));
        break;
    case LoadedRecording::Problem::NotARecording:
        ShowErrorBox(this, StringId::kCannotReplay, StringTable::load(StringId::kNotARecording).arg(path));
        break;
    }
    return false;
}

std::string CVetra_Tivane_PeloToolDlg::RecordingOnShow() const
{
    return IsReplaying() ? m_replayPath : m_tool.Acquisition().GetRawFilePath();
}

bool CVetra_Tivane_PeloToolDlg::ExportCsvTo(const std::string& datPath, const std::string& csvPath, QString* message)
{
    if (ExportRefused(csvPath, message))
        return false;
    const RecordingJobSettings settings = JobSettingsOf(m_settings);
    return ExportFinished(m_tasks.RunHere<CsvExportOutcome>(
                              kCsvExportJob,
                              [&](CTaskControl& control) { return ExportRecordingCsv(datPath, csvPath, settings, &control); }),
                          datPath, csvPath, message);
}

bool CVetra_Tivane_PeloToolDlg::ExportFinished(const TaskOutcome<CsvExportOutcome>& outcome,
                                               const std::string& datPath, const std::string& csvPath,
                                               QString* message)
{
    if (outcome.Succeeded() && !UsableOrSaidWhy(outcome.value->loaded, QString::fromStdString(datPath)))
        return false;
    if (!outcome.Succeeded() || !outcome.value->written) {
        if (message)
            *message = StringTable::load(StringId::kCsvNotWritten)
                           .arg(QString::fromStdString(outcome.Succeeded() ? outcome.value->error : outcome.error));
        return false;
    }
    const std::size_t reports = outcome.value->reports;
    if (message)
        *message = StringTable::load(StringId::kCsvSaved).arg(reports).arg(QString::fromStdString(csvPath));
    DbgOutputA(2, "%zu reports of %s exported to %s, their figures to %s\r\n", reports, datPath.c_str(),
               csvPath.c_str(), FiguresCsvPath(csvPath).c_str());
    return true;
}

void CVetra_Tivane_PeloToolDlg::OnExportCsv()
{
    const std::string source = RecordingOnShow();
    if (source.empty()) {
        ShowPromptBox(this, StringId::kNothingToExport);
        return;
    }
    const QString suggested = QString::fromStdString(source).chopped(4) + QStringLiteral(".csv");
    const QString target = QFileDialog::getSaveFileName(this, QString(), suggested, StringTable::load(StringId::kCsvFilter));
    if (target.isEmpty())
        return;
    const std::string csvPath = target.toStdString();
    QString message;
    if (ExportRefused(csvPath, &message)) {
        AppMessageBox(this, message, StringTable::load(StringId::kCannotReplay), kMbError);
        return;
    }
    // The click returns at once; the outcome comes back here, unless a stop, a close or
    // another export cancels it first.
    const RecordingJobSettings settings = JobSettingsOf(m_settings);
    m_tasks.Start<CsvExportOutcome>(
        kCsvExportJob,
        [source, csvPath, settings](CTaskControl& control) {
            return ExportRecordingCsv(source, csvPath, settings, &control);
        },
        [this, source, csvPath](TaskOutcome<CsvExportOutcome> outcome) {
            QString text;
            if (ExportFinished(outcome, source, csvPath, &text))
                AppMessageBox(this, text, StringTable::load(StringId::kPromptCaption), kMbPrompt);
            else if (!text.isEmpty())
                AppMessageBox(this, text, StringTable::load(StringId::kCannotReplay), kMbError);
        });
}

QString CVetra_Tivane_PeloToolDlg::LabelSummaryText(const std::string& datPath)
{
    const RecordingJobSettings settings = JobSettingsOf(m_settings);
    return SummaryFinished(m_tasks.RunHere<RecordingSummary>(
                               kLabelSummaryJob,
                               [&](CTaskControl& control) { return SummarizeRecording(datPath, settings, &control); }),
                           datPath);
}

QString CVetra_Tivane_PeloToolDlg::SummaryFinished(const TaskOutcome<RecordingSummary>& outcome,
                                                   const std::string& datPath)
{
    if (!outcome.Succeeded()) {
        AppMessageBox(this, QString::fromStdString(outcome.error), StringTable::load(StringId::kCannotReplay), kMbError);
        return {};
    }
    if (!UsableOrSaidWhy(outcome.value->loaded, QString::fromStdString(datPath)))
        return {};
    return SummaryText(*outcome.value);
}

void CVetra_Tivane_PeloToolDlg::OnLabelSummary()
{
    const std::string source = RecordingOnShow();
    if (source.empty()) {
        ShowPromptBox(this, StringId::kNothingToExport);
        return;
    }
    const RecordingJobSettings settings = JobSettingsOf(m_settings);
    m_tasks.Start<RecordingSummary>(
        kLabelSummaryJob,
        [source, settings](CTaskControl& control) { return SummarizeRecording(source, settings, &control); },
        [this, source](TaskOutcome<RecordingSummary> outcome) {
            const QString text = SummaryFinished(outcome, source);
            if (!text.isEmpty())
                AppMessageBox(this, text, StringTable::load(StringId::kSummaryTitle), kMbPrompt);
        });
}

void CVetra_Tivane_PeloToolDlg::ShowTaskBusy(int kind, bool busy)
{
    // The button of a job that runs rests until its outcome is in (or it was cancelled).
    QAbstractButton* button = kind == kCsvExportJob      ? m_recordingBar->ExportButton()
                              : kind == kLabelSummaryJob ? m_recordingBar->SummaryButton()
                              : kind == kOverviewJob     ? m_recordingBar->OverviewButton()
                                                         : nullptr;
    if (button)
        button->setEnabled(!busy);
}

void CVetra_Tivane_PeloToolDlg::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!m_tool.Acquisition().IsRunningFlagSet() && urls.size() == 1 && urls.front().isLocalFile())
        event->acceptProposedAction();
}

void CVetra_Tivane_PeloToolDlg::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (m_tool.Acquisition().IsRunningFlagSet() || urls.size() != 1 || !urls.front().isLocalFile())
        return;
    event->acceptProposedAction();
    // After the drop has ended: a box raised inside it would hold up the source.
    const QString path = urls.front().toLocalFile();
    QMetaObject::invokeMethod(this, [this, path] { OpenReplay(path); }, Qt::QueuedConnection);
}
