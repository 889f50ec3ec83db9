// Port selection, connect and disconnect, start and stop, and a link lost under way.
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "DistanceHistory.h"
#include "MainWindowFixture.h"
#include "SerialPortNames.h"
#include "SimModuleProcess.h"

namespace {

using Dlg = CVetra_Tivane_PeloToolDlg;

class MainWindowConnection : public MainWindowFixture {
protected:
    // The button row as the operator sees it: enabled flags of Connect, Config, Start and their texts.
    struct Buttons {
        bool connect;
        QString connectText;
        bool config;
        bool start;
        QString startText;
    };
    Buttons ButtonRow() const
    {
        return {IsEnabled(Dlg::kConnectButton), ControlText(Dlg::kConnectButton), IsEnabled(Dlg::kConfigButton),
                IsEnabled(Dlg::kStartButton), ControlText(Dlg::kStartButton)};
    }
    void ExpectButtons(const Buttons& expected, const char* situation) const
    {
        const Buttons actual = ButtonRow();
        EXPECT_EQ(actual.connect, expected.connect) << situation;
        EXPECT_EQ(actual.connectText, expected.connectText) << situation;
        EXPECT_EQ(actual.config, expected.config) << situation;
        EXPECT_EQ(actual.start, expected.start) << situation;
        EXPECT_EQ(actual.startText, expected.startText) << situation;
    }
    void ExpectOneErrorBox(const char* text)
    {
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].text, text);
        EXPECT_EQ(Boxes()[0].caption, "Error");
        EXPECT_EQ(Boxes()[0].icon, QMessageBox::Critical);
        EXPECT_TRUE(Boxes()[0].onTop);
        EXPECT_EQ(Boxes()[0].owner, m_window.get());
    }
};

TEST_F(MainWindowConnection, ButtonsFollowTheRunState)
{
    Start();
    ConnectToSimulatedModule();
    ExpectButtons({true, "Disconn.", true, true, "Start"}, "connected, idle");
    EXPECT_EQ(ControlText(Dlg::kFirmwareLabel), "FW Ver:1.0.0-sim");

    m_window->OnStartStop();
    EXPECT_TRUE(m_window->IsRunning());
    ExpectButtons({false, "Disconn.", true, true, "Stop"}, "running");

    m_window->OnStartStop();
    EXPECT_FALSE(m_window->IsRunning());
    ExpectButtons({true, "Disconn.", true, true, "Start"}, "stopped");

    // Connect while connected disconnects, whatever the list shows.
    m_window->Controls().item<QComboBox>(Dlg::kPortCombo)->setCurrentIndex(0);
    m_window->OnConnect();
    EXPECT_EQ(Vetra_Interface_RadarDevice_IsConnected(m_window->Device()), 0);
    ExpectButtons({true, "Connect", false, false, "Start"}, "after a disconnect");
    EXPECT_EQ(ControlText(Dlg::kFirmwareLabel), "FW Ver:Unknown");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainWindowConnection, ConnectWithoutAPortReportsNoDevice)
{
    Start();
    m_window->Controls().item<QComboBox>(Dlg::kPortCombo)->clear();
    m_window->OnConnect();
    ExpectOneErrorBox("No device detected");
    ExpectButtons({true, "Connect", false, false, "Start"}, "connect without a port");
    EXPECT_TRUE(SettingsText().contains("BaudRate")) << "the common end saves the settings";
}

TEST_F(MainWindowConnection, APortThatFailsToOpenChangesNothingElse)
{
    Start();
    ConnectToSimulatedModule();
    m_window->OnConnect();  // disconnect: a known state to compare with
    const QString settingsBefore = SettingsText();
    m_window->AddExtraPortPath("/nonexistent/ttyVETRA0");
    m_window->RefreshPortList();
    ASSERT_TRUE(m_window->SelectPort(RegisterSerialPortPath("/nonexistent/ttyVETRA0")));
    m_window->Controls().item<QLineEdit>(Dlg::kBaudRateEdit)->setText("9600");
    const Buttons before = ButtonRow();

    m_window->OnConnect();
    ExpectOneErrorBox("Fail to connect to device");
    // The second line says why and what to do.
    EXPECT_EQ(Boxes()[0].detail, "/nonexistent/ttyVETRA0 is gone: the device was unplugged or renamed after the "
                                 "list was made. Plug it in and press Refresh.");
    ExpectButtons(before, "after a failed open");
    EXPECT_EQ(ControlText(Dlg::kFirmwareLabel), "FW Ver:Unknown");
    EXPECT_EQ(SettingsText(), settingsBefore) << "a failed open must not save";
}

