// The whole-file task runner: results and progress on the owner's thread, cancels that
// stop a job quickly and deliver nothing, and failures that say why.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "TaskRunner.h"

namespace {

constexpr int kDecode = 1;
constexpr int kExport = 2;

bool WaitFor(const std::function<bool()>& done, int ms = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

// Counts blocks until cancelled; notes when it noticed.
struct EndlessJob {
    std::shared_ptr<std::atomic<bool>> started = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<std::atomic<bool>> ended = std::make_shared<std::atomic<bool>>(false);
    int operator()(CTaskControl& control) const
    {
        started->store(true);
        int blocks = 0;
        while (control.Step(blocks % 100, 100)) {
            ++blocks;
            QThread::usleep(200);
        }
        ended->store(true);
        return blocks;
    }
};

TEST(TaskRunner, DeliversItsResultAndProgressOnTheOwnersThread)
{
    CTaskRunner runner;
    std::vector<bool> busyStates;
    runner.SetBusyHandler([&](int kind, bool busy) {
        EXPECT_EQ(kind, kDecode);
        busyStates.push_back(busy);
    });
    std::vector<int> percents;
    QThread* jobThread = nullptr;
    QThread* doneThread = nullptr;
    std::optional<TaskOutcome<std::string>> outcome;
    runner.Start<std::string>(
        kDecode,
        [&jobThread](CTaskControl& control) {
            jobThread = QThread::currentThread();
            for (int block = 1; block <= 4; ++block) {
                QThread::msleep(5);
                control.Progress(block, 4);
            }
            return std::string("decoded");
        },
        [&](TaskOutcome<std::string> result) {
            doneThread = QThread::currentThread();
            outcome = std::move(result);
        },
        [&](int percent) {
            EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
            percents.push_back(percent);
        });
    EXPECT_TRUE(runner.Busy(kDecode));
    EXPECT_FALSE(runner.Busy(kExport));
    ASSERT_TRUE(WaitFor([&] { return outcome.has_value(); }));
    QCoreApplication::processEvents();
    EXPECT_NE(jobThread, QCoreApplication::instance()->thread()) << "the job ran on the owner's thread";
    EXPECT_EQ(doneThread, QCoreApplication::instance()->thread());
    ASSERT_TRUE(outcome->Succeeded()) << outcome->error;
    EXPECT_EQ(*outcome->value, "decoded");
    EXPECT_EQ(percents, (std::vector<int>{25, 50, 75, 100}));
    EXPECT_FALSE(runner.Busy(kDecode));
    EXPECT_EQ(busyStates, (std::vector<bool>{true, false}));
}

TEST(TaskRunner, ACancelledOrSupersededJobStopsQuicklyAndDeliversNothing)
{
    CTaskRunner runner;
    int delivered = 0;
    int progressAfterCancel = 0;
    bool cancelled = false;
    const EndlessJob first;
    runner.Start<int>(
        kDecode, first, [&](TaskOutcome<int>) { ++delivered; }, [&](int) { progressAfterCancel += cancelled; });
    ASSERT_TRUE(WaitFor([&] { return first.started->load(); }));
    QElapsedTimer stopping;
    stopping.start();
    runner.Cancel(kDecode);
    cancelled = true;
    EXPECT_FALSE(runner.Busy(kDecode));
    ASSERT_TRUE(WaitFor([&] { return first.ended->load(); }));
    EXPECT_LT(stopping.elapsed(), 50) << "the job went on after the cancel";
    // Its hand-over, if queued, is dropped.
    WaitFor([] { return false; }, 50);
    EXPECT_EQ(delivered, 0);
    EXPECT_EQ(progressAfterCancel, 0);

    // A second request of the same kind cancels the first; another kind is left alone.
    const EndlessJob superseded;
    const EndlessJob otherKind;
    int supersededDelivered = 0;
    runner.Start<int>(kDecode, superseded, [&](TaskOutcome<int>) { ++supersededDelivered; });
    runner.Start<int>(kExport, otherKind, [](TaskOutcome<int>) {});
    ASSERT_TRUE(WaitFor([&] { return superseded.started->load(); }));
    std::optional<TaskOutcome<int>> second;
    runner.Start<int>(kDecode, [](CTaskControl&) { return 7; }, [&](TaskOutcome<int> o) { second = std::move(o); });
    ASSERT_TRUE(WaitFor([&] { return second.has_value() && superseded.ended->load(); }));
    WaitFor([] { return false; }, 50);
    EXPECT_EQ(supersededDelivered, 0);
    EXPECT_EQ(second->value, 7);
    EXPECT_TRUE(runner.Busy(kExport));
    EXPECT_FALSE(otherKind.ended->load());
    // The runner's end stops what still runs and waits for it.
}

TEST(TaskRunner, AFailingJobGivesItsError)
{
    struct Row {
        const char* name;
        std::function<int(CTaskControl&)> job;
        std::string error;
    };
    const Row rows[] = {
        {"told", [](CTaskControl& c) { c.Fail("the recording cannot be opened"); return 1; },
         "the recording cannot be opened"},
        {"thrown", [](CTaskControl&) -> int { throw std::runtime_error("disk full"); }, "disk full"},
        {"out of memory", [](CTaskControl&) -> int { throw std::bad_alloc(); }, "out of memory"},
        {"unknown", [](CTaskControl&) -> int { throw 3; }, "the task failed"},
    };
    CTaskRunner runner;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::optional<TaskOutcome<int>> outcome;
        runner.Start<int>(kExport, row.job, [&](TaskOutcome<int> o) { outcome = std::move(o); });
        ASSERT_TRUE(WaitFor([&] { return outcome.has_value(); }));
        EXPECT_FALSE(outcome->Succeeded());
        EXPECT_EQ(outcome->error, row.error);
        const TaskOutcome<int> here = runner.RunHere<int>(kExport, row.job);
        EXPECT_FALSE(here.Succeeded());
        EXPECT_EQ(here.error, row.error) << "run here";
    }
}

}  // namespace
