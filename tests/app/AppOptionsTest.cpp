#include <gtest/gtest.h>

#include "AppOptions.h"
#include "ToolFolders.h"

namespace {

TEST(AppOptions, NoOptionsChangeNothing)
{
    const AppOptionsResult result = ParseAppOptions({});
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->portPath.isEmpty());
    EXPECT_FALSE(result->simulate);
    EXPECT_FALSE(result->start);
    EXPECT_FALSE(result->seconds.has_value());
    EXPECT_TRUE(result->screenshotPath.isEmpty());
    EXPECT_FALSE(result->language.has_value());
    EXPECT_FALSE(result->help);
}

TEST(AppOptions, ReadsEveryOption)
{
    const AppOptionsResult result =
        ParseAppOptions({"--port", "/dev/pts/7", "--start", "--seconds", "8", "--screenshot", "out.png", "--lang", "en"});
    ASSERT_TRUE(result) << result.error().toStdString();
    EXPECT_EQ(result->portPath, "/dev/pts/7");
    EXPECT_TRUE(result->start);
    EXPECT_EQ(result->seconds, 8);
    EXPECT_EQ(result->screenshotPath, "out.png");
    EXPECT_EQ(result->language, UiLanguage::English);

    const AppOptionsResult replay = ParseAppOptions({"--replay", "Log/run.dat", "--seconds", "5"});
    ASSERT_TRUE(replay);
    EXPECT_EQ(replay->replayPath, "Log/run.dat");

    const AppOptionsResult other = ParseAppOptions({"--simulate", "--connect", "--lang", "zh", "--seconds", "0", "--help"});
    ASSERT_TRUE(other);
    EXPECT_TRUE(other->simulate);
    EXPECT_TRUE(other->connect);
    EXPECT_FALSE(other->start);
    EXPECT_EQ(other->language, UiLanguage::Chinese);
    EXPECT_EQ(other->seconds, 0);
    EXPECT_TRUE(other->help);
}

TEST(AppOptions, BadArgumentsAreRefusedWithTheReason)
{
    const struct {
        QStringList arguments;
        const char* mentions;
    } cases[] = {
        {{"--port"}, "--port"},
        {{"--port", ""}, "--port"},
        {{"--seconds"}, "--seconds"},
        {{"--seconds", "abc"}, "abc"},
        {{"--seconds", "-1"}, "-1"},
        {{"--seconds", "2.5"}, "2.5"},
        {{"--seconds", "99999999999"}, "99999999999"},
        {{"--screenshot"}, "--screenshot"},
        {{"--lang", "fr"}, "fr"},
        {{"--lang"}, "--lang"},
        {{"--verbose"}, "--verbose"},
        {{"/dev/ttyUSB0"}, "/dev/ttyUSB0"},
        {{"--simulate", "--port", "/dev/pts/3"}, "--simulate"},
        {{"--replay"}, "--replay"},
        {{"--replay", "run.dat", "--start"}, "--start"},
        {{"--connect", "--replay", "run.dat"}, "--connect"},
    };
    for (const auto& c : cases) {
        const AppOptionsResult result = ParseAppOptions(c.arguments);
        EXPECT_FALSE(result) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(result.error().contains(QLatin1String(c.mentions))) << result.error().toStdString();
    }
}

}  // namespace

namespace {

struct FoldersCase {
    const char* name;
    FolderEnvironment environment;
    ToolFolders expected;
};

// Run from a folder of its own the tool keeps everything beside it; installed, the
// user's folders, even for root (who could write beside it).
TEST(ToolFolders, BesideTheProgramUnlessInstalled)
{
    const FoldersCase cases[] = {
        {"build folder", {"/src/build", true, true, false, "", "", "/home/ann"},
         {"/src/build", "/src/build/Log", "/src/build/appConfig.xml", false}},
        {"a writable folder without pictures and no installed data", {"/opt/t", true, false, false, "", "", "/root"},
         {"/opt/t", "/opt/t/Log", "/opt/t/appConfig.xml", false}},
        {"installed, a user", {"/usr/bin", false, false, true, "", "", "/home/ann"},
         {"/usr/bin/../share/tivanepelotool", "/home/ann/.local/share/tivanepelotool/Log",
          "/home/ann/.config/tivanepelotool/appConfig.xml", true}},
        {"installed, root", {"/usr/bin", true, false, true, "", "", "/root"},
         {"/usr/bin/../share/tivanepelotool", "/root/.local/share/tivanepelotool/Log",
          "/root/.config/tivanepelotool/appConfig.xml", true}},
        {"XDG folders", {"/usr/local/bin", false, false, true, "/x/cfg", "/x/data/", "/home/ann"},
         {"/usr/local/bin/../share/tivanepelotool", "/x/data/tivanepelotool/Log",
          "/x/cfg/tivanepelotool/appConfig.xml", true}},
        {"relative XDG folders do not count", {"/usr/bin", false, false, true, "cfg", "data", "/home/ann"},
         {"/usr/bin/../share/tivanepelotool", "/home/ann/.local/share/tivanepelotool/Log",
          "/home/ann/.config/tivanepelotool/appConfig.xml", true}},
    };
    for (const FoldersCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ToolFolders folders = ResolveToolFolders(c.environment);
        EXPECT_EQ(folders.pictureFolder, c.expected.pictureFolder);
        EXPECT_EQ(folders.logFolder, c.expected.logFolder);
        EXPECT_EQ(folders.settingsPath, c.expected.settingsPath);
        EXPECT_EQ(folders.perUser, c.expected.perUser);
    }
}

}  // namespace
