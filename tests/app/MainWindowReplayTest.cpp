// Recordings in the window: a labelled run replayed through the window's own display,
// labels set in a replay, the CSV export and the summary, and files that cannot be
// replayed.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QSlider>
#include <QUrl>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>
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

    // The panel opens below everything and leaves the rest of the window as it was,
    // the curve and the band included.
    const QRect chartBefore = m_window->Chart()->geometry();
    const int heightBefore = m_window->height();
    const std::vector<std::int32_t> curve = m_window->HistoryValues();
    m_window->ShowStatistics(true);
    EXPECT_EQ(m_window->height(), heightBefore + m_window->StatisticsPanel()->height());
    EXPECT_EQ(m_window->Chart()->geometry(), chartBefore);
    EXPECT_TRUE(m_window->Settings().showStatistics);
    EXPECT_TRUE(m_window->StatisticsPanel()->Text().contains(StringTable::load(50316).arg(2)));
    m_window->ShowStatistics(false);
    QApplication::processEvents();
    EXPECT_EQ(m_window->height(), heightBefore);
    EXPECT_EQ(m_window->Chart()->geometry(), chartBefore);
    EXPECT_EQ(m_window->HistoryValues(), curve) << "the panel cleared the curve";
    std::vector<StripSample> after;
    m_window->Insight().Strip().CopyTo(after);
    ASSERT_EQ(after.size(), strip.size());
    EXPECT_EQ(after.back().state, std::int8_t(PresenceState::Motionless)) << "the panel cleared the band";

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

    // A FIFO where the rows or their figures would go is refused before either is
    // written: a rename would replace it with a regular file.
    const std::string held = FolderPath(QStringLiteral("held.csv")).toStdString();
    for (const std::string& fifo : {held, FolderPath(QStringLiteral("held.figures.csv")).toStdString()}) {
        SCOPED_TRACE(fifo);
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
        EXPECT_FALSE(m_window->ExportCsvTo(dat.toStdString(), held, &message));
        EXPECT_TRUE(message.contains(QStringLiteral("is a FIFO, not a regular file"))) << message.toStdString();
        EXPECT_EQ(QFileInfo(QString::fromStdString(held)).isFile(), false) << "no rows without their figures";
        ::unlink(fifo.c_str());
    }
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
    ASSERT_EQ(::mkfifo(FolderPath(QStringLiteral("fifo.dat")).toLocal8Bit().constData(), 0644), 0);
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
        {FolderPath(QStringLiteral("fifo.dat")), 50148},  // answered at once, never waited on
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
    const QString dat = WriteTwoReportRecording(QStringLiteral("damaged.dat"));
    ASSERT_FALSE(dat.isEmpty());
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

// A click on the overview or the summary returns before the job's outcome is shown; the
// job's button rests meanwhile, and a stopped replay drops what was still to come.
TEST_F(MainWindowReplay, ClickedWholeFileJobsAnswerLaterAndAStopDropsThem)
{
    Start();
    const QString dat = WriteTwoReportRecording(QStringLiteral("clicked.dat"));
    ASSERT_FALSE(dat.isEmpty());
    ASSERT_TRUE(m_window->OpenReplay(dat));
    CRecordingBar& bar = *m_window->RecordingBar();
    bar.OverviewButton()->click();
    EXPECT_EQ(m_window->OverviewDialog(), nullptr);
    EXPECT_FALSE(bar.OverviewButton()->isEnabled()) << "no sign of the job that runs";
    m_window->StopReplay();
    EXPECT_TRUE(bar.OverviewButton()->isEnabledTo(bar.OverviewButton()->parentWidget())) << "left resting";
    WaitFor([] { return false; }, 200);
    EXPECT_EQ(m_window->OverviewDialog(), nullptr) << "an overview came after the stop";

    ASSERT_TRUE(m_window->OpenReplay(dat));
    m_watcher->Clear();
    bar.SummaryButton()->click();
    EXPECT_TRUE(Boxes().empty());
    EXPECT_FALSE(bar.SummaryButton()->isEnabled());
    bar.OverviewButton()->click();
    ASSERT_TRUE(WaitFor([&] { return Boxes().size() == 1 && m_window->OverviewDialog(); }));
    EXPECT_EQ(Boxes()[0].caption, StringTable::load(50158));
    EXPECT_EQ(Boxes()[0].text, m_window->LabelSummaryText(dat.toStdString()));
    EXPECT_TRUE(m_window->OverviewDialog()->isVisible());
    EXPECT_FALSE(m_window->OverviewDialog()->Overview()->Columns().empty());
    EXPECT_TRUE(bar.SummaryButton()->isEnabled());
    EXPECT_TRUE(bar.OverviewButton()->isEnabled());
    m_window->StopReplay();
}

