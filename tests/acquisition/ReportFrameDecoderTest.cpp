#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>
#include <ostream>
#include <gtest/gtest.h>
#include "BaseBuffer.h"
#include "DbgOutput.h"
#include "RecordingSink.h"
#include "ReportFrameDecoder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
const std::string kInvalidTail = "Tailer TAG Invalid!\r\n";

Bytes Frame(std::uint8_t state, std::uint16_t distance)
{
    return {0xAA, 0xAA, state, std::uint8_t(distance & 0xFF), std::uint8_t(distance >> 8), 0x55, 0x55};
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct Report {
    std::int32_t state;
    std::int32_t distance;
    bool operator==(const Report& other) const { return state == other.state && distance == other.distance; }
};

std::ostream& operator<<(std::ostream& out, const Report& r)
{
    return out << "{" << r.state << ", " << r.distance << "}";
}

// A decoder with its owner, its debug lines recorded in one timeline with the owner's calls.
class DecoderHarness {
public:
    explicit DecoderHarness(std::int32_t historyLength = 300)
    {
        sink.Attach(&decoder);
        decoder.GetHistory().Replace(historyLength);
        DbgOutputSetTag(nullptr, 0);
        DbgOutputSetTimeType(0);
        DbgOutputSetIncludePIDTID(0);
        DbgOutputAddCallback(&RecordingSink::ReceiveLine, &sink);
    }
    ~DecoderHarness() { DbgOutputDelCallback(&RecordingSink::ReceiveLine); }

    // Appends each block and decodes after it, as the worker does; checks what stays behind.
    void Feed(const std::vector<Bytes>& blocks)
    {
        for (const Bytes& block : blocks) {
            buffer.AppendBuffer(block.data(), block.size());
            const std::size_t before = buffer.GetAvailSize();
            decoder.DecodeReportFrames(buffer);
            if (before < 7)
                EXPECT_EQ(buffer.GetAvailSize(), before) << "a short buffer is left unchanged";
            else
                EXPECT_LE(buffer.GetAvailSize(), 6u);
        }
    }

    std::vector<Report> Posted() const
    {
        std::vector<Report> reports;
        for (const SinkEvent& e : sink.Events())
            if (e.kind == SinkEvent::Post)
                reports.push_back({e.state, e.distance});
        return reports;
    }
    int LinesEqualTo(const std::string& text) const
    {
        const std::vector<SinkEvent> events = sink.Events();
        return int(std::count_if(events.begin(), events.end(),
                                 [&](const SinkEvent& e) { return e.kind == SinkEvent::Line && e.text == text; }));
    }
    Bytes Left() const { return Bytes(buffer.GetBuffer(), buffer.GetBuffer() + buffer.GetAvailSize()); }

    RecordingSink sink;
    CReportFrameDecoder decoder{sink};
    CBaseBuffer buffer;
};

struct StreamCase {
    const char* label;
    std::vector<Bytes> blocks;
    std::vector<Report> reports;
    int invalidTails;
    Bytes left;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const StreamCase& c, std::ostream* out)
{
    *out << c.label;
}

class DecoderStream : public testing::TestWithParam<StreamCase> {};

TEST_P(DecoderStream, ReportsTheFramesInStreamOrder)
{
    const StreamCase& c = GetParam();
    DecoderHarness harness;
    harness.Feed(c.blocks);
    EXPECT_EQ(harness.Posted(), c.reports);
    EXPECT_EQ(harness.LinesEqualTo(kInvalidTail), c.invalidTails);
    EXPECT_EQ(harness.Left(), c.left);
    // The damage counters: every broken tail, and every byte neither in a frame nor left.
    std::size_t fed = 0;
    for (const Bytes& block : c.blocks)
        fed += block.size();
    EXPECT_EQ(harness.decoder.BrokenTails(), std::uint64_t(c.invalidTails));
    EXPECT_EQ(harness.decoder.SkippedBytes(), fed - 7 * c.reports.size() - c.left.size());
}

INSTANTIATE_TEST_SUITE_P(
    Streams, DecoderStream,
    testing::Values(
        StreamCase{"fewerThanSeven", {{0xAA, 0xAA, 0x01, 0x2C, 0x01, 0x55}}, {}, 0,
                   {0xAA, 0xAA, 0x01, 0x2C, 0x01, 0x55}},
        StreamCase{"splitFourThenThree", {{0xAA, 0xAA, 0x01, 0x2C}, {0x01, 0x55, 0x55}}, {{1, 300}}, 0, {}},
        StreamCase{"splitInEveryByte", {{0xAA}, {0xAA}, {0x02}, {0x05}, {0x00}, {0x55}, {0x55}}, {{2, 5}}, 0, {}},
        StreamCase{"garbageBeforeIsSkippedSilently", {Concat({{0x00, 0x55, 0xAA, 0x10, 0x55, 0x55}, Frame(2, 85)})},
                   {{2, 85}}, 0, {}},
        StreamCase{"headerWithoutTail", {{0xAA, 0xAA, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07}}, {}, 1,
                   {0x02, 0x03, 0x04, 0x05, 0x06, 0x07}},
        StreamCase{"frameInsideFalseCandidate", {{0xAA, 0xAA, 0xAA, 0x01, 0x2C, 0x01, 0x55, 0x55}}, {{1, 300}}, 1, {}},
        StreamCase{"backToBack", {Concat({Frame(1, 100), Frame(2, 200)})}, {{1, 100}, {2, 200}}, 0, {}},
        StreamCase{"largestDistance", {Frame(1, 0xFFFF)}, {{1, 65535}}, 0, {}},
        StreamCase{"unknownStateKept", {Frame(3, 7), Frame(0xFF, 8)}, {{3, 7}, {255, 8}}, 0, {}},
        StreamCase{"headerBytesAsValues", {Frame(0xAA, 0xAAAA)}, {{0xAA, 0xAAAA}}, 0, {}},
        StreamCase{"tailWithoutHeader", {{0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}}, {}, 0, {0x55, 0x55, 0x55,
                   0x55, 0x55, 0x55}},
        StreamCase{"runOfHeaderBytes", {Bytes(10, 0xAA)}, {}, 4, Bytes(6, 0xAA)},
        StreamCase{"frameThenStartOfNext", {Concat({Frame(1, 1), {0xAA, 0xAA, 0x02}})}, {{1, 1}}, 0,
                   {0xAA, 0xAA, 0x02}}),
    [](const testing::TestParamInfo<StreamCase>& info) { return std::string(info.param.label); });

TEST(ReportFrameDecoder, EachFrameIsStoredPostedLoggedThenCharted)
{
    DecoderHarness harness(3);
    harness.Feed({Concat({Frame(1, 85), Frame(0, 5)})});
    const std::vector<SinkEvent> events = harness.sink.Events();
    ASSERT_EQ(events.size(), 6u);
    const SinkEvent::Kind order[] = {SinkEvent::Post, SinkEvent::Line, SinkEvent::Feed};
    for (std::size_t i = 0; i < events.size(); ++i)
        EXPECT_EQ(events[i].kind, order[i % 3]) << "call " << i;
    EXPECT_EQ(events[0].state, 1) << "state and distance are stored before the post";
    EXPECT_EQ(events[0].distance, 85);
    EXPECT_EQ(events[1].text, "State=1, M_D=085\r\n");
    EXPECT_EQ(events[2].history, (std::vector<std::int32_t>{0, 0, 85}));
    EXPECT_EQ(events[4].text, "State=0, M_D=005\r\n");
    EXPECT_EQ(events[5].history, (std::vector<std::int32_t>{0, 85, 5}));
}

TEST(ReportFrameDecoder, The301stFrameDropsTheFirstDistance)
{
    DecoderHarness harness(300);
    for (int i = 1; i <= 301; ++i)
        harness.Feed({Frame(1, std::uint16_t(i))});
    const std::vector<std::int32_t> history = harness.decoder.GetHistory().GetValues();
    ASSERT_EQ(history.size(), 300u);
    EXPECT_EQ(history.front(), 2);
    EXPECT_EQ(history.back(), 301);
    EXPECT_TRUE(std::is_sorted(history.begin(), history.end()));
}

TEST(ReportFrameDecoder, WithoutHistoryTheChartStepIsSkippedButTheReportIsNot)
{
    DecoderHarness harness(0);
    harness.Feed({Frame(2, 40)});
    const std::vector<SinkEvent> events = harness.sink.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, SinkEvent::Post);
    EXPECT_EQ(events[1].text, "State=2, M_D=040\r\n");
    EXPECT_EQ(harness.decoder.GetDistance(), 40);
}

