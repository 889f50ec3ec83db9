// The overview of the replayed recording: its whole length at a glance, where a click
// moves the replay.
#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>

#include "DbgOutput.h"
#include "OverviewDialog.h"
#include "RecordingBar.h"
#include "RecordingDecode.h"
#include "RecordingJobs.h"
#include "RecordingOverview.h"
#include "Vetra_Tivane_PeloToolDlg.h"

void CVetra_Tivane_PeloToolDlg::OpenOverview()
{
    if (!IsReplaying() || !m_replayTimeline)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TaskOutcome<DecodedRecording> decoded = m_tasks.RunHere<DecodedRecording>(
        kOverviewJob, [this](CTaskControl& control) { return DecodeForOverview(*m_replayTimeline, m_replayPath, &control); });
    QApplication::restoreOverrideCursor();
    if (decoded.Succeeded())
        ShowOverview(std::move(*decoded.value));
    else
        DbgOutputA(1, "No overview of %s: %s\r\n", m_replayPath.c_str(), decoded.error.c_str());
}

void CVetra_Tivane_PeloToolDlg::RequestOverview()
{
    if (!IsReplaying() || !m_replayTimeline)
        return;
    // The job keeps the timeline and the name: the replay may stop (and cancel it) meanwhile.
    m_tasks.Start<DecodedRecording>(
        kOverviewJob,
        [timeline = m_replayTimeline, path = m_replayPath](CTaskControl& control) {
            return DecodeForOverview(*timeline, path, &control);
        },
        [this](TaskOutcome<DecodedRecording> decoded) {
            if (decoded.Succeeded())
                ShowOverview(std::move(*decoded.value));
            else
                DbgOutputA(1, "No overview of %s: %s\r\n", m_replayPath.c_str(), decoded.error.c_str());
        });
}

void CVetra_Tivane_PeloToolDlg::ShowOverview(DecodedRecording decoded)
{
    if (!IsReplaying())
        return;
    if (!decoded.complete)
        DbgOutputA(1, "The overview shows only part of %s: %s\r\n", m_replayPath.c_str(), decoded.error.c_str());
    if (!m_overviewDialog) {
        m_overviewDialog = new COverviewDialog(this);
        m_overviewDialog->Overview()->SetJumpHandler([this](std::int64_t timeUs) { SeekReplay(timeUs); });
    }
    m_overviewDialog->Overview()->SetRecording(
        std::make_shared<const std::vector<DecodedReport>>(std::move(decoded.reports)), m_replayLabels.Changes(),
        ReplayTimeBase(), m_replayIntervalMs.load(std::memory_order_relaxed),
        QFileInfo(QString::fromStdString(m_replayPath)).fileName());
    m_overviewDialog->show();
    m_overviewDialog->raise();
}
