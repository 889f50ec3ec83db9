// Opens the main window off-screen on a program folder of its own with a day-long
// recording (1,728,000 reports at 50 ms, a block each, with its index) replaying, then
// for each whole-file job of the recording bar (overview, CSV export, label summary):
//   - runs it the way the window's own callers do when they want the outcome at once,
//     on the window's thread: the time a click would have waited before;
//   - clicks its button (the file dialog and the closing box answered as an operator
//     would) and, while the job runs, queues an event to the window every 10 ms and
//     measures from the queueing to its handling, until a little after the outcome
//     is shown.
// Last, an export is clicked and the replay's Stop clicked while it runs: how soon the
// Stop is handled, and that the old CSV is left as it was.
// Run: QT_QPA_PLATFORM=offscreen build/bench/tasks/window_tasks_bench [REPORTS]
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "OverviewDialog.h"
#include "RecordingBar.h"
#include "RecordingJobs.h"
#include "StringTable.h"
#include "Vetra_Tivane_PeloToolDlg.h"
#include "../WindowBenchSupport.h"

namespace {

double Ms(const QElapsedTimer& clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

// Answers the file dialog with csvPath and closes any message box, as they come.
class ModalAnswerer {
public:
    std::string csvPath;
    int boxes = 0;
    ModalAnswerer()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == m_answering)
                return;
            // Answered from a queued call: a box the answer raises (the file dialog's
            // "replace it?") runs its own loop, where this timer would not fire again.
            m_answering = modal;
            QMetaObject::invokeMethod(
                modal, [this, modal] { Answer(modal); }, Qt::QueuedConnection);
        });
        m_timer.start();
    }

private:
    void Answer(QWidget* modal)
    {
        if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            files->selectFile(QString::fromStdString(csvPath));
            static_cast<QDialog*>(files)->accept();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (QAbstractButton* yes = box->button(QMessageBox::Yes)) {
                yes->click();
            } else {
                ++boxes;
                box->accept();
            }
        }
        m_answering = nullptr;
    }
    QTimer m_timer;
    QWidget* m_answering = nullptr;
};

struct Figures {
    double jobMs = 0;
    std::vector<double> waitsMs;
};

// Clicks button, then queues a probe every 10 ms until done() holds; each probe's wait.
Figures ClickAndProbe(QAbstractButton* button, const std::function<bool()>& done)
{
    Figures figures;
    QElapsedTimer job;
    job.start();
    QTimer probe;
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        auto queued = std::make_shared<QElapsedTimer>();
        queued->start();
        QMetaObject::invokeMethod(
            button, [&figures, queued] { figures.waitsMs.push_back(Ms(*queued)); }, Qt::QueuedConnection);
    });
    probe.start();
    // Posted as the system would post it: the click itself is a queued event too.
    QMetaObject::invokeMethod(button, [button] { button->click(); }, Qt::QueuedConnection);
    while (!done() && job.elapsed() < 120000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    figures.jobMs = Ms(job);
    // On a little: the probes queued while the outcome was being shown count too.
    QElapsedTimer after;
    after.start();
    while (after.elapsed() < 150)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return figures;
}

