#include <climits>
#include <clocale>
#include <cstring>
#include <string>
#include <ostream>
#include <gtest/gtest.h>
#include "XMLParser.h"

namespace {

void Load(XMLParser& parser, const std::string& text)
{
    parser.LoadFromBuffer(text.data(), std::int64_t(text.size()));
}

TEST(XMLNode, NonAsciiLettersMustMatchExactly)
{
    XMLParser parser;
    Load(parser, "<R \xC3\xA9t\xC3\xA9=\"x\"/>");  // été
    XMLNode root = parser.GetRoot().FindChild("r");
    EXPECT_STREQ(root.GetAttribute("\xC3\xA9T\xC3\xA9"), "x");      // only the T folds
    EXPECT_EQ(root.GetAttribute("\xC3\x89T\xC3\x89"), nullptr);     // ÉTÉ is another name
}

TEST(XMLNode, SetAttributeAppendsOnlyOnElements)
{
    XMLParser parser;
    XMLNode root = parser.GetRoot();
    EXPECT_TRUE(root.SetAttribute("BaudRate", std::int64_t(1)));  // the document node takes none
    XMLNode empty;
    EXPECT_TRUE(empty.SetAttribute("BaudRate", 1.0f));
    EXPECT_TRUE(empty.AppendChild("AppConfig").IsEmpty());
    XMLNode appConfig = root.AppendChild("AppConfig");
    ASSERT_FALSE(appConfig.IsEmpty());
    appConfig.SetAttribute("BaudRate", std::int32_t(256000));
    appConfig.SetAttribute("fKalman3", 0.85f);
    EXPECT_EQ(parser.SaveToString(),
              "<?xml version=\"1.0\"?>\n<AppConfig BaudRate=\"256000\" fKalman3=\"0.850000\" />\n");
}

struct FormatCase {
    const char* label;
    bool isFloat;
    std::int64_t integer;
    float real;
    const char* text;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FormatCase& c, std::ostream* out)
{
    *out << c.label;
}

class XMLNodeFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(XMLNodeFormat, WritesTheWholeText)
{
    const FormatCase& c = GetParam();
    XMLParser parser;
    XMLNode element = parser.GetRoot().AppendChild("E");
    if (c.isFloat)
        element.SetAttribute("v", c.real);
    else
        element.SetAttribute("v", c.integer);
    EXPECT_STREQ(element.GetAttribute("v"), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, XMLNodeFormat,
    testing::Values(FormatCase{"negative", false, -12, 0, "-12"},
                    FormatCase{"int32Min", false, INT32_MIN, 0, "-2147483648"},
                    FormatCase{"int64Max", false, INT64_MAX, 0, "9223372036854775807"},
                    FormatCase{"kalman3", true, 0, 0.85f, "0.850000"},
                    FormatCase{"kalman4", true, 0, 0.15f, "0.150000"},
                    FormatCase{"forty", true, 0, 40.0f, "40.000000"},
                    FormatCase{"negativeReal", true, 0, -12.5f, "-12.500000"},
                    // 16 characters and more: a 16-byte buffer used to cut these.
                    FormatCase{"nineDigits", true, 0, 123456792.0f, "123456792.000000"},
                    FormatCase{"negativeEightDigits", true, 0, -12345678.0f, "-12345678.000000"},
                    FormatCase{"largest", true, 0, -3.40282346639e38f,
                               "-340282346638528859811704183484516925440.000000"}),
    [](const testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.label); });

TEST(XMLNode, RealsKeepTheirPointUnderACommaLocale)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    XMLParser parser;
    XMLNode element = parser.GetRoot().AppendChild("E");
    element.SetAttribute("v", 0.85f);
    const std::string text = element.GetAttribute("v");
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(text, "0.850000");
}

}  // namespace
