#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <clocale>
#include <chrono>
#include <mutex>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "DbgOutput.h"

namespace {

using namespace std::chrono_literals;

// Restores the process-wide settings around each test.
class DbgOutputTest : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset()
    {
        DbgOutputSetTag(nullptr, 0);
        DbgOutputSetTimeType(0);
        DbgOutputSetIncludePIDTID(0);
        DbgOutputSetLevel(5);
    }
};

struct Sink {
    std::vector<std::string> texts;  // guarded by its own mutex: the test's bookkeeping
    std::mutex lock;
    std::vector<int> levels;
};

void CollectText(void* context, int level, const char* text, int length)
{
    auto* sink = static_cast<Sink*>(context);
    std::lock_guard<std::mutex> guard(sink->lock);
    sink->texts.emplace_back(text, std::size_t(length));
    sink->levels.push_back(level);
}

// Deliberately unlocked: appends one character at a time into a shared string, as a
// naive log writer would; only the library's serialisation keeps texts whole.
struct RawSink {
    std::string all;
    std::atomic<int> inside{0};
    std::atomic<int> maxInside{0};
};

void AppendRaw(void* context, int, const char* text, int length)
{
    auto* sink = static_cast<RawSink*>(context);
    const int now = ++sink->inside;
    int seen = sink->maxInside.load();
    while (now > seen && !sink->maxInside.compare_exchange_weak(seen, now)) {
    }
    for (int i = 0; i < length; ++i) {
        sink->all += text[i];
        if (i % 64 == 0)
            std::this_thread::yield();  // invite the other thread in, if it could come
    }
    --sink->inside;
}

TEST_F(DbgOutputTest, TwoThreadsNeverInterleave)
{
    RawSink sink;
    ASSERT_NE(DbgOutputAddCallback(&AppendRaw, &sink), 0);
    constexpr int kTexts = 500;
    const std::string a(200, 'A'), b(200, 'B');
    std::thread ta([&] {
        for (int i = 0; i < kTexts; ++i)
            DbgOutputA(2, "%s\r\n", a.c_str());
    });
    std::thread tb([&] {
        for (int i = 0; i < kTexts; ++i)
            DbgOutputA(2, "%s\r\n", b.c_str());
    });
    ta.join();
    tb.join();
    DbgOutputDelCallback(&AppendRaw);

    EXPECT_EQ(sink.maxInside.load(), 1);
    std::istringstream lines(sink.all);
    std::string line;
    int countA = 0, countB = 0;
    while (std::getline(lines, line)) {
        if (line == a + "\r")
            ++countA;
        else if (line == b + "\r")
            ++countB;
        else
            ADD_FAILURE() << "mixed line: " << line.substr(0, 80);
    }
    EXPECT_EQ(countA, kTexts);
    EXPECT_EQ(countB, kTexts);
}

TEST_F(DbgOutputTest, HandsFormattedTextAndLevelToEveryCallback)
{
    Sink one, two;
    ASSERT_NE(DbgOutputAddCallback(&CollectText, &one), 0);
    ASSERT_NE(DbgOutputAddCallback(&CollectText, &two), 0);
    ASSERT_NE(DbgOutputAddCallback(&CollectText, &one), 0);  // same pair: added once
    DbgOutputA(2, "State=%d, M_D=%03d\r\n", 1, 85);
    DbgOutputDelCallback(&CollectText);
    DbgOutputA(2, "after removal\r\n");
    ASSERT_EQ(one.texts.size(), 1u);
    EXPECT_EQ(one.texts[0], "State=1, M_D=085\r\n");
    EXPECT_EQ(one.levels[0], 2);
    ASSERT_EQ(two.texts.size(), 1u);
}

TEST_F(DbgOutputTest, LongTextsArriveWhole)
{
    Sink sink;
    DbgOutputAddCallback(&CollectText, &sink);
    const std::string big(5000, 'x');
    DbgOutputA(1, "<%s>", big.c_str());
    DbgOutputDelCallback(&CollectText);
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_EQ(sink.texts[0], "<" + big + ">");
}