TEST_F(MainWindowConnection, BaudRateTextThatIsNoNumberIsStoredAsZero)
{
    Start();
    m_window->Controls().item<QLineEdit>(Dlg::kBaudRateEdit)->setText("abc");
    ASSERT_TRUE(m_window->SelectPort(kSimulatedPortNumber));
    m_window->OnConnect();
    EXPECT_EQ(m_window->Settings().baudRate, 0);
    ExpectOneErrorBox("Fail to connect to device");  // no port opens at 0 baud
    EXPECT_TRUE(Boxes()[0].detail.isEmpty()) << "the simulated module has no device to look at";
    CloseAndDestroy();
    EXPECT_TRUE(SettingsText().contains(R"(BaudRate="0")")) << "the shutdown saves what the box held";
}

TEST_F(MainWindowConnection, RefreshWhileConnectedKeepsTheLinkAndSelectsTheFirstPort)
{
    Start();
    ConnectToSimulatedModule();
    m_window->RefreshPortList();
    EXPECT_EQ(m_window->Controls().item<QComboBox>(Dlg::kPortCombo)->currentIndex(), 0);
    EXPECT_EQ(Vetra_Interface_RadarDevice_IsConnected(m_window->Device()), 1);
    EXPECT_EQ(ControlText(Dlg::kConnectButton), "Disconn.");
}

// A device coming or going refreshes the list, but the operator's choice stays chosen
// and an open link stays open; the Refresh button still selects the first item.
TEST_F(MainWindowConnection, AHotPlugRefreshKeepsTheChoiceAndTheLink)
{
    Start();
    m_window->AddExtraPortPath("/nonexistent/ttyVETRA5");
    ConnectToSimulatedModule();
    auto* combo = m_window->Controls().item<QComboBox>(Dlg::kPortCombo);
    ASSERT_GT(combo->count(), 1);
    m_window->OnPortsChanged();
    EXPECT_EQ(combo->currentData().toInt(), kSimulatedPortNumber);
    EXPECT_EQ(Vetra_Interface_RadarDevice_IsConnected(m_window->Device()), 1);
    m_window->RefreshPortList();
    EXPECT_EQ(combo->currentIndex(), 0);
}

TEST_F(MainWindowConnection, StartWithoutALinkDoesNothing)
{
    Start();
    m_window->OnStartStop();
    EXPECT_FALSE(m_window->IsRunning());
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(ControlText(Dlg::kStartButton), "Start");
}

// After the parameter dialog has stopped a run, Connect stays disabled until the
// operator starts and stops a run with Start/Stop.
TEST_F(MainWindowConnection, AStopByTheParameterDialogKeepsConnectDisabledUntilStartAndStop)
{
    Start();
    ConnectToSimulatedModule();
    m_window->OnStartStop();
    ASSERT_FALSE(IsEnabled(Dlg::kConnectButton));
    m_window->ParamDialog().OnRead();
    EXPECT_FALSE(m_window->IsRunning());
    ExpectButtons({false, "Disconn.", true, true, "Start"}, "stopped by the parameter dialog");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "Succeed reading config.");

    m_window->ParamDialog().OnRead();  // a dialog stop while idle changes nothing
    ExpectButtons({false, "Disconn.", true, true, "Start"}, "read again while idle");
    m_window->OnStartStop();
    ExpectButtons({false, "Disconn.", true, true, "Stop"}, "started again");
    m_window->OnStartStop();
    ExpectButtons({true, "Disconn.", true, true, "Start"}, "stopped with Start/Stop");
}

