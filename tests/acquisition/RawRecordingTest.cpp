#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <gtest/gtest.h>
#include "RawRecording.h"
#include "ScratchFolder.h"

namespace {

TEST(RawRecording, NewFileIsNamedByDateInAFolderMadeWithItsParents)
{
    ScratchFolder scratch;
    const std::string folder = scratch.File("deep/er/Log");
    CRawRecording recording;
    ASSERT_TRUE(recording.OpenNew(folder));
    ASSERT_NE(recording.GetStream(), nullptr);
    const std::filesystem::path path = recording.GetPath();
    EXPECT_EQ(path.parent_path(), std::filesystem::path(folder));
    EXPECT_TRUE(std::regex_match(path.filename().string(), std::regex(R"(TivanePeloTOOL_\d{8}_\d{6}(_\d{3})?(_\d+)?\.dat)")))
        << path;
    recording.Close();
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST(RawRecording, ATakenNameGetsTheNextFreeSuffixAndTheOldFileIsKept)
{
    ScratchFolder scratch;
    WriteWholeFile(scratch.File("run.dat"), "first run");
    WriteWholeFile(scratch.File("run_2.dat"), "second run");
    CRawRecording recording;
    ASSERT_TRUE(recording.OpenUnique(scratch.Path().string(), "run", ".dat"));
    EXPECT_EQ(recording.GetPath(), scratch.File("run_3.dat"));
    std::fputs("third run", recording.GetStream());
    recording.Close();
    EXPECT_EQ(ReadWholeFile(scratch.File("run.dat")), "first run");
    EXPECT_EQ(ReadWholeFile(scratch.File("run_2.dat")), "second run");
    EXPECT_EQ(ReadWholeFile(scratch.File("run_3.dat")), "third run");
}

TEST(RawRecording, RunsStartedBackToBackNeverShareAFile)
{
    ScratchFolder scratch;
    const std::string folder = scratch.File("Log");
    std::set<std::string> paths;
    CRawRecording recording;
    for (int run = 0; run < 5; ++run) {
        ASSERT_TRUE(recording.OpenNew(folder));
        std::fputc('0' + run, recording.GetStream());
        paths.insert(recording.GetPath());
    }
    recording.Close();
    EXPECT_EQ(paths.size(), 5u);
    int run = 0;
    for (const std::string& path : paths)  // the names sort in the order of the runs
        EXPECT_EQ(ReadWholeFile(path), std::string(1, char('0' + run++))) << path;
}

TEST(RawRecording, AFolderThatCannotBeMadeLeavesNoFile)
{
    ScratchFolder scratch;
    WriteWholeFile(scratch.File("plain-file"), "x");
    CRawRecording recording;
    EXPECT_FALSE(recording.OpenNew(scratch.File("plain-file/Log")));
    EXPECT_EQ(recording.GetStream(), nullptr);
    EXPECT_TRUE(recording.GetPath().empty());
    recording.Close();  // harmless
}

}  // namespace
