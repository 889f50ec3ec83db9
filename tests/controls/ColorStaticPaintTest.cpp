#include "ColorStatic.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPointer>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "GdiplusApi.h"
#include "InkProbe.h"
#include "QtPrinters.h"
#include "SysColors.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

// A control of the given size at 96 logical dpi, as the main window's controls are.
struct Control {
    CColorStatic widget;
    explicit Control(int width, int height)
    {
        widget.SetLogicalDpi(96);
        widget.resize(width, height);
    }
};

struct FontHeightCase {
    int points;
    int dpi;
    int expectedPixels;
};

class FontHeightTest : public ::testing::TestWithParam<FontHeightCase> {};

TEST_P(FontHeightTest, ConvertsPointsWithTheLogicalDpi)
{
    const FontHeightCase& c = GetParam();
    CColorStatic control;
    control.SetLogicalDpi(c.dpi);
    control.SetFontHeight(c.points);
    EXPECT_EQ(control.font().pixelSize(), c.expectedPixels);
    ASSERT_TRUE(control.GetOwnFont().has_value());
    EXPECT_EQ(control.GetOwnFont()->families().value(0), QStringLiteral("宋体"));
    EXPECT_EQ(control.GetOwnFont()->weight(), QFont::Weight(1));
}

INSTANTIATE_TEST_SUITE_P(Dpi, FontHeightTest,
                         ::testing::Values(FontHeightCase{40, 96, 53}, FontHeightCase{30, 96, 40},
                                           FontHeightCase{9, 96, 12},
                                           FontHeightCase{40, 120, 67},  // 66.67 rounds up
                                           FontHeightCase{-30, 96, 40},   // a cell height: same size here
                                           FontHeightCase{INT_MAX, 96, 1},  // overflow: MulDiv's -1
                                           FontHeightCase{40000, 96, 4096}));  // capped

TEST(ColorStatic, ZeroPointsAndTheScreenDpiGiveSensibleFonts)
{
    CColorStatic control;
    control.SetFontHeight(40);
    EXPECT_EQ(control.font().pixelSize(), (40 * control.logicalDpiY() + 36) / 72);
    control.SetFontHeight(0);
    EXPECT_TRUE(control.font().pixelSize() > 0 || control.font().pointSizeF() > 0);
}

// The distance display: "460" right-aligned, one line vertically centred.
TEST(ColorStatic, StyledDistanceIsRightAlignedAndCentredVertically)
{
    Control c(240, 100);
    c.widget.SetStyle(kWhite, u"460", 40, 2);
    EXPECT_EQ(c.widget.text(), QStringLiteral("460"));
    const QImage image = Rendered(c.widget);
    const QRect ink = InkBounds(image, Qt::white);
    ASSERT_FALSE(ink.isNull());

    const QFontMetricsF metrics(c.widget.font());
    const double lineHeight = metrics.height() + metrics.leading();
    const double top = (100 - lineHeight) / 2;  // g = (H - h) / 2
    EXPECT_NEAR(ink.bottom() + 1, top + metrics.ascent(), 2.0);  // digits stand on the baseline
    EXPECT_GE(ink.top(), top);
    EXPECT_GE(ink.right(), 240 - 8);
    EXPECT_GT(ink.left(), 240 - metrics.horizontalAdvance(QStringLiteral("460")) - 4);
    // The ink is the text colour, black.
    int darkest = 255;
    for (int y = ink.top(); y <= ink.bottom(); ++y)
        for (int x = ink.left(); x <= ink.right(); ++x)
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
    EXPECT_LT(darkest, 40);
}

TEST(ColorStatic, TwoLinesAreSpreadEvenly)
{
    Control c(160, 100);
    c.widget.SetStyle(kWhite, u"88\n88", 20, 1);
    QFont font = c.widget.font();
    font.setPixelSize(26);  // about 30 pixels a line
    c.widget.setFont(font);
    const QImage image = Rendered(c.widget);

    const QFontMetricsF metrics(font);
    const double h = metrics.height() + metrics.leading();
    const double g = (100 - 2 * h) / 3;
    const QRect upper = InkBounds(image, Qt::white, QRect(0, 0, 160, 50));
    const QRect lower = InkBounds(image, Qt::white, QRect(0, 50, 160, 50));
    ASSERT_FALSE(upper.isNull());
    ASSERT_FALSE(lower.isNull());
    EXPECT_NEAR(upper.bottom() + 1, g + metrics.ascent(), 2.0);
    EXPECT_NEAR(lower.bottom() + 1, 2 * g + h + metrics.ascent(), 2.0);
    // Centred horizontally.
    EXPECT_NEAR((upper.left() + upper.right() + 1) / 2.0, 80, 3.0);
}

