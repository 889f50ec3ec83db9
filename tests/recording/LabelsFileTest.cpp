// Labels set during replays: appended, flushed, read back in time order, and a line cut
// by a crash neither breaks the file nor what is appended after it.
#include <gtest/gtest.h>
#include "LabelsFileReader.h"
#include "LabelsFileWriter.h"
#include "RecordingLoad.h"
#include "ScratchFolder.h"

namespace {

TEST(LabelsFile, ChangesOfTwoReplaysReadBackInTimeOrder)
{
    ScratchFolder scratch;
    const std::string dat = scratch.File("run.dat");
    CLabelsFileWriter first;
    ASSERT_TRUE(first.Open(dat)) << first.Error();
    ASSERT_TRUE(first.Append({5000, GroundTruthLabel::Moving}));
    ASSERT_TRUE(first.Append({9000, GroundTruthLabel::Off}));
    // Flushed at once: readable while the writer is still open.
    EXPECT_EQ(ReadWholeFile(first.Path()), "{\"t\":5000,\"label\":\"moving\"}\n{\"t\":9000,\"label\":\"off\"}\n");
    ASSERT_TRUE(first.Close());
    CLabelsFileWriter second;
    ASSERT_TRUE(second.Open(dat));
    ASSERT_TRUE(second.Append({1000, GroundTruthLabel::Empty}));
    ASSERT_TRUE(second.Append({5000, GroundTruthLabel::Still}));
    EXPECT_FALSE(second.Append({-1, GroundTruthLabel::Still}));
    second.Close();

    const LabelsFile file = ReadLabelsFile(dat + ".labels");
    ASSERT_EQ(file.outcome.status, ReadStatus::Ok) << file.outcome.reason;
    const std::vector<LabelChange> expected = {{1000, GroundTruthLabel::Empty},
                                               {5000, GroundTruthLabel::Moving},
                                               {5000, GroundTruthLabel::Still},
                                               {9000, GroundTruthLabel::Off}};
    EXPECT_EQ(file.changes, expected);
}

TEST(LabelsFile, ACutLastLineIsDroppedByTheReaderAndRemovedBeforeAppending)
{
    ScratchFolder scratch;
    const std::string dat = scratch.File("run.dat");
    WriteWholeFile(dat + ".labels", "{\"t\":10,\"label\":\"empty\"}\n{\"t\":20,\"lab");
    const LabelsFile cut = ReadLabelsFile(dat + ".labels");
    EXPECT_EQ(cut.outcome.status, ReadStatus::LastLineCut);
    EXPECT_EQ(cut.changes, (std::vector<LabelChange>{{10, GroundTruthLabel::Empty}}));

    CLabelsFileWriter writer;
    ASSERT_TRUE(writer.Open(dat)) << writer.Error();
    ASSERT_TRUE(writer.Append({30, GroundTruthLabel::Moving}));
    writer.Close();
    const LabelsFile repaired = ReadLabelsFile(dat + ".labels");
    EXPECT_EQ(repaired.outcome.status, ReadStatus::Ok) << repaired.outcome.reason;
    EXPECT_EQ(repaired.changes,
              (std::vector<LabelChange>{{10, GroundTruthLabel::Empty}, {30, GroundTruthLabel::Moving}}));
}

TEST(LabelsFile, AWholeLastLineWithoutItsEndIsKeptAndEndedBeforeAppending)
{
    ScratchFolder scratch;
    const std::string dat = scratch.File("run.dat");
    // Written by hand: a blank line, and no "\n" after the last label.
    WriteWholeFile(dat + ".labels", "{\"t\":10,\"label\":\"empty\"}\n\n{\"t\":20,\"label\":\"still\"}");
    const std::vector<LabelChange> before = {{10, GroundTruthLabel::Empty}, {20, GroundTruthLabel::Still}};
    const LabelsFile read = ReadLabelsFile(dat + ".labels");
    EXPECT_EQ(read.outcome.status, ReadStatus::Ok) << read.outcome.reason;
    EXPECT_EQ(read.changes, before);

    CLabelsFileWriter writer;
    ASSERT_TRUE(writer.Open(dat)) << writer.Error();
    ASSERT_TRUE(writer.Append({30, GroundTruthLabel::Moving}));
    writer.Close();
    EXPECT_EQ(ReadWholeFile(dat + ".labels"), "{\"t\":10,\"label\":\"empty\"}\n\n{\"t\":20,\"label\":\"still\"}\n"
                                              "{\"t\":30,\"label\":\"moving\"}\n");
    const LabelsFile after = ReadLabelsFile(dat + ".labels");
    EXPECT_EQ(after.outcome.status, ReadStatus::Ok) << after.outcome.reason;
    std::vector<LabelChange> expected = before;
    expected.push_back({30, GroundTruthLabel::Moving});
    EXPECT_EQ(after.changes, expected);
}

// A replay's labelling pass is a layer of its own: where the labels file holds labels,
// the live labels of the index do not count (a live "off" would end a replay label).
TEST(LabelsFile, ReplayLabelsReplaceTheLiveOnesWhereverBothExist)
{
    ScratchFolder scratch;
    const std::string dat = scratch.File("run.dat");
    WriteWholeFile(dat, std::string("\xAA\xAA\x01\x2C\x01\x55\x55", 7));
    WriteWholeFile(dat + ".idx", "{\"type\":\"header\",\"format\":\"tivane-capture-index\",\"version\":1}\n"
                                 "{\"t\":0,\"event\":\"label\",\"label\":\"empty\"}\n"
                                 "{\"t\":1000,\"o\":0,\"n\":7}\n"
                                 "{\"t\":2000000,\"event\":\"label\",\"label\":\"off\"}\n");
    const LoadedRecording live = LoadRecording(dat, 50);
    ASSERT_EQ(live.problem, LoadedRecording::Problem::None);
    EXPECT_EQ(live.labelLayers.InUse(), LabelLayer::Live);
    EXPECT_EQ(live.labels, (std::vector<LabelChange>{{0, GroundTruthLabel::Empty}, {2000000, GroundTruthLabel::Off}}));

    WriteWholeFile(dat + ".labels", "{\"t\":500000,\"label\":\"moving\"}\n");
    const LoadedRecording relabelled = LoadRecording(dat, 50);
    EXPECT_EQ(relabelled.labelLayers.InUse(), LabelLayer::Replay);
    EXPECT_EQ(relabelled.labels, (std::vector<LabelChange>{{500000, GroundTruthLabel::Moving}}));

    // In a replay of a recording not yet labelled again, the first label set switches layers.
    CLabelLayers layers = live.labelLayers;
    const std::vector<LabelChange>* shown = &layers.Changes();
    layers.AddReplayLabel({1500000, GroundTruthLabel::Still});
    EXPECT_EQ(layers.InUse(), LabelLayer::Replay);
    EXPECT_EQ(*shown, (std::vector<LabelChange>{{1500000, GroundTruthLabel::Still}}));
    EXPECT_EQ(CLabelLayers().InUse(), LabelLayer::None);
}

struct BadLabelsCase {
    const char* name;
    const char* text;
    const char* reason;
};

class LabelsFileBad : public testing::TestWithParam<BadLabelsCase> {};

TEST_P(LabelsFileBad, IsCorruptAtItsLineAndKeepsNothing)
{
    const LabelsFile file = ReadLabelsText(GetParam().text);
    EXPECT_EQ(file.outcome.status, ReadStatus::Corrupt);
    EXPECT_NE(file.outcome.reason.find(GetParam().reason), std::string::npos) << file.outcome.reason;
    EXPECT_TRUE(file.changes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LabelsFileBad,
    testing::Values(BadLabelsCase{"unknownLabel", "{\"t\":1,\"label\":\"empty\"}\n{\"t\":2,\"label\":\"sat\"}\n",
                                  "line 2: unknown label \"sat\""},
                    BadLabelsCase{"negativeTime", "{\"t\":-1,\"label\":\"empty\"}\n", "line 1: \"t\" is out of range"},
                    BadLabelsCase{"noLabel", "{\"t\":1}\n", "line 1: \"label\" is missing"},
                    BadLabelsCase{"notJson", "{\"t\":1,\"label\":\"empty\"}\nlabel=empty\n", "line 2:"}),
    [](const testing::TestParamInfo<BadLabelsCase>& info) { return std::string(info.param.name); });

TEST(LabelsFile, NoFileMeansNoLabels)
{
    const LabelsFile file = ReadLabelsFile("/nonexistent/run.dat.labels");
    EXPECT_EQ(file.outcome.status, ReadStatus::Missing);
    EXPECT_TRUE(file.changes.empty());
}

}  // namespace
