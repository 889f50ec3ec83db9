#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>
#include <ostream>
#include <sys/stat.h>
#include <gtest/gtest.h>
#include "ChildProcess.h"
#include "ScratchFolder.h"
#include "SettingsFile.h"

namespace {

const char* const kEmptyAppConfigFile = "<?xml version=\"1.0\"?>\n<AppConfig />\n";

// One start of the tool over the file: the start-up read into a fresh document.
struct Start {
    explicit Start(const std::string& path) : file(document, path) { file.ReadAtStartup(); }
    XMLParser document;
    CSettingsFile file;
};

ToolSettings LoadedWithDefaults(Start& start)
{
    ToolSettings settings;
    settings.params.RestoreDefaults();
    start.file.LoadSettings(settings);
    return settings;
}

std::vector<std::string> AttributeNames(const std::string& path)
{
    XMLParser parser;
    const std::string text = ReadWholeFile(path);
    parser.LoadFromBuffer(text.data(), std::int64_t(text.size()));
    std::vector<std::string> names;
    for (pugi::xml_attribute a : parser.GetRoot().FindChild("AppConfig").GetNode().attributes())
        names.emplace_back(a.name());
    return names;
}

class SettingsFileTest : public testing::Test {
protected:
    ScratchFolder folder;
    const std::string path = folder.File("appConfig.xml");
};

TEST_F(SettingsFileTest, FirstStartCreatesTheFileAndFirstSaveWritesTwentyAttributesInOrder)
{
    Start start(path);
    EXPECT_EQ(ReadWholeFile(path), kEmptyAppConfigFile);

    ToolSettings settings = LoadedWithDefaults(start);
    EXPECT_EQ(settings.baudRate, 256000);
    EXPECT_EQ(settings.reportTimeMS, 50);
    const DetectionParams defaults = DetectionParams::Defaults();
    EXPECT_EQ(std::memcmp(&settings.params, &defaults, sizeof defaults), 0);

    start.file.SaveSettings(settings);
    const std::vector<std::string> expected = {
        "BaudRate", "nMotionlessRangeMin", "nMotionlessRangeMax", "nMotionRangeMin", "nMotionRangeMax",
        "nOffTime", "fMotionNearEndCoef", "fMotionFarEndCoef", "fMotionlessNearEndCoef",
        "fMotionlessFarEndCoef", "nMotionIIR", "nMotionlessIIR", "nMotionWindowRange",
        "nMotionlessWindowRange", "fKalman1", "fKalman2", "fKalman3", "fKalman4", "nDistanceCalibration",
        "ReportTimeMS"};
    EXPECT_EQ(AttributeNames(path), expected);
    const std::string text = ReadWholeFile(path);
    EXPECT_NE(text.find("fKalman3=\"0.850000\""), std::string::npos);
    EXPECT_NE(text.find("fMotionNearEndCoef=\"40.000000\""), std::string::npos);
    EXPECT_EQ(text.find("Language"), std::string::npos);
}

TEST_F(SettingsFileTest, AnEmptyFileIsRepairedLikeAMissingOne)
{
    WriteWholeFile(path, "");
    Start start(path);
    EXPECT_EQ(ReadWholeFile(path), kEmptyAppConfigFile);
    EXPECT_TRUE(start.file.GetBackupPath().empty());
}

TEST_F(SettingsFileTest, AFileWithAppConfigIsNotRewrittenAtStart)
{
    const std::string text = "<AppConfig  Language='ENG'/>";
    WriteWholeFile(path, text);
    Start start(path);
    EXPECT_EQ(ReadWholeFile(path), text);
}

TEST_F(SettingsFileTest, SavedValuesComeBackAtTheNextStart)
{
    ToolSettings saved;
    saved.baudRate = 115200;
    saved.reportTimeMS = 100;
    saved.params.RestoreDefaults();
    saved.params.nMotionRangeMax = 40000;
    saved.params.nDistanceCalibration = -12;
    saved.params.fKalman3 = 0.85f;
    saved.params.fMotionlessFarEndCoef = 123456792.0f;
    {
        Start first(path);
        first.file.SaveSettings(saved);
    }
    EXPECT_NE(ReadWholeFile(path).find("nDistanceCalibration=\"-12\""), std::string::npos);
    Start second(path);
    ToolSettings loaded;
    second.file.LoadSettings(loaded);
    EXPECT_EQ(loaded.baudRate, 115200);
    EXPECT_EQ(loaded.reportTimeMS, 100);
    EXPECT_EQ(std::memcmp(&loaded.params, &saved.params, sizeof(DetectionParams)), 0);
}

// A later feature's setting is an extra attribute that exists only while it differs
// from its default: a file never touched by it keeps its twenty, and each switch is
// written and read on its own.
TEST_F(SettingsFileTest, ExtraSwitchesAreWrittenOnlyWhileTheyAreOn)
{
    ToolSettings settings;
    settings.params.RestoreDefaults();
    const std::pair<bool, bool> steps[] = {{false, false}, {true, false}, {false, true}, {true, true}, {false, false}};
    for (const auto& [reconnect, statistics] : steps) {
        SCOPED_TRACE(testing::Message() << reconnect << statistics);
        settings.autoReconnect = reconnect;
        settings.showStatistics = statistics;
        {
            Start start(path);
            start.file.SaveSettings(settings);
        }
        const std::vector<std::string> names = AttributeNames(path);
        EXPECT_EQ(names.size(), 20u + reconnect + statistics);
        EXPECT_EQ(std::count(names.begin(), names.end(), "AutoReconnect"), reconnect ? 1 : 0);
        EXPECT_EQ(std::count(names.begin(), names.end(), "ShowStatistics"), statistics ? 1 : 0);
        Start again(path);
        ToolSettings loaded;
        again.file.LoadSettings(loaded);
        EXPECT_EQ(loaded.autoReconnect, reconnect);
        EXPECT_EQ(loaded.showStatistics, statistics);
    }
}

TEST_F(SettingsFileTest, NamesInOtherLetterCasesAreReadUpdatedAndKeepTheirCase)
{
    WriteWholeFile(path, "<appconfig baudrate=\"9600\" NOFFTIME=\"33\" Language=\"eng\"/>");
    Start start(path);
    ToolSettings settings = LoadedWithDefaults(start);
    EXPECT_EQ(settings.baudRate, 9600);
    EXPECT_EQ(settings.params.nOffTime, 33);

    settings.baudRate = 19200;
    start.file.SaveSettings(settings);
    const std::vector<std::string> names = AttributeNames(path);
    ASSERT_EQ(names.size(), 21u) << "two renamed attributes updated, eighteen appended, Language kept";
    EXPECT_EQ(names[0], "baudrate");
    EXPECT_EQ(names[1], "NOFFTIME");
    EXPECT_EQ(names[2], "Language");
    const std::string text = ReadWholeFile(path);
    EXPECT_NE(text.find("<appconfig baudrate=\"19200\" NOFFTIME=\"33\" Language=\"eng\""), std::string::npos);
}

TEST_F(SettingsFileTest, OfTwoAttributesDifferingInCaseOnlyTheFirstIsUsed)
{
    WriteWholeFile(path, "<AppConfig nOffTime=\"5\" NOFFTIME=\"7\"/>");
    Start start(path);
    ToolSettings settings = LoadedWithDefaults(start);
    EXPECT_EQ(settings.params.nOffTime, 5);
    settings.params.nOffTime = 9;
    start.file.SaveSettings(settings);
    EXPECT_NE(ReadWholeFile(path).find("nOffTime=\"9\" NOFFTIME=\"7\""), std::string::npos);
}

struct KeptValueCase {
    const char* label;
    const char* attributes;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const KeptValueCase& c, std::ostream* out)
{
    *out << c.label;
}

class SettingsFileKeepsValue : public testing::TestWithParam<KeptValueCase> {
protected:
    ScratchFolder folder;
};

TEST_P(SettingsFileKeepsValue, WhenTheAttributeGivesNoNumber)
{
    const std::string path = folder.File("appConfig.xml");
    WriteWholeFile(path, std::string("<AppConfig ") + GetParam().attributes + " nMotionIIR=\"3\"/>");
    Start start(path);
    ToolSettings settings = LoadedWithDefaults(start);
    EXPECT_EQ(settings.params.nOffTime, 20);
    EXPECT_EQ(settings.reportTimeMS, 50);
    EXPECT_EQ(settings.params.nMotionIIR, 3) << "one bad attribute does not stop the others";
}

INSTANTIATE_TEST_SUITE_P(
    Attributes, SettingsFileKeepsValue,
    testing::Values(KeptValueCase{"missing", ""},
                    KeptValueCase{"empty", "nOffTime=\"\" ReportTimeMS=\"\""},
                    KeptValueCase{"notANumber", "nOffTime=\"abc\" ReportTimeMS=\"fifty\""},
                    KeptValueCase{"trailingJunk", "nOffTime=\"12x\" ReportTimeMS=\"5 0\""}),
    [](const testing::TestParamInfo<KeptValueCase>& info) { return std::string(info.param.label); });

TEST_F(SettingsFileTest, ANestedAppConfigIsNotSeenAndATopLevelOneIsAppended)
{
    WriteWholeFile(path, "<Root><AppConfig BaudRate=\"9600\"/></Root>");
    Start start(path);
    ToolSettings settings = LoadedWithDefaults(start);
    EXPECT_EQ(settings.baudRate, 256000);
    start.file.SaveSettings(settings);
    const std::string text = ReadWholeFile(path);
    EXPECT_NE(text.find("<Root>\n\t<AppConfig BaudRate=\"9600\" />\n</Root>\n<AppConfig BaudRate=\"256000\""),
              std::string::npos)
        << text;
}

TEST_F(SettingsFileTest, UnknownContentSurvivesASave)
{
    const std::string unknown =
        "<Window x=\"10\" y=\"20\">\n\t\t<Note>hand-written &amp; kept</Note>\n\t</Window>";
    WriteWholeFile(path, "<?xml version=\"1.0\"?>\n<AppConfig Language=\"ENG\" Custom=\"v\">\n\t" + unknown +
                             "\n</AppConfig>\n<Other flag=\"1\" />\n");
    Start start(path);
    ToolSettings settings = LoadedWithDefaults(start);
    start.file.SaveSettings(settings);
    const std::string text = ReadWholeFile(path);
    EXPECT_NE(text.find("<AppConfig Language=\"ENG\" Custom=\"v\" BaudRate=\"256000\""), std::string::npos);
    EXPECT_NE(text.find(unknown), std::string::npos) << text;
    EXPECT_NE(text.find("<Other flag=\"1\" />"), std::string::npos);
}

TEST_F(SettingsFileTest, AMalformedFileIsKeptBesideItBeforeItsFirstRewrite)
{
    const std::string broken = "<AppConfig BaudRate=\"9600\"/>\n<Notes>half written";
    WriteWholeFile(path, broken);
    Start start(path);
    EXPECT_EQ(ReadWholeFile(path), broken) << "AppConfig was found: nothing is written at start";
    ToolSettings settings = LoadedWithDefaults(start);
    EXPECT_EQ(settings.baudRate, 9600);
    start.file.SaveSettings(settings);
    EXPECT_EQ(start.file.GetBackupPath(), path + ".bad");
    EXPECT_EQ(ReadWholeFile(path + ".bad"), broken);
    EXPECT_NE(ReadWholeFile(path).find("BaudRate=\"9600\""), std::string::npos);

    // Later saves of the same run, and a clean next start, make no more copies.
    start.file.SaveSettings(settings);
    Start clean(path);
    clean.file.SaveSettings(settings);
    EXPECT_FALSE(std::filesystem::exists(path + ".bad_2"));
}

TEST_F(SettingsFileTest, AMalformedFileWithoutAppConfigIsKeptBeforeTheStartUpRepair)
{
    const std::string earlier = "an earlier copy";
    WriteWholeFile(path + ".bad", earlier);
    const std::string broken = "<Settings><Value>1</Value";
    WriteWholeFile(path, broken);
    Start start(path);
    EXPECT_EQ(ReadWholeFile(path + ".bad"), earlier) << "an earlier copy is never overwritten";
    EXPECT_EQ(ReadWholeFile(path + ".bad_2"), broken);
    EXPECT_NE(ReadWholeFile(path).find("<AppConfig />"), std::string::npos);
}

TEST_F(SettingsFileTest, ASaveIntoAReadOnlyFolderIsSilentAndTheNextSaveTriesAgain)
{
    namespace fs = std::filesystem;
    const std::string old = "<AppConfig BaudRate=\"9600\"/>";
    WriteWholeFile(path, old);
    // The child runs without root (which ignores folder modes) and owns the folder and
    // the file, so that it can take the write permission away and give it back itself.
    if (geteuid() == 0) {
        ASSERT_EQ(chown(folder.Path().c_str(), 65534, 65534), 0);
        ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
    }
    const int result = RunInChild([&] {
        if (!DropRootInChild())
            return 2;
        Start start(path);
        ToolSettings settings = LoadedWithDefaults(start);
        settings.baudRate = 19200;
        fs::permissions(folder.Path(), fs::perms::owner_read | fs::perms::owner_exec);
        start.file.SaveSettings(settings);
        if (ReadWholeFile(path) != old)
            return 3;
        fs::permissions(folder.Path(), fs::perms::owner_all);
        start.file.SaveSettings(settings);
        return ReadWholeFile(path).find("BaudRate=\"19200\"") != std::string::npos ? 0 : 4;
    });
    EXPECT_EQ(result, 0) << "2: could not drop root, 3: old file changed, 4: retry did not save";
}

// A settings path that is not a regular file is neither waited on at start-up (a FIFO
// would block the read for ever) nor replaced by a save (a rename would swap the FIFO
// or the link for a regular file); the values stay in memory.
TEST_F(SettingsFileTest, AFifoOrALinkInPlaceOfTheFileIsNeitherReadNorReplaced)
{
    namespace fs = std::filesystem;
    const std::string elsewhere = folder.File("elsewhere.xml");
    WriteWholeFile(elsewhere, "<AppConfig BaudRate=\"9600\"/>");
    const std::string link = folder.File("linked.xml");
    fs::create_symlink(elsewhere, link);
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    for (const std::string& target : {path, link}) {
        SCOPED_TRACE(target);
        const fs::file_type kind = fs::symlink_status(target).type();
        Start start(target);
        ToolSettings settings = LoadedWithDefaults(start);
        settings.baudRate = 19200;
        start.file.SaveSettings(settings);
        EXPECT_EQ(fs::symlink_status(target).type(), kind);
    }
    EXPECT_EQ(ReadWholeFile(elsewhere), "<AppConfig BaudRate=\"9600\"/>") << "not written through the link";
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), {}), 3) << "nothing left beside them";
}

}  // namespace
