// Recordings in the window: a labelled run replayed through the window's own display,
// labels set in a replay, the CSV export and the summary, and files that cannot be
// replayed.
#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <vector>

#include "CWaveWnd.h"
#include "OverviewDialog.h"
#include "RecordingOverview.h"
#include "CaptureIndexReader.h"
#include "LabelsFileReader.h"
#include "MainWindowFixture.h"
#include "RecordingBar.h"
#include "StateBand.h"
#include "StatisticsPanel.h"
#include "StringTable.h"

namespace {

using Dlg = CVetra_Tivane_PeloToolDlg;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class MainWindowReplay : public MainWindowFixture {
protected:
    void SendAndShow(std::uint8_t state, std::uint16_t distance)
    {
        ASSERT_TRUE(m_peer.Write(PtyPeer::ReportFrame(state, distance)));
        ASSERT_TRUE(WaitFor([&] { return ControlText(Dlg::kDistanceDigits) == QString::number(distance); }));
    }
    // A run of three reports with the label "moving" set after the first, then stopped.
    QString RecordLabelledRun()
    {
        ConnectAndStartOn(m_peer);
        SendAndShow(0, 100);
        EXPECT_TRUE(m_window->SetLabel(GroundTruthLabel::Moving));
        SendAndShow(1, 250);
        SendAndShow(2, 300);
        m_window->OnStartStop();
        return QString::fromStdString(m_window->RawFilePath());
    }
    PtyPeer m_peer;
};

TEST_F(MainWindowReplay, ALabelledRunReplaysExportsAndSummarises)
{
    const QString dat = RecordLabelledRun();
    const QByteArray recorded = ReadAll(dat);
    const CaptureIndex index = CCaptureIndexReader::ReadFile(dat.toStdString() + ".idx");
    ASSERT_EQ(index.outcome.status, ReadStatus::Ok) << index.outcome.reason;
    ASSERT_EQ(index.events.size(), 3u);  // start, the label, stop
    EXPECT_EQ(index.events[1].event.label, GroundTruthLabel::Moving);
    EXPECT_FALSE(m_window->SetLabel(GroundTruthLabel::Still)) << "no run and no replay: nothing to label";
    EXPECT_EQ(m_window->Insight().Figures().reports, 3);

    const bool connectWasEnabled = IsEnabled(Dlg::kConnectButton);
    CRecordingBar& bar = *m_window->RecordingBar();
    bar.SpeedBox()->setCurrentIndex(bar.SpeedBox()->findData(0));  // the fastest
    ASSERT_TRUE(m_window->OpenReplay(dat));
    EXPECT_TRUE(m_window->IsReplaying());
    for (int id : {Dlg::kConnectButton, Dlg::kStartButton, Dlg::kPortCombo, Dlg::kBaudRateEdit})
        EXPECT_FALSE(IsEnabled(id)) << id;
    ASSERT_TRUE(WaitFor([&] { return m_window->Replay().Ended(); }));
    ASSERT_TRUE(WaitFor([&] { return ControlText(Dlg::kDistanceDigits) == QStringLiteral("300"); }))
        << "the display keeps the last report at the end";
    EXPECT_EQ(m_window->ShownPresence(), 2);
    EXPECT_EQ(m_window->HistoryValues().back(), 300);
    EXPECT_EQ(bar.ShownLabel(), GroundTruthLabel::Moving) << "the label in force at the end";

    // The band and the figures show the replay, started afresh from its first report.
    const PresenceFigures figures = m_window->Insight().Figures();
    EXPECT_EQ(figures.reports, 3);
    EXPECT_EQ(figures.stateChanges, 2);
    EXPECT_EQ(figures.current, PresenceState::Motionless);
    std::vector<StripSample> strip;
    m_window->Insight().Strip().CopyTo(strip);
    ASSERT_GE(strip.size(), 3u);
    EXPECT_EQ(strip.back().state, std::int8_t(PresenceState::Motionless));
    EXPECT_EQ(strip[strip.size() - 3].state, std::int8_t(PresenceState::Nobody));
    CStateBand& band = *m_window->StateBand();
    const QRect bandRect = band.BandRect();
    ASSERT_GT(bandRect.width(), 10);
    const QString hover = band.HoverText(bandRect.right());
    EXPECT_TRUE(hover.contains(StringTable::load(50302))) << hover.toStdString();
    EXPECT_TRUE(hover.contains(StringTable::load(50140))) << "the label in force: " << hover.toStdString();
    EXPECT_TRUE(band.HoverText(bandRect.left()).contains(StringTable::load(50303))) << "nothing came before the run";

    // The panel opens below everything and leaves the rest of the window as it was.
    const QRect chartBefore = m_window->Chart()->geometry();
    const int heightBefore = m_window->height();
    m_window->ShowStatistics(true);
    EXPECT_EQ(m_window->height(), heightBefore + m_window->StatisticsPanel()->height());
    EXPECT_EQ(m_window->Chart()->geometry(), chartBefore);
    EXPECT_TRUE(m_window->Settings().showStatistics);
    EXPECT_TRUE(m_window->StatisticsPanel()->Text().contains(StringTable::load(50316).arg(2)));
    m_window->ShowStatistics(false);
    EXPECT_EQ(m_window->height(), heightBefore);
    EXPECT_EQ(m_window->Chart()->geometry(), chartBefore);

    // The overview shows the whole recording; a click on it moves the replay there.
    m_window->OpenOverview();
    ASSERT_NE(m_window->OverviewDialog(), nullptr);
    EXPECT_TRUE(m_window->OverviewDialog()->isVisible());
    CRecordingOverview& overview = *m_window->OverviewDialog()->Overview();
    ASSERT_FALSE(overview.Columns().empty());
    EXPECT_TRUE(overview.Columns().front().hasData);
    EXPECT_EQ(overview.Columns().back().state, std::int8_t(PresenceState::Motionless));
    const RECT& plot = overview.Chart()->GetPlotRect();
    const QPointF middle((plot.left + plot.right) / 2.0, (plot.top + plot.bottom) / 2.0);
    const std::int64_t clicked = overview.TimeAtX(overview.Chart()->x() + int(middle.x()));
    ASSERT_GT(clicked, 0);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, middle, overview.Chart()->mapToGlobal(middle), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(overview.Chart(), &click);
    }
    EXPECT_NEAR(double(m_window->Replay().PositionUs()), double(clicked), 60000.0);
    // Back to the end: the label below is set after the last report.
    m_window->SeekReplay(m_window->Replay().EndUs());
    ASSERT_TRUE(WaitFor([&] { return m_window->Replay().PositionUs() >= m_window->Replay().EndUs(); }));

