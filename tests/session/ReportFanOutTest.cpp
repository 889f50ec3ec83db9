// The session's one decoder with its fan-out, without a window: a replayed recording
// reaches the view report by report, and the insight is stamped with the recorded time
// of each delivery, not with the clock of a live run.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <atomic>
#include <fstream>
#include <memory>
#include <string>

#include "EventWait.h"
#include "ReplayTimeline.h"
#include "ToolSession.h"

namespace {

class CountingView : public IReportSink, public IAcquisitionDisplay {
public:
    std::atomic<int> posts{0};
    void PostRadarReport() override { ++posts; }
    void FeedChart(const std::int32_t*, std::int32_t) override {}
    void DiscardQueuedReports() override {}
    void ResetPresenceIndicator() override {}
    void ShowStartButtonText() override {}
};

std::string Frame(int state, int distance)
{
    return std::string{'\xAA', '\xAA', char(state), char(distance & 0xFF), char(distance >> 8), '\x55', '\x55'};
}

}  // namespace

TEST(ReportFanOut, AReplayIsStampedWithItsRecordedTimeAndReachesTheView)
{
    QTemporaryDir folder;
    const std::string dat = folder.path().toStdString() + "/run.dat";
    std::string bytes;
    for (int i = 0; i < 20; ++i)
        bytes += Frame(i < 10 ? 1 : 2, 120);
    std::ofstream(dat, std::ios::binary) << bytes;

    CountingView view;
    CToolSession session(view, view);
    // The decoder feeds its consumers as it steps the history the chart shows.
    session.Decoder().GetHistory().Replace(300);
    // A live run went before: its clock must not stamp the replay.
    session.FanOut().StartRunClock();
    session.Insight().ResetFigures(1000000);
    session.FanOut().SetFromReplay(true);
    std::string error;
    const auto timeline = std::make_shared<const CReplayTimeline>(std::int64_t(bytes.size()), 50);
    // Everything before the position goes through at once.
    ASSERT_TRUE(session.Replay().Start(timeline, dat, 60 * 1000000, &error)) << error;
    ASSERT_TRUE(WaitFor([&] { return view.posts.load() == 20; }, 5000)) << view.posts.load();
    session.Replay().Stop();
    session.FanOut().SetFromReplay(false);

    const PresenceFigures figures = session.Insight().Figures();
    EXPECT_EQ(figures.reports, 20);
    // Ten moving reports 50 ms apart in the recording, whatever the wall clock did.
    EXPECT_EQ(figures.timeUs[1], 10 * 50000);
}