// Never styled: one block, centred both ways, only whole lines laid out.
TEST(ColorStatic, UnstyledTextIsOneCentredBlockOfWholeLines)
{
    Control c(200, 50);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(30);  // a line of about 35 pixels: the second of two does not fit
    c.widget.setFont(font);
    c.widget.setText(QStringLiteral("AB\nCD"));
    const QColor background = CSysColors::ToOpaqueColor(c.widget.GetBackColor());
    const QImage image = Rendered(c.widget);
    EXPECT_EQ(c.widget.GetLineSpacing(), -1);

    const QFontMetricsF metrics(font);
    const double top = (50 - (metrics.height() + metrics.leading())) / 2;
    const QRect ink = InkBounds(image, background);
    ASSERT_FALSE(ink.isNull());
    EXPECT_NEAR(ink.bottom() + 1, top + metrics.ascent(), 2.0);
    EXPECT_NEAR((ink.left() + ink.right() + 1) / 2.0, 100, 3.0);
    // Only "AB": its width, not that of two stacked lines' worth of glyphs below it.
    EXPECT_LT(ink.height(), metrics.height());
    EXPECT_NEAR(ink.width(), metrics.boundingRect(QStringLiteral("AB")).width(), 4.0);
}

TEST(ColorStatic, BackgroundColourFillsAControlWithoutPicture)
{
    Control c(50, 30);
    c.widget.SetStyle(kMagenta, u"", 40, 2);
    const QImage image = Rendered(c.widget);
    EXPECT_EQ(CountColour(image, QColor(255, 0, 255)), 50 * 30);
}

