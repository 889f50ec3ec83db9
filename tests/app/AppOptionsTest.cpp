#include <gtest/gtest.h>

#include "AppOptions.h"

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
