// The overview of the replayed recording: its whole length at a glance, where a click
// moves the replay.
#include <QApplication>
#include <QFileInfo>

#include "DbgOutput.h"
#include "OverviewDialog.h"
#include "RecordingBar.h"
#include "RecordingDecode.h"
#include "RecordingOverview.h"
#include "Vetra_Tivane_PeloToolDlg.h"

void CVetra_Tivane_PeloToolDlg::OpenOverview()
{
    if (!IsReplaying() || !m_replayTimeline)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    DecodedRecording decoded;
    {
        // Decoded again on the side: its lines are already in the log of the run.
        CDbgOutputQuietScope quiet;
        decoded = DecodeRecordingFile(*m_replayTimeline, m_replayPath);
    }
    QApplication::restoreOverrideCursor();
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
