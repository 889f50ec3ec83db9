#include <gtest/gtest.h>

#include <QObject>

#include <vector>

#include "ControlRules.h"
#include "StringIds.h"
#include "ToolSession.h"

namespace {

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
    {ToolMode::Disconnected, false, true, StringId::kConnectText, false, false, StringId::kStartText},
    {ToolMode::Disconnected, true, true, StringId::kConnectText, false, false, StringId::kStartText},
    {ToolMode::Connected, false, true, StringId::kDisconnectText, true, true, StringId::kStartText},
    // After the parameter dialog stopped a run, Connect waits for a Start and a Stop.
    {ToolMode::Connected, true, false, StringId::kDisconnectText, true, true, StringId::kStartText},
    {ToolMode::Running, false, false, StringId::kDisconnectText, true, true, StringId::kStopText},
    {ToolMode::Reconnecting, false, false, StringId::kDisconnectText, true, true, StringId::kStopText},
    {ToolMode::Replaying, false, false, StringId::kConnectText, false, false, StringId::kStartText},
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
    EXPECT_EQ(c.connectTextId, StringId::kDisconnectText);
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
    EXPECT_EQ(session.Controls().connectTextId, StringId::kConnectText);
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
