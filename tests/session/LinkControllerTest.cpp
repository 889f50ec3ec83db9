// The link controller without a window: connect and disconnect against the built-in
// module, and a run's device unplugged and plugged in again on a pseudo-terminal.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "EventWait.h"
#include "SerialPortNames.h"
#include "SimModuleProcess.h"
#include "ToolSession.h"

TEST(LinkController, ConnectReadsTheFirmwareAndDisconnectForgetsIt)
{
    CToolSession session;
    session.Link().Create();
    CLinkController& links = session.Links();
    ASSERT_TRUE(links.Connect(kSimulatedPortNumber, 256000, nullptr));
    EXPECT_EQ(session.Mode(), ToolMode::Connected);
    EXPECT_TRUE(links.ModuleAnswered());
    EXPECT_NE(links.FirmwareText(), "Unknown");
    EXPECT_EQ(session.Link().Identity(), std::string("path:") + kSimulatedPortPath);
    QSignalSpy watched(&links, &CLinkController::linkWatched);
    EXPECT_TRUE(WaitFor([&] { return watched.count() >= 2; }, 2000)) << "the watch looks 4 times a second";

    links.Disconnect();
    EXPECT_EQ(session.Mode(), ToolMode::Disconnected);
    EXPECT_FALSE(session.Link().IsConnected());
    EXPECT_EQ(links.FirmwareText(), "Unknown");
    EXPECT_FALSE(links.ModuleAnswered());
    const int seen = watched.count();
    WaitFor([] { return false; }, 3 * CLinkController::kWatchIntervalMs);
    EXPECT_EQ(watched.count(), seen) << "no watch without a link";
}

TEST(LinkController, APortThatDoesNotOpenChangesNothing)
{
    CToolSession session;
    session.Link().Create();
    const int missing = RegisterSerialPortPath("/nonexistent/tty-of-no-module");
    EXPECT_FALSE(session.Links().Connect(missing, 256000, nullptr));
    EXPECT_EQ(session.Mode(), ToolMode::Disconnected);
    EXPECT_EQ(session.Links().FirmwareText(), "Unknown");
}

// The device goes during a run and comes back under another pseudo-terminal behind the
// same name: the watch says it is lost, the wait finds it again by its path, opens it at
// the baud rate it had and starts reporting; the gap is counted in report intervals.
TEST(LinkController, ALostDeviceIsFoundAgainAndTheRunGoesOn)
{
    QTemporaryDir folder;
    const std::string name = folder.path().toStdString() + "/module";
    const auto pointAt = [&](const std::string& device) {
        const std::string fresh = name + ".new";
        return ::symlink(device.c_str(), fresh.c_str()) == 0 && ::rename(fresh.c_str(), name.c_str()) == 0;
    };
    auto sim = std::make_unique<SimModuleProcess>(std::vector<std::string>{"--interval", "20"});
    ASSERT_TRUE(sim->IsStarted());
    ASSERT_TRUE(pointAt(sim->DevicePath()));

    CToolSession session;
    session.Link().Create();
    CLinkController& links = session.Links();
    QSignalSpy lost(&links, &CLinkController::linkLost);
    std::vector<std::string> back;
    QObject::connect(&links, &CLinkController::linkBack, [&back](const std::string& path) { back.push_back(path); });
    ASSERT_TRUE(links.Connect(RegisterSerialPortPath(name), 115200, nullptr));
    session.SetLinkMode(ToolMode::Running);

    sim.reset();
    ::unlink(name.c_str());
    ASSERT_TRUE(WaitFor([&] { return lost.count() > 0; }, 3000));
    links.BeginReconnect();
    EXPECT_EQ(session.Mode(), ToolMode::Reconnecting);
    EXPECT_FALSE(session.Link().IsConnected());
    WaitFor([] { return false; }, 600);
    EXPECT_TRUE(back.empty()) << "nothing to find while the device is away";
    const std::int32_t steps = links.TakeGapSteps(50, 1000);
    EXPECT_GE(steps, 10);
    EXPECT_EQ(links.TakeGapSteps(50, 1000), 0) << "each interval is shown once";

    sim = std::make_unique<SimModuleProcess>(std::vector<std::string>{"--interval", "20"});
    ASSERT_TRUE(sim->IsStarted());
    ASSERT_TRUE(pointAt(sim->DevicePath()));
    ASSERT_TRUE(WaitFor([&] { return !back.empty(); }, 3000));
    EXPECT_EQ(back, std::vector<std::string>{name});
    EXPECT_EQ(session.Mode(), ToolMode::Running);
    EXPECT_EQ(links.Reconnects(), 1);
    EXPECT_EQ(session.Link().Baud(), 115200);
    EXPECT_TRUE(session.Link().IsConnected());
}
