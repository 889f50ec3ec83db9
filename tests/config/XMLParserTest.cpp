#include <filesystem>
#include <string>
#include <ostream>
#include <gtest/gtest.h>
#include "ChildProcess.h"
#include "ScratchFolder.h"
#include "XMLParser.h"

namespace {

void Load(XMLParser& parser, const std::string& text)
{
    parser.LoadFromBuffer(text.data(), std::int64_t(text.size()));
}

struct ParseCase {
    const char* label;
    std::string text;
    bool clean;
    bool hasAppConfig;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ParseCase& c, std::ostream* out)
{
    *out << c.label;
}

class XMLParserLoad : public testing::TestWithParam<ParseCase> {};

TEST_P(XMLParserLoad, KeepsWhatParsedAndTellsWhetherItWasClean)
{
    const ParseCase& c = GetParam();
    XMLParser parser;
    Load(parser, "<Old/>");
    Load(parser, c.text);
    EXPECT_EQ(parser.WasLastLoadClean(), c.clean);
    EXPECT_EQ(!parser.GetRoot().FindChild("AppConfig").IsEmpty(), c.hasAppConfig);
    EXPECT_TRUE(parser.GetRoot().FindChild("Old").IsEmpty()) << "the earlier content is replaced";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, XMLParserLoad,
    testing::Values(ParseCase{"wellFormed", "<?xml version=\"1.0\"?><AppConfig a=\"1\"/>", true, true},
                    ParseCase{"blanks", " \r\n\t", true, false},
                    ParseCase{"unclosedAfterAppConfig", "<AppConfig a=\"1\"/><Notes>keep me", false, true},
                    ParseCase{"brokenAttribute", "<AppConfig a=\"1/>", false, true},
                    ParseCase{"binary", std::string("\x00\xFF\x10<", 4), false, false}),
    [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.label); });

TEST(XMLParser, NullBufferEmptiesTheDocument)
{
    XMLParser parser;
    Load(parser, "<AppConfig/>");
    parser.LoadFromBuffer(nullptr, 10);
    EXPECT_TRUE(parser.GetRoot().FindChild("AppConfig").IsEmpty());
    EXPECT_TRUE(parser.WasLastLoadClean());
}

TEST(XMLParser, SaveWritesDefaultFormattingAndReplacesTheFile)
{
    ScratchFolder folder;
    const std::string path = folder.File("appConfig.xml");
    WriteWholeFile(path, std::string(5000, 'x'));
    XMLParser parser;
    Load(parser, "<AppConfig a=\"1\"><Child b=\"2\"/></AppConfig>");
    ASSERT_TRUE(parser.SaveToFile(path.c_str()));
    EXPECT_EQ(ReadWholeFile(path),
              "<?xml version=\"1.0\"?>\n<AppConfig a=\"1\">\n\t<Child b=\"2\" />\n</AppConfig>\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1)
        << "no temporary file is left behind";
}

TEST(XMLParser, SaveThatFailsMidwayLeavesTheOldFileWhole)
{
    ScratchFolder folder;
    const std::string path = folder.File("appConfig.xml");
    const std::string old = "<AppConfig old=\"1\"/>";
    WriteWholeFile(path, old);
    const int result = RunInChild([&] {
        XMLParser parser;
        XMLNode appConfig = parser.GetRoot().AppendChild("AppConfig");
        for (int i = 0; i < 2000; ++i)
            appConfig.AppendChild("Entry").SetAttribute("n", std::int64_t(i));
        // Room for 4 KB: the text (about 40 KB) breaks off partway.
        if (!LimitFileSizeInChild(4096))
            return 2;
        return parser.SaveToFile(path.c_str()) ? 1 : 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadWholeFile(path), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1)
        << "the partial temporary file is removed";
}

TEST(XMLParser, SaveToAMissingFolderFails)
{
    ScratchFolder folder;
    XMLParser parser;
    parser.GetRoot().AppendChild("AppConfig");
    EXPECT_FALSE(parser.SaveToFile(folder.File("missing/appConfig.xml").c_str()));
    EXPECT_FALSE(parser.SaveToFile(""));
    EXPECT_FALSE(parser.SaveToFile(nullptr));
}

}  // namespace