// Owns a 2 x 2 ARGB bitmap: red, green / blue, white.
struct QuadBitmap {
    std::vector<std::uint32_t> pixels{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
    Gdiplus::Bitmap* bitmap =
        Gdiplus_LoadBitmapFromImageBits(pixels.data(), 2, 2, 8, PixelFormat32bppARGB);
    ~QuadBitmap() { Gdiplus_DeleteBitmap(bitmap); }
};

TEST(ColorStatic, PictureHidesTheBackgroundAndIsStretched)
{
    Control c(100, 60);
    c.widget.SetStyle(kMagenta, u"", 40, 2);
    {
        QuadBitmap quad;
        ASSERT_NE(quad.bitmap, nullptr);
        c.widget.SetBitmap(quad.bitmap);
        // The caller's bitmap (and its pixel memory) goes away; the control keeps a copy.
        EXPECT_NE(c.widget.GetImage(), quad.bitmap);
    }
    const QImage image = Rendered(c.widget);
    EXPECT_EQ(CountColour(image, QColor(255, 0, 255)), 0);
    EXPECT_EQ(QColor(image.pixel(2, 2)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(image.pixel(97, 2)), QColor(0, 255, 0));
    EXPECT_EQ(QColor(image.pixel(2, 57)), QColor(0, 0, 255));
    EXPECT_EQ(QColor(image.pixel(97, 57)), QColor(255, 255, 255));

    // No picture again: the background colour everywhere.
    c.widget.SetBitmap(nullptr);
    EXPECT_EQ(c.widget.GetImage(), nullptr);
    EXPECT_EQ(CountColour(Rendered(c.widget), QColor(255, 0, 255)), 100 * 60);
}

TEST(ColorStatic, TextIsDrawnOverThePicture)
{
    Control c(120, 80);
    c.widget.SetStyle(kMagenta, u"8", 40, 1);
    std::vector<std::uint32_t> white(4, 0xFFFFFFFFu);
    Gdiplus::Bitmap* bitmap = Gdiplus_LoadBitmapFromImageBits(white.data(), 2, 2, 8, PixelFormat32bppARGB);
    c.widget.SetBitmap(bitmap);
    Gdiplus_DeleteBitmap(bitmap);
    const QImage image = Rendered(c.widget);
    const QRect ink = InkBounds(image, Qt::white);
    ASSERT_FALSE(ink.isNull());
    EXPECT_NEAR((ink.left() + ink.right() + 1) / 2.0, 60, 3.0);
    EXPECT_EQ(CountColour(image, QColor(255, 0, 255)), 0);
}

TEST(ColorStatic, SetStyleMakesTheTextBlackAndResetsTheLayout)
{
    Control c(160, 80);
    c.widget.SetTextColor(RGB(255, 0, 0));
    c.widget.SetLineSpacing(-1);
    c.widget.SetTextRect(RECT{0, 0, 10, 10});
    c.widget.setText(QStringLiteral("kept"));
    c.widget.SetStyle(kWhite, nullptr, 30, 0);
    EXPECT_EQ(c.widget.GetTextColor(), RGB(0, 0, 0));
    EXPECT_EQ(c.widget.GetLineSpacing(), 0);
    EXPECT_EQ(c.widget.text(), QStringLiteral("kept"));  // null text keeps the window text
    EXPECT_EQ(c.widget.GetStringFormat().alignment, 0);
    EXPECT_EQ(c.widget.GetStringFormat().flags, 0);

    const QImage image = Rendered(c.widget);
    const QRect ink = InkBounds(image, Qt::white);
    ASSERT_FALSE(ink.isNull());
    EXPECT_LT(ink.left(), 6);  // near alignment, and the text rectangle is gone
    int reddish = 0;
    for (int y = ink.top(); y <= ink.bottom(); ++y)
        for (int x = ink.left(); x <= ink.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            reddish += qRed(p) - qGreen(p) > 40;
        }
    EXPECT_EQ(reddish, 0);

    // An alignment out of range keeps the one in force.
    c.widget.SetStyle(kWhite, nullptr, 30, 7);
    EXPECT_EQ(c.widget.GetStringFormat().alignment, 0);
}

// Text the control cannot show must still paint cleanly and quickly.
TEST(ColorStatic, OddTextAndSizesPaintWithoutTrouble)
{
    const std::vector<QString> texts{QString(),
                                     QStringLiteral("\n\n\n"),
                                     QStringLiteral("a\r\nb\rc\n"),
                                     QString(QChar(0)) + QStringLiteral("x"),
                                     QString(5000, QLatin1Char('W')),
                                     QStringLiteral("厘米\n运动目标")};
    for (const int spacing : {-1, 0, 7}) {
        for (const QSize size : {QSize(0, 0), QSize(1, 1), QSize(3, 200), QSize(300, 2)}) {
            for (const QString& text : texts) {
                CColorStatic control;
                control.resize(size);
                control.SetStyle(kWhite, nullptr, 40, 1);
                control.SetLineSpacing(spacing);
                control.setText(text);
                control.grab();
            }
        }
    }
    // All-empty lines draw no text at all.
    Control c(100, 100);
    c.widget.SetStyle(kWhite, u"\n\n", 30, 1);
    EXPECT_EQ(CountColour(Rendered(c.widget), Qt::white), 100 * 100);
}

TEST(ColorStatic, TakesThePlaceOfATemplateLabel)
{
    QWidget dialog;
    auto* label = new QLabel(QStringLiteral("cm"), &dialog);
    label->setObjectName(QStringLiteral("1107"));
    label->setGeometry(10, 20, 74, 55);
    QPointer<QLabel> placeholder(label);
    auto* control = new CColorStatic;
    ASSERT_TRUE(control->SubclassWidget(label));
    EXPECT_TRUE(placeholder.isNull());
    EXPECT_EQ(control->parentWidget(), &dialog);
    EXPECT_EQ(control->geometry(), QRect(10, 20, 74, 55));
    EXPECT_EQ(control->text(), QStringLiteral("cm"));
    EXPECT_EQ(control->objectName(), QStringLiteral("1107"));
    EXPECT_FALSE(control->SubclassWidget(nullptr));
    EXPECT_FALSE(control->SubclassWidget(control));
}

}  // namespace
