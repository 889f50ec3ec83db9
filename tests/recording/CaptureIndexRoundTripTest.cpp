// The writer's file read back by the reader: what the worker records is what a replay gets.
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include "CaptureIndexReader.h"
#include "CaptureIndexWriter.h"
#include "RecordingPrinters.h"
#include "ScratchFolder.h"

namespace {

CaptureHeader SampleHeader()
{
    CaptureHeader header;
    header.startedUtc = "2026-12-10T11:53:21.123Z";
    header.utcOffsetMinutes = 60;
    header.port = "/dev/ttyUSB0";
    header.identity = "usb:1a86:7523:XYZ";
    header.baud = 256000;
    header.reportTimeMs = 50;
    header.firmware = "V1.0.3";
    header.toolVersion = "1.0.0";
    header.hasParameters = true;
    header.parameters = DetectionParams::Defaults();
    header.parameters.nDistanceCalibration = -12;
    header.parameters.fKalman1 = 1e-7f;
    return header;
}

// Writes an index through the writer (header first) and reads it back.
CaptureIndex WriteAndRead(const ScratchFolder& scratch, const std::function<void(CCaptureIndexWriter&)>& records)
{
    CCaptureIndexWriter writer;
    EXPECT_TRUE(writer.Open(scratch.File("run.dat")));
    writer.WriteHeader(SampleHeader());
    records(writer);
    EXPECT_TRUE(writer.Close()) << writer.Error();
    return CCaptureIndexReader::ReadFile(scratch.File("run.dat.idx"));
}

TEST(CaptureIndexRoundTrip, HeaderComesBackFieldForFieldWithExactFloats)
{
    ScratchFolder scratch;
    CaptureHeader written = SampleHeader();
    written.port = "/dev/serial/by-id/Büro \"A\"\\1\t";
    written.parameters.fKalman2 = std::nanf("");
    const CaptureIndex index = WriteAndRead(scratch, [](CCaptureIndexWriter&) {});
    ASSERT_EQ(index.outcome.status, ReadStatus::Ok) << index.outcome.reason;
    ASSERT_TRUE(index.header);
    EXPECT_EQ(index.header->startedUtc, "2026-12-10T11:53:21.123Z");
    EXPECT_EQ(index.header->utcOffsetMinutes, 60);
    EXPECT_EQ(index.header->identity, "usb:1a86:7523:XYZ");
    EXPECT_EQ(index.header->baud, 256000);
    EXPECT_EQ(index.header->reportTimeMs, 50);
    EXPECT_EQ(index.header->firmware, "V1.0.3");
    EXPECT_EQ(index.header->toolVersion, "1.0.0");
    ASSERT_TRUE(index.header->hasParameters);
    const DetectionParams expected = SampleHeader().parameters;
    EXPECT_EQ(std::memcmp(&index.header->parameters, &expected, sizeof expected), 0);

    // Escaped strings and a float JSON cannot hold come back too.
    CCaptureIndexWriter writer;
    ASSERT_TRUE(writer.Open(scratch.File("odd.dat")));
    writer.WriteHeader(written);
    ASSERT_TRUE(writer.Close());
    const CaptureIndex odd = CCaptureIndexReader::ReadFile(scratch.File("odd.dat.idx"));
    ASSERT_TRUE(odd.header) << odd.outcome.reason;
    EXPECT_EQ(odd.header->port, written.port);
    EXPECT_TRUE(std::isnan(odd.header->parameters.fKalman2));
}

TEST(CaptureIndexRoundTrip, HeaderLineIsPlainJsonAReaderCanFollow)
{
    ScratchFolder scratch;
    WriteAndRead(scratch, [](CCaptureIndexWriter& w) { w.AddBlock(0, 64, 123456); });
    const std::string text = ReadWholeFile(scratch.File("run.dat.idx"));
    EXPECT_EQ(text.rfind("{\"type\":\"header\",\"format\":\"tivane-capture-index\",\"version\":1,"
                         "\"started_utc\":\"2026-12-10T11:53:21.123Z\",\"utc_offset_min\":60,",
                         0),
              0u)
        << text;
    EXPECT_NE(text.find("\"parameters\":{\"nMotionlessRangeMin\":30,"), std::string::npos);
    EXPECT_NE(text.find("\"fKalman3\":0.85,\"fKalman4\":0.15,\"nDistanceCalibration\":-12}}\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.find('\n') + 1), "{\"t\":123456,\"o\":0,\"n\":64}\n");
}

struct MergeCase {
    const char* name;
    std::function<void(CCaptureIndexWriter&)> records;
    std::vector<CaptureBlock> blocks;
};

class CaptureIndexMerge : public testing::TestWithParam<MergeCase> {};

TEST_P(CaptureIndexMerge, BlocksJoinOnlyWithinOneMsAndContiguous)
{
    ScratchFolder scratch;
    const CaptureIndex index = WriteAndRead(scratch, GetParam().records);
    ASSERT_EQ(index.outcome.status, ReadStatus::Ok) << index.outcome.reason;
    EXPECT_EQ(index.blocks, GetParam().blocks);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaptureIndexMerge,
    testing::Values(
        MergeCase{"withinOneMs",
                  [](CCaptureIndexWriter& w) {
                      w.AddBlock(0, 7, 1000);
                      w.AddBlock(7, 7, 1500);
                      w.AddBlock(14, 3, 2000);  // 1000 us after the record began: still joins
                  },
                  {{1000, 0, 17}}},
        MergeCase{"laterThanOneMs",
                  [](CCaptureIndexWriter& w) {
                      w.AddBlock(0, 7, 1000);
                      w.AddBlock(7, 7, 2001);
                  },
                  {{1000, 0, 7}, {2001, 7, 7}}},
        MergeCase{"gapInTheDat",
                  [](CCaptureIndexWriter& w) {
                      w.AddBlock(0, 7, 1000);
                      w.AddBlock(9, 7, 1100);
                  },
                  {{1000, 0, 7}, {1100, 9, 7}}},
        MergeCase{"flushBetween",
                  [](CCaptureIndexWriter& w) {
                      w.AddBlock(0, 7, 1000);
                      w.Flush();
                      w.AddBlock(7, 7, 1100);
                  },
                  {{1000, 0, 7}, {1100, 7, 7}}},
        MergeCase{"eventBetween",
                  [](CCaptureIndexWriter& w) {
                      w.AddBlock(0, 7, 1000);
                      w.AddEvent(1050, CaptureEvent::Labelled(GroundTruthLabel::Still));
                      w.AddBlock(7, 7, 1100);
                  },
                  {{1000, 0, 7}, {1100, 7, 7}}},
        MergeCase{"timeGoingBackIsHeldAtTheLast",
                  [](CCaptureIndexWriter& w) {
                      w.AddBlock(0, 7, 5000);
                      w.Flush();
                      w.AddBlock(7, 7, 4000);
                  },
                  {{5000, 0, 7}, {5000, 7, 7}}}),
    [](const testing::TestParamInfo<MergeCase>& info) { return std::string(info.param.name); });

TEST(CaptureIndexRoundTrip, EventsKeepTheirOrderFieldsAndEscapes)
{
    ScratchFolder scratch;
    const std::string reason = "cable \"pulled\"\\\n\x01 Gerät";
    const CaptureIndex index = WriteAndRead(scratch, [&](CCaptureIndexWriter& w) {
        w.AddEvent(0, CaptureEvent::Start());
        w.AddBlock(0, 10, 100);
        w.AddEvent(200, CaptureEvent::LinkLost(reason));
        w.AddEvent(300, CaptureEvent::LinkBack("/dev/ttyUSB1"));
        w.AddBlock(10, 5, 400);
        w.AddEvent(500, CaptureEvent::WriteError(15, 9));
        w.AddEvent(600, CaptureEvent::WriteResumed(15));
        w.AddEvent(700, CaptureEvent::Labelled(GroundTruthLabel::Empty));
        w.AddEvent(800, CaptureEvent::Stop());
    });
    ASSERT_EQ(index.outcome.status, ReadStatus::Ok) << index.outcome.reason;
    const std::vector<TimedCaptureEvent> expected = {
        {0, 0, CaptureEvent::Start()},
        {200, 1, CaptureEvent::LinkLost(reason)},
        {300, 1, CaptureEvent::LinkBack("/dev/ttyUSB1")},
        {500, 2, CaptureEvent::WriteError(15, 9)},
        {600, 2, CaptureEvent::WriteResumed(15)},
        {700, 2, CaptureEvent::Labelled(GroundTruthLabel::Empty)},
        {800, 2, CaptureEvent::Stop()},
    };
    EXPECT_EQ(index.events, expected);
    const std::string text = ReadWholeFile(scratch.File("run.dat.idx"));
    EXPECT_NE(text.find("{\"t\":200,\"event\":\"link_lost\",\"reason\":\"cable \\\"pulled\\\"\\\\\\u000a\\u0001 Gerät\"}\n"),
              std::string::npos)
        << text;
}

TEST(CaptureIndexRoundTrip, RefusedRecordsAreReportedAndLeaveAReadableIndex)
{
    ScratchFolder scratch;
    CCaptureIndexWriter writer;
    ASSERT_TRUE(writer.Open(scratch.File("run.dat")));
    writer.AddBlock(0, 10, 100);   // before the header: a bare header is written first
    writer.AddBlock(5, 10, 200);   // overlaps
    writer.AddBlock(10, 0, 300);   // empty
    writer.AddBlock(10, 4, 1400);
    EXPECT_FALSE(writer.Close());
    EXPECT_NE(writer.Error().find("offset 5 overlapping the indexed bytes up to 10"), std::string::npos)
        << writer.Error();
    const CaptureIndex index = CCaptureIndexReader::ReadFile(writer.Path());
    ASSERT_EQ(index.outcome.status, ReadStatus::Ok) << index.outcome.reason;
    EXPECT_EQ(index.blocks, (std::vector<CaptureBlock>{{100, 0, 10}, {1400, 10, 4}}));
}

TEST(CaptureIndexRoundTrip, AFullDiskIsAValueNotACrash)
{
    ScratchFolder scratch;
    if (symlink("/dev/full", scratch.File("run.dat.idx").c_str()) != 0)
        GTEST_SKIP() << "cannot link to /dev/full";
    CCaptureIndexWriter writer;
    ASSERT_TRUE(writer.Open(scratch.File("run.dat")));
    writer.WriteHeader(SampleHeader());
    for (int i = 0; i < 2000; ++i) {
        writer.AddBlock(i * 7, 7, i * 5000);
        writer.Flush();
    }
    EXPECT_FALSE(writer.Close());
    EXPECT_EQ(writer.ErrorNumber(), ENOSPC);
    EXPECT_NE(writer.Error().find("could not be written"), std::string::npos) << writer.Error();
}

TEST(CaptureIndexRoundTrip, AnIndexThatCannotBeCreatedIsReported)
{
    CCaptureIndexWriter writer;
    EXPECT_FALSE(writer.Open("/nonexistent-folder/run.dat"));
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_EQ(writer.ErrorNumber(), ENOENT);
    writer.AddBlock(0, 7, 0);  // harmless while closed
}

}  // namespace
