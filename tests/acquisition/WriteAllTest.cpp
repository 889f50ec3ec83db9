#include <cstdio>
#include <string>
#include <vector>
#include <ostream>
#include <gtest/gtest.h>
#include "WriteAll.h"

namespace {

TEST(WriteAll, WritesAWholeBlockToAFile)
{
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::string block(1 << 20, '\0');
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = char(i * 7 + 3);
    EXPECT_EQ(WriteAll(file, block.data(), block.size()), block.size());
    std::rewind(file);
    std::string back(block.size(), '\0');
    EXPECT_EQ(std::fread(back.data(), 1, back.size(), file), back.size());
    EXPECT_EQ(back, block);
    std::fclose(file);
}

TEST(WriteAll, MissingStreamOrDataOrCountWritesNothing)
{
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    const char data[] = "abc";
    EXPECT_EQ(WriteAll(nullptr, data, 3), 0u);
    EXPECT_EQ(WriteAll(file, nullptr, 3), 0u);
    EXPECT_EQ(WriteAll(file, data, 0), 0u);
    EXPECT_EQ(std::ftell(file), 0);
    std::fclose(file);
}

TEST(WriteAll, StopsAtAStreamError)
{
    // Every write to this device fails with "no space left".
    std::FILE* full = std::fopen("/dev/full", "wb");
    if (!full)
        GTEST_SKIP() << "/dev/full is not available";
    const std::vector<char> block(256 * 1024, 'x');
    EXPECT_LT(WriteAll(full, block.data(), block.size()), block.size());
    std::fclose(full);
}

struct ScriptedCase {
    const char* label;
    std::vector<std::size_t> takes;  // what each write call takes, in turn
    bool errorAfterShortWrite;
    std::size_t count;
    std::size_t written;
    int calls;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ScriptedCase& c, std::ostream* out)
{
    *out << c.label;
}

class WriteAllScripted : public testing::TestWithParam<ScriptedCase> {};

// A sink that takes what the script says: the stream cases a real file cannot be
// made to produce on demand.
TEST_P(WriteAllScripted, RetriesShortWritesAndEnds)
{
    const ScriptedCase& c = GetParam();
    std::vector<char> data(c.count, 'd');
    int calls = 0;
    bool error = false;
    const std::size_t written = WriteAllWith(
        data.data(), data.size(),
        [&](const void*, std::size_t size) {
            const std::size_t take = calls < int(c.takes.size()) ? c.takes[std::size_t(calls)] : 0;
            ++calls;
            if (take < size && c.errorAfterShortWrite)
                error = true;
            return take;
        },
        [&] { return error; });
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(calls, c.calls);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, WriteAllScripted,
    testing::Values(ScriptedCase{"wholeAtOnce", {100}, false, 100, 100, 1},
                    ScriptedCase{"shortWritesRetried", {30, 30, 40}, false, 100, 100, 3},
                    ScriptedCase{"errorDropsTheRest", {30, 30}, true, 100, 30, 1},
                    ScriptedCase{"noProgressWithoutErrorStops", {30, 0, 70}, false, 100, 30, 2},
                    ScriptedCase{"writerClaimsTooMuch", {500}, false, 100, 100, 1}),
    [](const testing::TestParamInfo<ScriptedCase>& info) { return std::string(info.param.label); });

}  // namespace
