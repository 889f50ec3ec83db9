// What the reader makes of indexes the tool did not write whole: each fault has its own
// outcome and a reason naming the line, and nothing crashes.
#include <sys/stat.h>

#include <gtest/gtest.h>
#include "CaptureIndexReader.h"
#include "RecordingPrinters.h"
#include "ScratchFolder.h"

namespace {

const std::string kHeader = R"({"type":"header","format":"tivane-capture-index","version":1})"
                            "\n";

struct ReadCase {
    const char* name;
    std::string text;
    ReadStatus status;
    const char* reason;  // text the reason contains
    std::size_t blocks;  // kept when usable
};

class CaptureIndexRead : public testing::TestWithParam<ReadCase> {};

TEST_P(CaptureIndexRead, GivesItsStatusAndReason)
{
    const ReadCase& c = GetParam();
    const CaptureIndex index = CCaptureIndexReader::ReadText(c.text);
    EXPECT_EQ(index.outcome.status, c.status) << index.outcome.reason;
    EXPECT_NE(index.outcome.reason.find(c.reason), std::string::npos) << index.outcome.reason;
    EXPECT_EQ(index.blocks.size(), c.blocks);
}

const std::string kTwoBlocks = kHeader + "{\"t\":10,\"o\":0,\"n\":7}\n{\"t\":20,\"o\":7,\"n\":7}\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, CaptureIndexRead,
    testing::Values(
        ReadCase{"whole", kTwoBlocks, ReadStatus::Ok, "", 2},
        ReadCase{"lastLineCut", kTwoBlocks + "{\"t\":30,\"o\":14,\"n", ReadStatus::LastLineCut,
                 "last line (4) was cut off", 2},
        ReadCase{"crashLeftZeros", kTwoBlocks + std::string(5, '\0'), ReadStatus::LastLineCut, "(4)", 2},
        ReadCase{"laterKeysTypesAndEvents",
                 kHeader + "{\"t\":1,\"o\":0,\"n\":7,\"crc\":\"ab\",\"q\":{\"x\":1.5}}\n"
                           "{\"type\":\"note\",\"text\":\"hi\"}\n{\"t\":2,\"event\":\"paused\"}\n",
                 ReadStatus::Ok, "", 1},
        ReadCase{"crLfLineEnds", "{\"type\":\"header\",\"format\":\"tivane-capture-index\",\"version\":1}\r\n"
                                 "{\"t\":1,\"o\":0,\"n\":7}\r\n",
                 ReadStatus::Ok, "", 1},
        ReadCase{"empty", "", ReadStatus::Corrupt, "the index is empty", 0},
        ReadCase{"leadingZero", kHeader + "{\"t\":01,\"o\":0,\"n\":7}\n", ReadStatus::Corrupt,
                 "line 2: number with a leading zero at column 6", 0},
        ReadCase{"headerCut", "{\"type\":\"head", ReadStatus::Corrupt, "line 1: the header line was cut off", 0},
        ReadCase{"garbageInTheMiddle", kHeader + "{\"t\":1,\"o\":0,\"n\":7}\nxyz\n{\"t\":2,\"o\":7,\"n\":7}\n",
                 ReadStatus::Corrupt, "line 3: the line is not a JSON object", 0},
        ReadCase{"badLastLineThatIsWhole", kTwoBlocks + "{\"t\":30,\n", ReadStatus::Corrupt, "line 4:", 0},
        ReadCase{"blankLinesArePassedOver", kHeader + "\n{\"t\":10,\"o\":0,\"n\":7}\n \r\n", ReadStatus::Ok, "", 1},
        ReadCase{"oneTrailingBlankLine", kTwoBlocks + "\n", ReadStatus::Ok, "", 2},
        ReadCase{"headerNotFirst", "{\"t\":1,\"o\":0,\"n\":7}\n" + kHeader, ReadStatus::Corrupt,
                 "line 1: the first line is not the header", 0},
        ReadCase{"blockEndBeyond64Bits", kHeader + "{\"t\":0,\"o\":9223372036854775807,\"n\":1}\n",
                 ReadStatus::Corrupt, "line 2: \"n\" is out of range (1)", 0},
        ReadCase{"secondHeader", kTwoBlocks + kHeader, ReadStatus::Corrupt, "line 4: a second header", 0},
        ReadCase{"otherFormat", "{\"type\":\"header\",\"format\":\"other\",\"version\":1}\n", ReadStatus::Corrupt,
                 "line 1: not a capture index", 0},
        ReadCase{"laterVersion", "{\"type\":\"header\",\"format\":\"tivane-capture-index\",\"version\":2}\n",
                 ReadStatus::Corrupt, "line 1: version 2 is not known", 0},
        ReadCase{"badStartTime", "{\"type\":\"header\",\"format\":\"tivane-capture-index\",\"version\":1,"
                                 "\"started_utc\":\"2026-02-30T00:00:00Z\"}\n",
                 ReadStatus::Corrupt, "line 1: \"started_utc\"", 0},
        ReadCase{"parameterTooWide", "{\"type\":\"header\",\"format\":\"tivane-capture-index\",\"version\":1,"
                                     "\"parameters\":{\"nOffTime\":4294967296}}\n",
                 ReadStatus::Corrupt, "parameter nOffTime is not a 32-bit integer", 0},
        ReadCase{"timeGoesBack", kTwoBlocks + "{\"t\":19,\"event\":\"stop\"}\n", ReadStatus::Corrupt,
                 "line 4: time goes backwards", 0},
        ReadCase{"overlap", kTwoBlocks + "{\"t\":30,\"o\":13,\"n\":7}\n", ReadStatus::Corrupt,
                 "line 4: the block at offset 13 overlaps", 0},
        ReadCase{"negativeOffset", kHeader + "{\"t\":1,\"o\":-7,\"n\":7}\n", ReadStatus::Corrupt,
                 "line 2: \"o\" is out of range", 0},
        ReadCase{"timeBeyondTheLimit", kHeader + "{\"t\":1125899906842625,\"o\":0,\"n\":7}\n", ReadStatus::Corrupt,
                 "line 2: \"t\" is out of range (1125899906842625)", 0},
        ReadCase{"emptyBlock", kHeader + "{\"t\":1,\"o\":0,\"n\":0}\n", ReadStatus::Corrupt,
                 "line 2: \"n\" is out of range", 0},
        ReadCase{"missingLength", kHeader + "{\"t\":1,\"o\":0}\n", ReadStatus::Corrupt, "line 2: \"n\" is missing", 0},
        ReadCase{"keysOfTheLineBeforeAreGone", kHeader + "{\"t\":1,\"o\":0,\"n\":7,\"x\":1}\n{\"t\":2,\"o\":7}\n",
                 ReadStatus::Corrupt, "line 3: \"n\" is missing", 0},
        ReadCase{"fractionalTime", kHeader + "{\"t\":1.5,\"o\":0,\"n\":7}\n", ReadStatus::Corrupt,
                 "line 2: \"t\" is not an integer", 0},
        ReadCase{"hugeInteger", kHeader + "{\"t\":99999999999999999999,\"o\":0,\"n\":7}\n", ReadStatus::Corrupt,
                 "line 2: integer out of the 64-bit range", 0},
        ReadCase{"array", kHeader + "{\"t\":[1],\"o\":0,\"n\":7}\n", ReadStatus::Corrupt,
                 "line 2: arrays are not accepted at column 6", 0},
        ReadCase{"duplicateKey", kHeader + "{\"t\":1,\"t\":2,\"o\":0,\"n\":7}\n", ReadStatus::Corrupt,
                 "line 2: duplicate key", 0},
        ReadCase{"unknownLabel", kHeader + "{\"t\":1,\"event\":\"label\",\"label\":\"sitting\"}\n",
                 ReadStatus::Corrupt, "line 2: unknown label \"sitting\"", 0},
        ReadCase{"invalidUtf8", kHeader + "{\"t\":1,\"event\":\"link_lost\",\"reason\":\"\xC3\x28\"}\n",
                 ReadStatus::Corrupt, "line 2: invalid UTF-8", 0},
        ReadCase{"loneSurrogate", kHeader + "{\"t\":1,\"event\":\"link_back\",\"path\":\"\\udc00\"}\n",
                 ReadStatus::Corrupt, "line 2: lone low surrogate", 0},
        ReadCase{"lineTooLong", kHeader + "{\"t\":1,\"event\":\"link_lost\",\"reason\":\"" +
                                    std::string(70000, 'x') + "\"}\n{\"t\":2,\"o\":0,\"n\":7}\n",
                 ReadStatus::Corrupt, "line 2: longer than 64 KiB", 0}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(CaptureIndexRead, EscapesDecodeToUtf8)
{
    const CaptureIndex index =
        CCaptureIndexReader::ReadText(kHeader + R"({"t":1,"event":"link_back","path":"a\/\u00e9\ud83d\ude00\t"})" + "\n");
    ASSERT_EQ(index.events.size(), 1u) << index.outcome.reason;
    EXPECT_EQ(index.events[0].event.path, "a/\xC3\xA9\xF0\x9F\x98\x80\t");
}

struct DatCase {
    const char* name;
    std::string lines;
    std::int64_t datSize;
    ReadStatus status;
};

class CaptureIndexAgainstDat : public testing::TestWithParam<DatCase> {};

TEST_P(CaptureIndexAgainstDat, BytesPastTheEndMakeItMismatch)
{
    CaptureIndex index = CCaptureIndexReader::ReadText(kHeader + GetParam().lines);
    ASSERT_TRUE(index.outcome.Usable()) << index.outcome.reason;
    index.ValidateAgainstDat(GetParam().datSize);
    EXPECT_EQ(index.outcome.status, GetParam().status) << index.outcome.reason;
    if (GetParam().status == ReadStatus::MismatchesDat) {
        EXPECT_NE(index.outcome.reason.find("past the end of the .dat (" + std::to_string(GetParam().datSize)),
                  std::string::npos)
            << index.outcome.reason;
        EXPECT_TRUE(index.blocks.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaptureIndexAgainstDat,
    testing::Values(DatCase{"exact", "{\"t\":1,\"o\":0,\"n\":14}\n", 14, ReadStatus::Ok},
                    DatCase{"datLongerAfterACrash", "{\"t\":1,\"o\":0,\"n\":14}\n", 1000, ReadStatus::Ok},
                    DatCase{"blockPastTheEnd", "{\"t\":1,\"o\":0,\"n\":14}\n", 13, ReadStatus::MismatchesDat},
                    DatCase{"writeEventPastTheEnd", "{\"t\":1,\"event\":\"write_resumed\",\"offset\":20}\n", 19,
                            ReadStatus::MismatchesDat}),
    [](const testing::TestParamInfo<DatCase>& info) { return std::string(info.param.name); });

TEST(CaptureIndexReadFile, ReadsLineByLineAcrossChunksLikeText)
{
    ScratchFolder scratch;
    std::string text = kHeader;
    for (int i = 0; i < 20000; ++i)  // several read chunks, lines split at their edges
        text += "{\"t\":" + std::to_string(i * 1000) + ",\"o\":" + std::to_string(i * 7) + ",\"n\":7}\n";
    WriteWholeFile(scratch.File("run.dat.idx"), text);
    const CaptureIndex fromFile = CCaptureIndexReader::ReadFile(scratch.File("run.dat.idx"));
    ASSERT_EQ(fromFile.outcome.status, ReadStatus::Ok) << fromFile.outcome.reason;
    EXPECT_EQ(fromFile.blocks, CCaptureIndexReader::ReadText(text).blocks);
    EXPECT_EQ(fromFile.blocks.size(), 20000u);
}

TEST(CaptureIndexReadFile, MissingUnreadableAndOversizedFilesAreTold)
{
    ScratchFolder scratch;
    EXPECT_EQ(CCaptureIndexReader::ReadFile(scratch.File("none.idx")).outcome.status, ReadStatus::Missing);
    // Neither a folder nor a FIFO (whose open would wait for a writer) is read.
    const CaptureIndex folder = CCaptureIndexReader::ReadFile(scratch.Path().string());
    EXPECT_EQ(folder.outcome.status, ReadStatus::Unreadable) << folder.outcome.reason;
    ASSERT_EQ(mkfifo(scratch.File("fifo.idx").c_str(), 0600), 0);
    const CaptureIndex fifo = CCaptureIndexReader::ReadFile(scratch.File("fifo.idx"));
    EXPECT_NE(fifo.outcome.reason.find("is not a regular file"), std::string::npos) << fifo.outcome.reason;
    WriteWholeFile(scratch.File("big.idx"), kTwoBlocks);
    const CaptureIndex big = CCaptureIndexReader::ReadFile(scratch.File("big.idx"), 16);
    EXPECT_EQ(big.outcome.status, ReadStatus::Unreadable);
    EXPECT_NE(big.outcome.reason.find("more than the 16 a replay reads"), std::string::npos) << big.outcome.reason;
}

}  // namespace