// A Qt application adopts the user's locale; log lines must not follow it.
TEST_F(DbgOutputTest, NumbersKeepTheirPointUnderACommaDecimalLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "no de_DE.UTF-8 locale (tools/install-deps.sh makes one)";
    Sink sink;
    DbgOutputAddCallback(&CollectText, &sink);
    DbgOutputA(1, "fKalman1=%f\r\n", 0.85);
    const std::string pad(2000, 'p');  // a text longer than the stack buffer
    DbgOutputA(1, "%s %.2f", pad.c_str(), 1.5);
    DbgOutputDelCallback(&CollectText);
    std::setlocale(LC_ALL, previous.c_str());
    ASSERT_EQ(sink.texts.size(), 2u);
    EXPECT_EQ(sink.texts[0], "fKalman1=0.850000\r\n");
    EXPECT_EQ(sink.texts[1], pad + " 1.50");
}

TEST_F(DbgOutputTest, LevelFilterDropsHigherLevels)
{
    Sink sink;
    DbgOutputAddCallback(&CollectText, &sink);
    DbgOutputSetLevel(2);
    DbgOutputA(3, "dropped\n");
    DbgOutputA(2, "kept\n");
    DbgOutputDelCallback(&CollectText);
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_EQ(sink.texts[0], "kept\n");
}

TEST_F(DbgOutputTest, PrefixesTimeProcessThreadAndTagOnEveryLine)
{
    Sink sink;
    DbgOutputAddCallback(&CollectText, &sink);
    DbgOutputSetTag("radar", -1);
    DbgOutputSetTimeType(1);
    DbgOutputSetIncludePIDTID(1);
    DbgOutputA(2, "one\ntwo\n");
    DbgOutputSetTimeType(2);
    DbgOutputSetIncludePIDTID(0);
    DbgOutputSetTag("abcdef", 3);
    DbgOutputA(2, "three");
    DbgOutputDelCallback(&CollectText);
    ASSERT_EQ(sink.texts.size(), 2u);
    const std::string pid = std::to_string(getpid());
    const std::regex first("\\d\\d:\\d\\d:\\d\\d\\.\\d{3} " + pid + ":\\d+ \\[radar\\] one\n"
                           "\\d\\d:\\d\\d:\\d\\d\\.\\d{3} " + pid + ":\\d+ \\[radar\\] two\n");
    EXPECT_TRUE(std::regex_match(sink.texts[0], first)) << sink.texts[0];
    const std::regex second("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} \\[abc\\] three");
    EXPECT_TRUE(std::regex_match(sink.texts[1], second)) << sink.texts[1];
}

struct SlowSink {
    std::atomic<bool> inside{false};
    std::atomic<int> calls{0};
};

void SlowCallback(void* context, int, const char*, int)
{
    auto* sink = static_cast<SlowSink*>(context);
    sink->inside = true;
    ++sink->calls;
    std::this_thread::sleep_for(2ms);
    sink->inside = false;
}

TEST_F(DbgOutputTest, NoCallAfterDelCallbackReturns)
{
    SlowSink sink;
    DbgOutputAddCallback(&SlowCallback, &sink);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        while (!stop)
            DbgOutputA(2, "spam\n");
    });
    while (sink.calls.load() < 5)
        std::this_thread::sleep_for(1ms);
    DbgOutputDelCallback(&SlowCallback);
    EXPECT_FALSE(sink.inside.load());
    const int callsAtReturn = sink.calls.load();
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(sink.calls.load(), callsAtReturn);
    stop = true;
    writer.join();
}

struct ReentrantSink {
    std::vector<std::string> texts;
};

void ReentrantCallback(void* context, int, const char* text, int length)
{
    auto* sink = static_cast<ReentrantSink*>(context);
    sink->texts.emplace_back(text, std::size_t(length));
    if (sink->texts.size() == 1)
        DbgOutputA(2, "nested");           // debug output from inside a callback
    if (sink->texts.size() == 2)
        DbgOutputDelCallback(&ReentrantCallback);  // removal from inside a callback
}

TEST_F(DbgOutputTest, CallbackMayWriteOutputAndRemoveItself)
{
    ReentrantSink sink;
    DbgOutputAddCallback(&ReentrantCallback, &sink);
    DbgOutputA(2, "outer");
    DbgOutputA(2, "not delivered");
    ASSERT_EQ(sink.texts.size(), 2u);
    EXPECT_EQ(sink.texts[0], "outer");
    EXPECT_EQ(sink.texts[1], "nested");
}

}  // namespace