// The recording bar keeps all its controls, in view and side by side, at every size
// from the smallest window up, with the statistics panel opened and closed and after a
// minimise, in both languages, while a replay rests at its end (nothing on show changes,
// so nothing but the resize itself lays the bar out).
TEST_F(MainWindowReplay, TheRecordingBarKeepsEveryControlAtEverySize)
{
    struct BackToEnglish {
        ~BackToEnglish() { StringTable::setLanguage(UiLanguage::English); }
    } backToEnglish;
    for (UiLanguage language : {UiLanguage::English, UiLanguage::Chinese}) {
        StringTable::setLanguage(language);
        ASSERT_NO_FATAL_FAILURE(Start());
        const QString dat =
            WriteTwoReportRecording(QStringLiteral("a-rather-long-name-of-a-recording-from-the-kitchen.dat"));
        ASSERT_FALSE(dat.isEmpty());
        ASSERT_TRUE(m_window->OpenReplay(dat));
        m_window->Replay().SetSpeed(0);
        ASSERT_TRUE(WaitFor([&] { return m_window->Replay().Ended(); }));
        QApplication::processEvents();

        CRecordingBar& bar = *m_window->RecordingBar();
        const std::vector<std::vector<QWidget*>> rows = {
            {bar.OpenButton(), bar.ExportButton(), bar.SummaryButton(), bar.ParametersButton(),
             bar.LabelButton(GroundTruthLabel::Empty), bar.LabelButton(GroundTruthLabel::Moving),
             bar.LabelButton(GroundTruthLabel::Still), bar.LabelButton(GroundTruthLabel::Off)},
            {bar.PlayButton(), bar.SpeedBox(), bar.StepButton(), bar.PositionSlider(), bar.StopButton(),
             bar.OverviewButton()},
        };
        const QSize smallest = m_window->minimumSize();
        const QSize sizes[] = {smallest, {800, 520}, {820, 540}, {801, 521}, {smallest.width(), 900},
                               {1300, smallest.height()}, {1000, 700}, {1500, 950}};
        int step = 0;
        for (const QSize& size : sizes) {
            for (int change = 0; change < 3; ++change) {
                const std::string what = std::string(language == UiLanguage::English ? "en " : "zh ") +
                                         std::to_string(size.width()) + "x" + std::to_string(size.height()) +
                                         (change == 0 ? " resized" : change == 1 ? " panel toggled" : " restored");
                if (change == 0) {
                    m_window->resize(size);
                } else if (change == 1) {
                    m_window->ShowStatistics(step % 2 == 0);
                } else {
                    m_window->showMinimized();
                    QApplication::processEvents();
                    m_window->showNormal();
                }
                QApplication::processEvents();
                ++step;
                const QRect window = m_window->rect();
                const QRect barArea(bar.mapTo(m_window.get(), QPoint(0, 0)), bar.size());
                EXPECT_TRUE(window.contains(barArea)) << what;
                for (const std::vector<QWidget*>& row : rows) {
                    QRect left;
                    for (QWidget* control : row) {
                        const QRect area(control->mapTo(m_window.get(), QPoint(0, 0)), control->size());
                        EXPECT_TRUE(control->isVisible()) << what;
                        EXPECT_TRUE(barArea.contains(area)) << what << ": " << control->metaObject()->className();
                        EXPECT_GE(area.width(), control->minimumSizeHint().width() * 3 / 4) << what;
                        // Side by side, left to right, as the row lays them out.
                        EXPECT_GE(area.left(), left.right()) << what << ": on top of its left neighbour";
                        left = area;
                    }
                }
            }
        }
        m_window->StopReplay();
        CloseAndDestroy();
    }
}

}  // namespace
