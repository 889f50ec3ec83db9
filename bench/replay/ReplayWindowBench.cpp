// Opens the main window off-screen on a program folder of its own, replays a recording
// of 20 reports a second at 16 times its pace, and for SECONDS (default 20):
//   - clicks the play/pause button twice every 250 ms (presses and releases queued to
//     the window as the system would queue them) and measures from the queueing to the
//     button's clicked handler;
//   - counts the window's frames per second, and the paints of its parts that show
//     reports (chart, digits, picture) in them.
// Run: QT_QPA_PLATFORM=offscreen build/bench/replay/replay_window_bench [SECONDS [quiet]]
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "CWaveWnd.h"
#include "ColorStatic.h"
#include "RecordingBar.h"
#include "StringTable.h"
#include "Vetra_Tivane_PeloToolDlg.h"
#include "../WindowBenchSupport.h"

namespace {

// Counts the window's frames (each update request of the top-level window composes and
// shows one) and the paints of the watched parts within them.
class PaintCounter : public QObject {
public:
    int frames = 0;
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::UpdateRequest)
            ++frames;
        else if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 20;
    QTemporaryDir folder;
    CopyPresencePictures(folder.path(), QStringLiteral(PRESENCE_PICTURES_DIR));
    const std::string dat = folder.filePath(QStringLiteral("bench.dat")).toStdString();
    // 30 minutes.
    WriteBlockPerReportRecording(dat, 36000);

    return RunWindowOn(folder.path(), [&](CVetra_Tivane_PeloToolDlg& window) {
        PaintCounter counter;
        for (QWidget* part : {static_cast<QWidget*>(window.Chart()), static_cast<QWidget*>(window.DistanceDigits()),
                              static_cast<QWidget*>(window.IndicatorPicture())})
            part->installEventFilter(&counter);
        window.installEventFilter(&counter);
        CRecordingBar& bar = *window.RecordingBar();
        bar.SpeedBox()->setCurrentIndex(bar.SpeedBox()->findData(16));
        if (!window.OpenReplay(QString::fromStdString(dat)))
            return 1;

        QAbstractButton* play = bar.PlayButton();
        QElapsedTimer queued;
        std::vector<double> latenciesMs;
        QObject::connect(play, &QAbstractButton::clicked, [&] { latenciesMs.push_back(double(queued.nsecsElapsed()) / 1e6); });
        QTimer clicker;
        clicker.setInterval(250);
        QObject::connect(&clicker, &QTimer::timeout, [&] {
            const QPointF at(play->width() / 2.0, play->height() / 2.0);
            const QPointF global = play->mapToGlobal(at);
            queued.start();
            // Pause and play again at once: the replay runs on between the ticks.
            for (int click = 0; click < 2; ++click) {
                QApplication::postEvent(play, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                                              Qt::LeftButton, Qt::NoModifier));
                QApplication::postEvent(play, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                                              Qt::NoButton, Qt::NoModifier));
            }
        });
        QElapsedTimer run;
        run.start();
        // "quiet": no clicks, to see the frames of the replay alone.
        if (!(argc > 2 && std::string(argv[2]) == "quiet"))
            clicker.start();
        QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
        app.exec();
        const double elapsed = double(run.nsecsElapsed()) / 1e9;
        std::printf("replay at 16x for %.1f s: %zu clicks, handled after median %.2f ms, p99 %.2f ms, max %.2f ms; "
                    "%.1f window frames a second, with %.1f paints of the chart, digits and picture a second; "
                    "replay position %.1f s\n",
                    elapsed, latenciesMs.size(), Percentile(latenciesMs, 0.5), Percentile(latenciesMs, 0.99),
                    Percentile(latenciesMs, 1.0), double(counter.frames) / elapsed, double(counter.paints) / elapsed,
                    double(window.Replay().PositionUs()) / 1e6);
        return 0;
    });
}
