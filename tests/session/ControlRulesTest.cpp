#include <gtest/gtest.h>

#include "ControlRules.h"

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

TEST(ControlRules, AReplayGivesBackWhatTheLinkStandsAtThen)
{
    EXPECT_EQ(ModeAfterReplay(true), ToolMode::Connected);
    EXPECT_EQ(ModeAfterReplay(false), ToolMode::Disconnected);
    EXPECT_EQ(ControlsFor(ModeAfterReplay(true), false), ControlsFor(ToolMode::Connected, false));
}