// Garbage that cannot begin a header (no 0xAA), and broken frames whose header is
// whole but whose tail is not, so that neither can hide or fake a frame.
TEST(ReportFrameDecoder, RandomGarbageAndSplitsYieldExactlyTheFramesSent)
{
    std::mt19937 random(20240611);
    auto byte = [&](std::initializer_list<std::uint8_t> excluded) {
        for (;;) {
            const auto b = std::uint8_t(random() & 0xFF);
            if (std::find(excluded.begin(), excluded.end(), b) == excluded.end())
                return b;
        }
    };
    for (int round = 0; round < 200; ++round) {
        Bytes stream;
        std::vector<Report> sent;
        int broken = 0;
        const int pieces = int(random() % 60);
        for (int i = 0; i < pieces; ++i) {
            switch (random() % 3) {
            case 0: {
                const auto state = std::uint8_t(random() & 0xFF);
                const auto distance = std::uint16_t(random() & 0xFFFF);
                const Bytes frame = Frame(state, distance);
                stream.insert(stream.end(), frame.begin(), frame.end());
                sent.push_back({state, distance});
                break;
            }
            case 1:
                for (int n = int(random() % 12); n > 0; --n)
                    stream.push_back(byte({0xAA}));
                break;
            default:
                stream.insert(stream.end(), {0xAA, 0xAA, byte({0xAA}), byte({0xAA}), byte({0xAA}),
                                             byte({0xAA, 0x55}), byte({0xAA, 0x55})});
                ++broken;
                break;
            }
        }
        std::vector<Bytes> blocks;
        for (std::size_t at = 0; at < stream.size();) {
            const std::size_t size = std::min<std::size_t>(1 + random() % 20, stream.size() - at);
            blocks.emplace_back(stream.begin() + long(at), stream.begin() + long(at + size));
            at += size;
        }
        DecoderHarness harness;
        harness.Feed(blocks);
        ASSERT_EQ(harness.Posted(), sent) << "round " << round;
        ASSERT_EQ(harness.LinesEqualTo(kInvalidTail), broken) << "round " << round;
    }
}

}  // namespace
