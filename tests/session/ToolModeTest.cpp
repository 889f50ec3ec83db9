#include <gtest/gtest.h>

#include <QObject>

#include <vector>

#include "ControlRules.h"
#include "ToolSession.h"

namespace {

constexpr int kStart = 50010;
constexpr int kStop = 50011;
constexpr int kConnect = 50012;
constexpr int kDisconnect = 50013;

struct Row {
    ToolMode mode;
    bool stoppedByParamDialog;
    bool connectEnabled;
    int connectText;
    bool configEnabled;
    bool startEnabled;
    int startText;
};

// The operator's table of the connection and run controls, one row a situation.
const Row kRows[] = {
    {ToolMode::Disconnected, false, true, kConnect, false, false, kStart},
    {ToolMode::Disconnected, true, true, kConnect, false, false, kStart},
    {ToolMode::Connected, false, true, kDisconnect, true, true, kStart},
    // After the parameter dialog stopped a run, Connect waits for a Start and a Stop.
    {ToolMode::Connected, true, false, kDisconnect, true, true, kStart},
    {ToolMode::Running, false, false, kDisconnect, true, true, kStop},
    {ToolMode::Reconnecting, false, false, kDisconnect, true, true, kStop},
    {ToolMode::Replaying, false, false, kConnect, false, false, kStart},
};

}  // namespace

TEST(ControlRules, EachModeGivesTheOperatorsTableRow)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(std::string(ToolModeName(row.mode)) + (row.stoppedByParamDialog ? " after the dialog" : ""));
        const ConnectionControls c = ControlsFor(row.mode, row.stoppedByParamDialog);
        EXPECT_EQ(c.connectEnabled, row.connectEnabled);
        EXPECT_EQ(c.connectTextId, row.connectText);
        EXPECT_EQ(c.configEnabled, row.configEnabled);
        EXPECT_EQ(c.startEnabled, row.startEnabled);
        EXPECT_EQ(c.startTextId, row.startText);
        // Only a replay rests the port, the baud rate and Refresh.
        const bool portFree = row.mode != ToolMode::Replaying;
        EXPECT_EQ(c.refreshEnabled, portFree);
        EXPECT_EQ(c.portEnabled, portFree);
        EXPECT_EQ(c.baudEnabled, portFree);
    }
}

TEST(ControlRules, AReplayRestsEveryControlButKeepsTheLinksTexts)
{
    const ConnectionControls c = ControlsFor(ToolMode::Replaying, false, ToolMode::Connected);
    EXPECT_EQ(c.connectTextId, kDisconnect);
    EXPECT_FALSE(c.connectEnabled || c.configEnabled || c.startEnabled);
}

namespace {

struct SignalCount {
    int modes = 0;
    int controls = 0;
    std::vector<ToolMode> seen;
};

void Count(CToolSession& session, SignalCount& count)
{
    QObject::connect(&session, &CToolSession::modeChanged, [&count](ToolMode mode) {
        ++count.modes;
        count.seen.push_back(mode);
    });
    QObject::connect(&session, &CToolSession::controlsChanged, [&count] { ++count.controls; });
}

}  // namespace

TEST(ToolSessionMode, AReplayEndsWhereTheLinkStandsThen)
{
    CToolSession session;
    SignalCount count;
    Count(session, count);
    session.SetLinkMode(ToolMode::Connected);
    session.SetReplaying(true);
    EXPECT_EQ(session.Mode(), ToolMode::Replaying);
    // The link goes during the replay: only the texts beneath it change.
    session.SetLinkMode(ToolMode::Disconnected);
    EXPECT_EQ(session.Mode(), ToolMode::Replaying);
    EXPECT_EQ(session.Controls().connectTextId, kConnect);
    session.SetReplaying(false);
    EXPECT_EQ(session.Mode(), ToolMode::Disconnected);
    EXPECT_EQ(count.seen, (std::vector<ToolMode>{ToolMode::Connected, ToolMode::Replaying, ToolMode::Disconnected}));
    EXPECT_EQ(count.controls, 4);
    // Telling it what it already is changes nothing.
    session.SetLinkMode(ToolMode::Disconnected);
    EXPECT_EQ(count.modes, 3);
    EXPECT_EQ(count.controls, 4);
}

TEST(ToolSessionMode, TheParamDialogsStopHoldsConnectUntilAStartOrALostLink)
{
    CToolSession session;
    session.SetLinkMode(ToolMode::Running);
    session.NoteStoppedByParamDialog();
    EXPECT_EQ(session.Mode(), ToolMode::Connected);
    EXPECT_FALSE(session.Controls().connectEnabled);
    session.SetLinkMode(ToolMode::Running);
    session.SetLinkMode(ToolMode::Connected);
    EXPECT_TRUE(session.Controls().connectEnabled);

    session.NoteStoppedByParamDialog();
    session.SetLinkMode(ToolMode::Disconnected);
    session.SetLinkMode(ToolMode::Connected);
    EXPECT_TRUE(session.Controls().connectEnabled) << "a new link starts free";
}
