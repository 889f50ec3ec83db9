#include <gtest/gtest.h>

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "BaseThread.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A body that reports its kernel thread id and stack size, then waits to be released.
class GatedBody : public IThreadFuncInterface {
public:
    unsigned int ThreadFunc(void* context) override
    {
        pthread_attr_t attr;
        if (pthread_getattr_np(pthread_self(), &attr) == 0) {
            std::size_t size = 0;
            pthread_attr_getstacksize(&attr, &size);
            stackSize.store(size);
            pthread_attr_destroy(&attr);
        }
        contextSeen.store(context);
        tid.store(long(syscall(SYS_gettid)));
        while (!release.load())
            std::this_thread::sleep_for(1ms);
        return result;
    }

    std::atomic<long> tid{0};
    std::atomic<std::size_t> stackSize{0};
    std::atomic<void*> contextSeen{nullptr};
    std::atomic<bool> release{false};
    unsigned int result = 0;
};

long WaitForTid(const GatedBody& body)
{
    const auto deadline = Clock::now() + 5s;
    while (body.tid.load() == 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    return body.tid.load();
}

std::string ThreadComm(long tid)
{
    std::ifstream f("/proc/self/task/" + std::to_string(tid) + "/comm");
    std::string name;
    std::getline(f, name);
    return name;
}

TEST(CBaseThread, NameIsVisibleToTheSystemAndStackSizeHonoured)
{
    GatedBody body;
    CBaseThread thread;
    int context = 0;
    ASSERT_NE(thread.StartThread("ABDData", &body, &context, 0, 0x400000, 0), 0);
    const long tid = WaitForTid(body);
    ASSERT_NE(tid, 0);
    EXPECT_EQ(ThreadComm(tid), "ABDData");
    EXPECT_GE(body.stackSize.load(), std::size_t(0x400000));
    EXPECT_EQ(body.contextSeen.load(), &context);
    EXPECT_TRUE(thread.IsRunning());
    body.release = true;
    thread.StopThread();
    EXPECT_FALSE(thread.IsRunning());
}

TEST(CBaseThread, LongNamesAreCutTo15Bytes)
{
    GatedBody body;
    CBaseThread thread;
    ASSERT_NE(thread.StartThread("AcquisitionWorkerThread", &body, nullptr, 0, 0, 0), 0);
    const long tid = WaitForTid(body);
    EXPECT_EQ(ThreadComm(tid), std::string("AcquisitionWorkerThread").substr(0, 15));
    body.release = true;
    thread.StopThread();
}

TEST(CBaseThread, StopThreadReturnsAtOnceWhenNothingRuns)
{
    CBaseThread thread;
    const auto t0 = Clock::now();
    thread.StopThread();
    thread.StopThread();
    EXPECT_LT(Clock::now() - t0, 50ms);
}

TEST(CBaseThread, StopThreadWaitsForTheBodyAndCanStartAgain)
{
    GatedBody body;
    body.result = 7;
    CBaseThread thread;
    ASSERT_NE(thread.StartThread("run1", &body, nullptr, 0, 0, 0), 0);
    WaitForTid(body);
    // A second start while the body runs is refused.
    GatedBody other;
    EXPECT_EQ(thread.StartThread("run1b", &other, nullptr, 0, 0, 0), 0);

    std::thread releaser([&] {
        std::this_thread::sleep_for(100ms);
        body.release = true;
    });
    const auto t0 = Clock::now();
    thread.StopThread();  // must not return before the body has returned
    EXPECT_GE(Clock::now() - t0, 90ms);
    EXPECT_TRUE(body.release.load());
    EXPECT_EQ(thread.GetExitCode(), 7u);
    releaser.join();

    // A second run on the same object.
    GatedBody second;
    second.result = 9;
    second.release = true;
    ASSERT_NE(thread.StartThread("run2", &second, nullptr, 0, 0, 0), 0);
    thread.StopThread();
    EXPECT_EQ(thread.GetExitCode(), 9u);

    // After a body that ended by itself, StopThread returns at once and a new start works.
    GatedBody third;
    third.release = true;
    ASSERT_NE(thread.StartThread("run3", &third, nullptr, 0, 0, 0), 0);
    while (thread.IsRunning())
        std::this_thread::sleep_for(1ms);
    GatedBody fourth;
    fourth.release = true;
    EXPECT_NE(thread.StartThread("run4", &fourth, nullptr, 0, 0, 0), 0);
    thread.StopThread();
}

TEST(CBaseThread, DestructorJoinsARunningBody)
{
    GatedBody body;
    {
        CBaseThread thread;
        ASSERT_NE(thread.StartThread("dtor", &body, nullptr, 0, 0, 0), 0);
        WaitForTid(body);
        body.release = true;
    }
    SUCCEED();
}

TEST(CBaseThread, RefusesANullBody)
{
    CBaseThread thread;
    EXPECT_EQ(thread.StartThread("none", nullptr, nullptr, 0, 0, 0), 0);
    EXPECT_FALSE(thread.IsRunning());
}

}  // namespace