    // A label set in the replay goes beside the recording, never into it.
    ASSERT_TRUE(m_window->SetLabel(GroundTruthLabel::Still));
    m_window->StopReplay();
    EXPECT_FALSE(m_window->IsReplaying());
    EXPECT_EQ(IsEnabled(Dlg::kConnectButton), connectWasEnabled);
    EXPECT_EQ(m_window->ShownPresence(), 0) << "a stop returns the display to idle";
    EXPECT_EQ(ReadAll(dat), recorded);
    EXPECT_EQ(CCaptureIndexReader::ReadFile(dat.toStdString() + ".idx").events.size(), 3u);
    const LabelsFile labels = ReadLabelsFile(dat.toStdString() + ".labels");
    ASSERT_EQ(labels.changes.size(), 1u);
    EXPECT_EQ(labels.changes[0].label, GroundTruthLabel::Still);

    const QString csv = FolderPath(QStringLiteral("run.csv"));
    QString message;
    ASSERT_TRUE(m_window->ExportCsvTo(dat.toStdString(), csv.toStdString(), &message)) << message.toStdString();
    const QList<QByteArray> rows = ReadAll(csv).split('\n');
    ASSERT_GE(rows.size(), 4);
    EXPECT_TRUE(rows[0].startsWith("time_ms,wall_time,state,state_name,distance_cm,label"));
    EXPECT_TRUE(rows[1].contains(",0,nobody,100,")) << rows[1].toStdString();
    // The replay's labelling pass replaces the live labels: "still" came after the last report.
    EXPECT_TRUE(rows[2].contains(",1,moving,250,")) << rows[2].toStdString();
    EXPECT_FALSE(rows[2].contains(",250,moving")) << rows[2].toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("3"))) << message.toStdString();
    // The figures of the whole recording beside the rows.
    const QByteArray figuresCsv = ReadAll(FolderPath(QStringLiteral("run.figures.csv")));
    EXPECT_TRUE(figuresCsv.startsWith("figure,state,value,unit\r\n")) << figuresCsv.toStdString();
    EXPECT_TRUE(figuresCsv.contains("\r\nstate_changes,,2,\r\n")) << figuresCsv.toStdString();
    EXPECT_TRUE(figuresCsv.contains("\r\ndistance_max,moving,250,cm\r\n")) << figuresCsv.toStdString();
    EXPECT_TRUE(m_window->LabelSummaryText(dat.toStdString()).contains(StringTable::load(50361)));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainWindowReplay, FilesThatCannotBeReplayedSayWhyAndChangeNothing)
{
    Start();
    const QString empty = FolderPath(QStringLiteral("empty.dat"));
    QFile(empty).open(QIODevice::WriteOnly);
    const QString notDat = FolderPath(QStringLiteral("notes.txt"));
    QFile text(notDat);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly) && text.write("hello") == 5);
    text.close();
    QDir(m_folder.path()).mkdir(QStringLiteral("folder.dat"));
    const QString noReport = FolderPath(QStringLiteral("noreport.dat"));
    QFile garbage(noReport);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly) && garbage.write("no frame in here") == 16);
    garbage.close();
    const struct {
        QString path;
        int textId;
    } cases[] = {
        {FolderPath(QStringLiteral("missing.dat")), 50148},
        {empty, 50149},
        {notDat, 50150},
        {FolderPath(QStringLiteral("folder.dat")), 50148},
        {noReport, 50364},
    };
    for (const auto& c : cases) {
        m_watcher->Clear();
        EXPECT_FALSE(m_window->OpenReplay(c.path)) << c.path.toStdString();
        EXPECT_FALSE(m_window->IsReplaying());
        ASSERT_EQ(Boxes().size(), 1u) << c.path.toStdString();
        const QString expected = StringTable::load(c.textId).arg(c.path).section(QStringLiteral("%2"), 0, 0);
        EXPECT_TRUE(Boxes()[0].detail.startsWith(expected)) << Boxes()[0].detail.toStdString();
        EXPECT_TRUE(IsEnabled(Dlg::kConnectButton));
    }

    // A recording whose index is damaged still replays, paced by the report interval.
    const QString dat = FolderPath(QStringLiteral("damaged.dat"));
    QFile frames(dat);
    ASSERT_TRUE(frames.open(QIODevice::WriteOnly));
    frames.write(QByteArray::fromHex("AAAA01E8035555AAAA02F4015555"));
    frames.close();
    QFile index(dat + QStringLiteral(".idx"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("{\"type\":\"header\",\"format\":\"tivane-capture-index\",\"version\":1}\n{\"t\":0,\"o\":0,\"n\":700}\n");
    index.close();
    m_watcher->Clear();
    ASSERT_TRUE(m_window->OpenReplay(dat));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(m_window->RecordingBar()->ReplayText().contains(QStringLiteral("damaged.dat ⚠")))
        << "the replay says it is not paced by its index";
    m_window->Replay().SetSpeed(0);
    ASSERT_TRUE(WaitFor([&] { return ControlText(Dlg::kDistanceDigits) == QStringLiteral("500"); }));
    m_window->StopReplay();

    // Dropped on the window, the same file replays.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dat)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &drop);
    EXPECT_TRUE(WaitFor([&] { return m_window->IsReplaying(); }));
    m_window->StopReplay();
}

}  // namespace