void Print(const char* what, double syncMs, const Figures& f)
{
    std::printf("%-13s on the window's thread %7.1f ms; clicked: done after %7.1f ms, %3zu queued events waited "
                "median %.2f ms, p99 %.2f ms, max %.2f ms\n",
                what, syncMs, f.jobMs, f.waitsMs.size(), Percentile(f.waitsMs, 0.5), Percentile(f.waitsMs, 0.99),
                Percentile(f.waitsMs, 1.0));
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int reports = argc > 1 ? std::max(1000, std::atoi(argv[1])) : 1'728'000;
    QTemporaryDir folder;
    CopyPresencePictures(folder.path(), QStringLiteral(PRESENCE_PICTURES_DIR));
    const std::string dat = folder.filePath(QStringLiteral("day.dat")).toStdString();
    QElapsedTimer writing;
    writing.start();
    WriteBlockPerReportRecording(dat, reports);
    std::printf("%d reports written in %.1f s\n", reports, double(writing.elapsed()) / 1000.0);

    return RunWindowOn(folder.path(), [&](CVetra_Tivane_PeloToolDlg& window) {
        CRecordingBar& bar = *window.RecordingBar();
        bar.SpeedBox()->setCurrentIndex(bar.SpeedBox()->findData(1));
        if (!window.OpenReplay(QString::fromStdString(dat)))
            return 1;
        ModalAnswerer answers;
        CTaskRunner& tasks = window.Tasks();

        QElapsedTimer sync;
        sync.start();
        window.OpenOverview();
        const double overviewSyncMs = Ms(sync);
        window.OverviewDialog()->hide();
        const Figures overview = ClickAndProbe(bar.OverviewButton(), [&] {
            return !tasks.Busy(kOverviewJob) && window.OverviewDialog()->isVisible();
        });
        Print("overview", overviewSyncMs, overview);

        const std::string csv = folder.filePath(QStringLiteral("day.csv")).toStdString();
        sync.restart();
        QString message;
        if (!window.ExportCsvTo(dat, csv, &message))
            std::printf("export failed: %s\n", message.toStdString().c_str());
        const double exportSyncMs = Ms(sync);
        answers.csvPath = folder.filePath(QStringLiteral("clicked.csv")).toStdString();
        const int boxesBefore = answers.boxes;
        const Figures exported =
            ClickAndProbe(bar.ExportButton(), [&] { return answers.boxes > boxesBefore && !tasks.AnyBusy(); });
        Print("CSV export", exportSyncMs, exported);

        sync.restart();
        window.LabelSummaryText(dat);
        const double summarySyncMs = Ms(sync);
        const int boxesBeforeSummary = answers.boxes;
        const Figures summary =
            ClickAndProbe(bar.SummaryButton(), [&] { return answers.boxes > boxesBeforeSummary && !tasks.AnyBusy(); });
        Print("label summary", summarySyncMs, summary);

        // An export stopped by the replay's Stop: the old file stays as it was.
        answers.csvPath = csv;
        QFile before(QString::fromStdString(csv));
        before.open(QIODevice::ReadOnly);
        const QByteArray old = before.readAll();
        before.close();
        QMetaObject::invokeMethod(bar.ExportButton(), [&] { bar.ExportButton()->click(); }, Qt::QueuedConnection);
        QElapsedTimer waiting;
        waiting.start();
        while (!tasks.Busy(kCsvExportJob) && waiting.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        QElapsedTimer half;
        half.start();
        while (half.elapsed() < 300)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        QElapsedTimer stopQueued;
        double stopWaitMs = -1;
        QObject::connect(bar.StopButton(), &QAbstractButton::clicked, [&] { stopWaitMs = Ms(stopQueued); });
        const QPointF at(bar.StopButton()->width() / 2.0, bar.StopButton()->height() / 2.0);
        const QPointF global = bar.StopButton()->mapToGlobal(at);
        stopQueued.start();
        QApplication::postEvent(bar.StopButton(), new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                                                  Qt::LeftButton, Qt::NoModifier));
        QApplication::postEvent(bar.StopButton(), new QMouseEvent(QEvent::MouseButtonRelease, at, global,
                                                                  Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        while (stopWaitMs < 0 && stopQueued.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 500)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        QFile after(QString::fromStdString(csv));
        after.open(QIODevice::ReadOnly);
        const bool kept = after.readAll() == old;
        const QStringList leftovers =
            QDir(folder.path()).entryList({QStringLiteral("*.part-*")}, QDir::Files | QDir::Hidden);
        std::printf("Stop clicked during an export: handled after %.2f ms, replay %s, export %s, old CSV %s, "
                    "%lld files left aside\n",
                    stopWaitMs, window.IsReplaying() ? "still on" : "stopped",
                    tasks.Busy(kCsvExportJob) ? "still busy" : "cancelled", kept ? "kept" : "CHANGED",
                    static_cast<long long>(leftovers.size()));
        return kept && !window.IsReplaying() ? 0 : 1;
    });
}