TEST_F(MainWindowConnection, ALinkLostDuringARunIsReportedOnceAndDisconnects)
{
    m_simOptions.hangupAfterMs = 1200;
    Start();
    ConnectToSimulatedModule();
    m_window->OnStartStop();
    ASSERT_TRUE(m_window->IsRunning());
    ASSERT_TRUE(WaitFor([&] { return !Boxes().empty(); }, 5000));
    QTest::qWait(4 * Dlg::kLinkWatchIntervalMs);
    ExpectOneErrorBox("Device unconnected");
    EXPECT_FALSE(m_window->IsRunning());
    ExpectButtons({true, "Connect", false, false, "Start"}, "after the link was lost");
    EXPECT_EQ(ControlText(Dlg::kFirmwareLabel), "FW Ver:Unknown");
    EXPECT_EQ(m_window->ShownPresence(), 0);
    const QFileInfo raw(QString::fromStdString(m_window->RawFilePath()));
    EXPECT_GT(raw.size(), 0) << "the recording up to the loss is kept";

    // The operator can connect again at once.
    m_simOptions.hangupAfterMs = -1;
    SetInProcessSimulatedModuleOptions(m_simOptions);
    ConnectToSimulatedModule();
    EXPECT_EQ(ControlText(Dlg::kConnectButton), "Disconn.");
}

// A replay rests the connection buttons and gives them back as it found them, or as a
// link lost meanwhile has left them.
TEST_F(MainWindowConnection, AReplayGivesTheButtonsBackAsTheLinkLeftThem)
{
    m_simOptions.hangupAfterMs = 2000;
    Start();
    const QString dat = WriteTwoReportRecording(QStringLiteral("two-reports.dat"));
    ASSERT_FALSE(dat.isEmpty());
    // A connect made while the replay runs is what its stop gives back.
    ASSERT_TRUE(m_window->OpenReplay(dat));
    ConnectToSimulatedModule();
    ExpectButtons({false, "Disconn.", false, false, "Start"}, "connected during a replay");
    m_window->StopReplay();
    ExpectButtons({true, "Disconn.", true, true, "Start"}, "a replay stopped after a connect");
    ASSERT_TRUE(m_window->OpenReplay(dat));
    ExpectButtons({false, "Disconn.", false, false, "Start"}, "replaying");
    m_window->StopReplay();
    ExpectButtons({true, "Disconn.", true, true, "Start"}, "a replay stopped while connected");

    ASSERT_TRUE(m_window->OpenReplay(dat));
    ASSERT_TRUE(WaitFor([&] { return !Boxes().empty(); }, 5000));
    ExpectOneErrorBox("Device unconnected");
    ExpectButtons({false, "Connect", false, false, "Start"}, "the link lost during a replay");
    m_window->StopReplay();
    ExpectButtons({true, "Connect", false, false, "Start"}, "a replay stopped after the link was lost");
}

TEST_F(MainWindowConnection, ALinkLostOverASerialPortIsReportedOnce)
{
    SimModuleProcess sim({"--hangup-after", "1500"});
    ASSERT_TRUE(sim.IsStarted());
    ASSERT_NO_FATAL_FAILURE(StartAndConnectTo(sim.DevicePath()));
    EXPECT_EQ(ControlText(Dlg::kFirmwareLabel), "FW Ver:1.0.0-sim");
    m_window->OnStartStop();
    ASSERT_TRUE(WaitFor([&] { return !Boxes().empty(); }, 6000));
    QTest::qWait(4 * Dlg::kLinkWatchIntervalMs);
    ExpectOneErrorBox("Device unconnected");
    ExpectButtons({true, "Connect", false, false, "Start"}, "after the pty hung up");
    EXPECT_GT(QFileInfo(QString::fromStdString(m_window->RawFilePath())).size(), 0);
}

