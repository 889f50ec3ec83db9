// A recording decoded through the tool's own decoder and written as CSV, and the wall
// times it carries.
#include <clocale>
#include <locale>
#include <sstream>
#include <gtest/gtest.h>
#include "CaptureIndexReader.h"
#include "RecordingDecode.h"
#include "RecordingPrinters.h"
#include "ReplayTimeline.h"
#include "ReportCsvExport.h"
#include "ScratchFolder.h"
#include "UtcTime.h"

namespace {

std::string Frame(int state, int distance)
{
    return std::string{'\xAA', '\xAA', char(state), char(distance & 0xFF), char(distance >> 8), '\x55', '\x55'};
}

// Switches the whole process to a comma-decimal locale with digit grouping, as a Qt
// application would for a German user, and back.
class GermanLocale {
public:
    GermanLocale()
    {
        try {
            m_previous = std::locale::global(std::locale("de_DE.UTF-8"));
            std::setlocale(LC_ALL, "de_DE.UTF-8");
            m_active = true;
        } catch (const std::runtime_error&) {
        }
    }
    ~GermanLocale()
    {
        if (m_active) {
            std::locale::global(m_previous);
            std::setlocale(LC_ALL, "C");
        }
    }
    bool Active() const { return m_active; }

private:
    std::locale m_previous;
    bool m_active = false;
};

const std::string kIndexHeader =
    R"({"type":"header","format":"tivane-capture-index","version":1,"started_utc":"2026-12-10T11:53:21.123Z","utc_offset_min":60})"
    "\n";

// Garbage, a frame, a frame split over two blocks, a broken tail, a frame with a state
// the module does not define and the largest distance, then after a reconnect a frame
// whose first half came before the link was lost (the live worker could not join it).
struct SampleRecording {
    std::string dat = "\x01\x02" + Frame(1, 150) + Frame(2, 48).substr(0, 3);
    std::string index;
    SampleRecording()
    {
        const std::string second = Frame(2, 48).substr(3) + "\xAA\xAA\x00\x10\x00\x55\x54" + Frame(7, 65535);
        const std::string half = Frame(0, 300).substr(0, 4);
        const std::string afterReconnect = Frame(0, 300).substr(4) + Frame(0, 299);
        index = kIndexHeader + "{\"t\":50000,\"o\":0,\"n\":12}\n" + "{\"t\":100900,\"o\":12,\"n\":" +
                std::to_string(second.size()) + "}\n";
        std::int64_t offset = std::int64_t(dat.size() + second.size());
        index += "{\"t\":120000,\"event\":\"label\",\"label\":\"still\"}\n";
        index += "{\"t\":150000,\"o\":" + std::to_string(offset) + ",\"n\":4}\n";
        index += "{\"t\":160000,\"event\":\"link_lost\",\"reason\":\"unplugged\"}\n";
        index += "{\"t\":123456789,\"event\":\"link_back\",\"path\":\"/dev/ttyUSB1\"}\n";
        index += "{\"t\":123456790,\"o\":" + std::to_string(offset + 4) + ",\"n\":" +
                 std::to_string(afterReconnect.size()) + "}\n";
        index += "{\"t\":123456800,\"event\":\"label\",\"label\":\"off\"}\n";
        dat += second + half + afterReconnect;
    }
    CReplayTimeline Timeline() const
    {
        return CReplayTimeline(CCaptureIndexReader::ReadText(index), std::int64_t(dat.size()), 50);
    }
};

TEST(RecordingDecode, FindsTheFramesTheLiveRunFoundStampedWithTheirDelivery)
{
    const SampleRecording recording;
    const CReplayTimeline timeline = recording.Timeline();
    ASSERT_FALSE(timeline.PacedByFallback()) << timeline.IndexOutcome().reason;
    std::istringstream dat(recording.dat);
    const DecodedRecording decoded = DecodeRecording(timeline, dat);
    EXPECT_TRUE(decoded.complete) << decoded.error;
    const std::vector<DecodedReport> expected = {
        {50000, 1, 150}, {100900, 2, 48}, {100900, 7, 65535}, {123456790, 0, 299}};
    EXPECT_EQ(decoded.reports, expected);

    // Without the index's reset the frame cut by the reconnect would be joined.
    std::istringstream again(recording.dat);
    const DecodedRecording unindexed = DecodeRecording(CReplayTimeline(std::int64_t(recording.dat.size()), 50), again);
    EXPECT_EQ(unindexed.reports.size(), 5u);
}

TEST(RecordingDecode, ADatShorterThanTheTimelineIsReportedWithWhatWasFound)
{
    const std::string dat = Frame(1, 20) + Frame(1, 21);
    std::istringstream shortened(dat.substr(0, 10));
    const DecodedRecording decoded = DecodeRecording(CReplayTimeline(std::int64_t(dat.size()), 50), shortened);
    EXPECT_FALSE(decoded.complete);
    EXPECT_EQ(decoded.reports.size(), 1u);
    EXPECT_NE(decoded.error.find("ended at byte 10, before the 14 bytes"), std::string::npos) << decoded.error;
    EXPECT_FALSE(DecodeRecordingFile(CReplayTimeline(14, 50), "/nonexistent/run.dat").complete);
}

TEST(ReportCsvExport, RowsCarryTimeWallTimeStateDistanceAndLabelWhateverTheLocale)
{
    const SampleRecording recording;
    const CReplayTimeline timeline = recording.Timeline();
    std::istringstream dat(recording.dat);
    const DecodedRecording decoded = DecodeRecording(timeline, dat);
    GermanLocale german;
    if (!german.Active())
        GTEST_SKIP() << "no de_DE.UTF-8 locale (tools/install-deps.sh makes one)";
    std::ostringstream csv;
    ASSERT_TRUE(WriteReportCsv(csv, decoded.reports, &*timeline.Header(), timeline.LabelChanges()));
    EXPECT_EQ(csv.str(),
              "time_ms,wall_time,state,state_name,distance_cm,label\r\n"
              "50,2026-12-10T12:53:21.173+01:00,1,moving,150,\r\n"
              "100,2026-12-10T12:53:21.223+01:00,2,motionless,48,\r\n"
              "100,2026-12-10T12:53:21.223+01:00,7,unknown,65535,\r\n"
              "123456,2026-12-10T12:55:24.579+01:00,0,nobody,299,still\r\n");
}

TEST(ReportCsvExport, WithoutAHeaderTheWallTimeIsEmptyAndAFileIsWrittenWhole)
{
    ScratchFolder scratch;
    const std::vector<DecodedReport> reports = {{1999, 0, 0}, {2000, 2, 75}};
    const std::vector<LabelChange> labels = {{2000, GroundTruthLabel::Moving}};
    std::string error;
    ASSERT_TRUE(WriteReportCsvFile(scratch.File("run.csv"), reports, nullptr, labels, error)) << error;
    EXPECT_EQ(ReadWholeFile(scratch.File("run.csv")),
              "time_ms,wall_time,state,state_name,distance_cm,label\r\n1,,0,nobody,0,\r\n2,,2,motionless,75,moving\r\n");
    EXPECT_FALSE(WriteReportCsvFile(scratch.File("no/such/folder.csv"), reports, nullptr, labels, error));
    EXPECT_NE(error.find("cannot be created"), std::string::npos) << error;
}

struct WallTimeCase {
    const char* utc;
    std::int64_t offsetMinutes;
    const char* wall;  // null: the UTC text is refused
};

class UtcTimeText : public testing::TestWithParam<WallTimeCase> {};

TEST_P(UtcTimeText, ParsesAndFormatsAcrossDaysAndZones)
{
    const std::optional<std::int64_t> ms = ParseUtcTimestampMs(GetParam().utc);
    if (!GetParam().wall) {
        EXPECT_FALSE(ms) << GetParam().utc;
        return;
    }
    ASSERT_TRUE(ms) << GetParam().utc;
    EXPECT_EQ(FormatWallTimeMs(*ms, GetParam().offsetMinutes), GetParam().wall);
    EXPECT_EQ(ParseUtcTimestampMs(FormatUtcTimestampMs(*ms)), ms);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UtcTimeText,
    testing::Values(WallTimeCase{"2026-12-31T23:59:59.999Z", 60, "2027-01-01T00:59:59.999+01:00"},
                    WallTimeCase{"2026-03-01T02:00:00Z", -330, "2026-02-28T20:30:00.000-05:30"},
                    WallTimeCase{"2028-02-29T12:00:00.5Z", 0, "2028-02-29T12:00:00.500+00:00"},
                    WallTimeCase{"1969-12-31T23:59:59.123456789Z", 0, "1969-12-31T23:59:59.123+00:00"},
                    WallTimeCase{"0999-01-01T00:00:00.007Z", 845, "0999-01-01T14:05:00.007+14:05"},
                    WallTimeCase{"2026-02-29T12:00:00Z", 0, nullptr},
                    WallTimeCase{"2026-12-10T11:53:21.123", 0, nullptr},
                    WallTimeCase{"2026-12-10 11:53:21Z", 0, nullptr},
                    WallTimeCase{"2026-12-10T24:00:00Z", 0, nullptr},
                    WallTimeCase{"2026-12-10T11:53:21.Z", 0, nullptr}));

}  // namespace