// Unplugged and plugged in again 20 times, each time under another device path but the
// same name (a link the test points at the new device, as /dev/serial/by-id does):
// with "Reconnect automatically" the run goes on into one recording, each stretch of it
// a piece of what that module sent with nothing lost inside it, every gap in the log,
// and no error box. While the device is away the window waits without spinning.
TEST_F(MainWindowConnection, AutoReconnectSurvivesTwentyUnplugsIntoOneRecording)
{
    constexpr int kCycles = 20;
    QTemporaryDir folder;
    const std::string link = folder.path().toStdString() + "/module";
    auto pointLinkAt = [&](const std::string& device) {
        const std::string fresh = link + ".new";
        ::unlink(fresh.c_str());
        return ::symlink(device.c_str(), fresh.c_str()) == 0 && ::rename(fresh.c_str(), link.c_str()) == 0;
    };
    auto recordOf = [&](int cycle) { return folder.path().toStdString() + "/sent" + std::to_string(cycle); };
    auto sim = std::make_unique<SimModuleProcess>(std::vector<std::string>{"--interval", "10", "--record", recordOf(0)});
    ASSERT_TRUE(sim->IsStarted());
    ASSERT_TRUE(pointLinkAt(sim->DevicePath()));
    ASSERT_NO_FATAL_FAILURE(StartAndConnectTo(link));
    m_window->SetAutoReconnect(true);
    m_window->OnStartStop();
    ASSERT_TRUE(m_window->IsRunning());

    std::vector<long long> ends;  // where each module's stretch of the recording ends
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        const long long from = ends.empty() ? 0 : ends.back();
        ASSERT_TRUE(WaitFor([&] { return m_window->Session().RecordedBytes() >= from + 70; }, 5000)) << cycle;
        sim.reset();  // unplugged
        ::unlink(link.c_str());
        ASSERT_TRUE(WaitFor([&] { return m_window->IsReconnecting(); }, 3000)) << cycle;
        ends.push_back(m_window->Session().RecordedBytes());
        if (cycle == 0) {
            // Away for two seconds: the window only looks twice a second.
            rusage before{}, after{};
            getrusage(RUSAGE_SELF, &before);
            QTest::qWait(2000);
            getrusage(RUSAGE_SELF, &after);
            const double cpu = double(after.ru_utime.tv_sec - before.ru_utime.tv_sec + after.ru_stime.tv_sec -
                                      before.ru_stime.tv_sec) +
                               double(after.ru_utime.tv_usec - before.ru_utime.tv_usec + after.ru_stime.tv_usec -
                                      before.ru_stime.tv_usec) / 1e6;
            EXPECT_LT(cpu, 0.5) << "seconds of CPU while waiting 2 s for the device";
            EXPECT_TRUE(m_window->ShowsStaleData());
            // The chart scrolls on through the gap with nothing drawn: 2 s of 50-ms intervals.
            const std::vector<std::int32_t> history = m_window->HistoryValues();
            const auto missing = std::count(history.begin(), history.end(), CDistanceHistory::kNoDistance);
            EXPECT_GE(missing, 25);
            EXPECT_LE(missing, 45);
            EXPECT_EQ(history.back(), CDistanceHistory::kNoDistance);
        }
        sim = std::make_unique<SimModuleProcess>(
            std::vector<std::string>{"--interval", "10", "--record", recordOf(cycle + 1)});
        ASSERT_TRUE(sim->IsStarted());
        ASSERT_TRUE(pointLinkAt(sim->DevicePath()));
        ASSERT_TRUE(WaitFor([&] { return m_window->Reconnects() == cycle + 1 && !m_window->IsReconnecting(); }, 5000))
            << cycle;
        EXPECT_TRUE(m_window->IsRunning());
    }
    ASSERT_TRUE(WaitFor([&] { return m_window->Session().RecordedBytes() >= ends.back() + 70; }, 5000));
    m_window->OnStartStop();
    ends.push_back(m_window->Session().RecordedBytes());
    sim.reset();

    EXPECT_TRUE(Boxes().empty());
    QFile raw(QString::fromStdString(m_window->RawFilePath()));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray recorded = raw.readAll();
    ASSERT_EQ(recorded.size(), ends.back());
    long long from = 0;
    for (int cycle = 0; cycle <= kCycles; ++cycle) {
        QFile sentFile(QString::fromStdString(recordOf(cycle)));
        ASSERT_TRUE(sentFile.open(QIODevice::ReadOnly)) << cycle;
        const QByteArray stretch = recorded.mid(qsizetype(from), qsizetype(ends[std::size_t(cycle)] - from));
        EXPECT_GE(stretch.size(), 70) << cycle;
        EXPECT_TRUE(sentFile.readAll().contains(stretch)) << "stretch " << cycle << " is not a piece of what was sent";
        from = ends[std::size_t(cycle)];
    }
    QFile logFile(QString::fromStdString(m_window->LogPath()));
    ASSERT_TRUE(logFile.open(QIODevice::ReadOnly));
    const QByteArray log = logFile.readAll();
    EXPECT_EQ(log.count("Link gap from "), kCycles);
    EXPECT_EQ(log.count("waiting for " + QByteArray::fromStdString(link) + " to come back"), kCycles);
}

}  // namespace
