#include "WndResizeTool.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

#include "IWndResizeFilter.h"
#include "QtPrinters.h"

namespace {

// A 200 x 100 window with a labelled child, a group and a control inside the group.
struct Layout {
    std::unique_ptr<QWidget> parent = std::make_unique<QWidget>();
    QWidget* label = nullptr;
    QWidget* group = nullptr;
    QWidget* inGroup = nullptr;

    Layout()
    {
        parent->resize(200, 100);
        label = new QWidget(parent.get());
        label->setGeometry(11, 20, 40, 30);
        QFont font(QStringLiteral("WenQuanYi Micro Hei"));
        font.setPixelSize(13);
        label->setFont(font);
        group = new QWidget(parent.get());
        group->setGeometry(100, 10, 80, 60);
        QFont wide(QStringLiteral("WenQuanYi Micro Hei"));
        wide.setPixelSize(20);
        wide.setStretch(150);
        group->setFont(wide);
        inGroup = new QWidget(group);
        inGroup->setGeometry(5, 7, 30, 20);
    }
};

struct ResizeCase {
    const char* name;
    int cx, cy;
    int keepRatio;
    double ratioX, ratioY;
    QRect label, group, inGroup;
    int labelPixels;  // label font; the group font (20 px, stretch 150) scales alike
};

void PrintTo(const ResizeCase& c, std::ostream* os)
{
    *os << c.name << " " << c.cx << " x " << c.cy;
}

class ResizeLayoutTest : public ::testing::TestWithParam<ResizeCase> {};

TEST_P(ResizeLayoutTest, PlacesEveryChildFromTheRecords)
{
    const ResizeCase& c = GetParam();
    Layout layout;
    CWndResizeTool tool;
    tool.Init(layout.parent.get());
    tool.SetKeepRatio(c.keepRatio);
    double sx = 0, sy = 0;
    ASSERT_EQ(tool.Resize(c.cx, c.cy, &sx, &sy), 1);
    EXPECT_DOUBLE_EQ(sx, c.ratioX);
    EXPECT_DOUBLE_EQ(sy, c.ratioY);
    EXPECT_EQ(layout.label->geometry(), c.label);
    EXPECT_EQ(layout.group->geometry(), c.group);
    EXPECT_EQ(layout.inGroup->geometry(), c.inGroup);
    EXPECT_EQ(layout.label->font().pixelSize(), c.labelPixels);
    const int groupPixels = c.labelPixels * 20 / 13;
    EXPECT_NEAR(layout.group->font().pixelSize(), groupPixels, 1);
    EXPECT_EQ(layout.group->font().stretch(), 150);
    EXPECT_EQ(layout.label->font().family(), QStringLiteral("WenQuanYi Micro Hei"));
    EXPECT_TRUE(layout.parent->updatesEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Ratios, ResizeLayoutTest,
    ::testing::Values(
        ResizeCase{"DoubleBoth", 400, 200, 0, 2.0, 2.0,
                   {22, 40, 80, 60}, {200, 20, 160, 120}, {10, 14, 60, 40}, 26},
        // Only the width doubles: children stretch sideways, fonts keep their size.
        ResizeCase{"DoubleWidthOnly", 400, 100, 0, 2.0, 1.0,
                   {22, 20, 80, 30}, {200, 10, 160, 60}, {10, 7, 60, 20}, 13},
        // Truncation, never rounding: 11 -> 5, 3.5 -> 3, 17.5 - 2.5 -> 17 - 2.
        ResizeCase{"HalveBoth", 100, 50, 0, 0.5, 0.5,
                   {5, 10, 20, 15}, {50, 5, 40, 30}, {2, 3, 15, 10}, 6},
        ResizeCase{"OneAndAHalf", 300, 150, 0, 1.5, 1.5,
                   {16, 30, 60, 45}, {150, 15, 120, 90}, {7, 10, 45, 30}, 19},
        ResizeCase{"KeepRatioWiderOnly", 400, 100, 1, 1.0, 1.0,
                   {11, 20, 40, 30}, {100, 10, 80, 60}, {5, 7, 30, 20}, 13},
        ResizeCase{"KeepRatioTaller", 300, 400, 1, 1.5, 1.5,
                   {16, 30, 60, 45}, {150, 15, 120, 90}, {7, 10, 45, 30}, 19}),
    [](const ::testing::TestParamInfo<ResizeCase>& info) { return std::string(info.param.name); });

TEST(WndResizeTool, BeforeInitAnswersZeroAndOutputsOne)
{
    Layout layout;
    CWndResizeTool tool;
    double sx = 7, sy = 7;
    EXPECT_EQ(tool.Resize(400, 200, &sx, &sy), 0);
    EXPECT_EQ(sx, 1.0);
    EXPECT_EQ(sy, 1.0);
    EXPECT_EQ(layout.label->geometry(), QRect(11, 20, 40, 30));
    EXPECT_EQ(tool.Resize(400, 200), 0);  // the outputs are optional
}

TEST(WndResizeTool, SizesThatGiveNoLayoutChangeNothing)
{
    Layout layout;
    CWndResizeTool tool;
    tool.Init(layout.parent.get());
    double sx = 7, sy = 7;
    EXPECT_EQ(tool.Resize(-1, 100, &sx, &sy), 0);
    EXPECT_EQ(tool.Resize(100, -5, &sx, &sy), 0);
    EXPECT_EQ(sx, 1.0);
    EXPECT_EQ(sy, 1.0);
    EXPECT_EQ(layout.label->geometry(), QRect(11, 20, 40, 30));

    // A window recorded with no area has no ratio to scale by.
    QWidget empty;
    empty.resize(0, 0);
    QWidget child(&empty);
    child.setGeometry(1, 2, 3, 4);
    tool.Init(&empty);
    EXPECT_EQ(tool.Resize(400, 200, &sx, &sy), 0);
    EXPECT_EQ(child.geometry(), QRect(1, 2, 3, 4));

    tool.Init(nullptr);
    EXPECT_FALSE(tool.IsEnabled());
    EXPECT_EQ(tool.Resize(400, 200), 0);
}

TEST(WndResizeTool, ZeroSizeCollapsesChildrenAndFallsBackToDefaultFont)
{
    Layout layout;
    CWndResizeTool tool;
    tool.Init(layout.parent.get());
    ASSERT_EQ(tool.Resize(0, 0), 1);
    EXPECT_EQ(layout.label->geometry(), QRect(0, 0, 0, 0));
    // 13 x 0 truncates to 0, which asks for the default character height.
    const QFont fallback = QApplication::font();
    if (fallback.pixelSize() > 0)
        EXPECT_EQ(layout.label->font().pixelSize(), fallback.pixelSize());
    else
        EXPECT_DOUBLE_EQ(layout.label->font().pointSizeF(), fallback.pointSizeF());
}

TEST(WndResizeTool, RepeatedResizesDoNotAccumulateRounding)
{
    Layout layout;
    CWndResizeTool tool;
    tool.Init(layout.parent.get());
    for (const QSize size : {QSize(133, 67), QSize(71, 29), QSize(301, 211), QSize(97, 53)})
        ASSERT_EQ(tool.Resize(size.width(), size.height()), 1);
    ASSERT_EQ(tool.Resize(200, 100), 1);
    EXPECT_EQ(layout.label->geometry(), QRect(11, 20, 40, 30));
    EXPECT_EQ(layout.inGroup->geometry(), QRect(5, 7, 30, 20));
    EXPECT_EQ(layout.label->font().pixelSize(), 13);
    EXPECT_EQ(layout.group->font().pixelSize(), 20);
}

TEST(WndResizeTool, SkipsAChildDestroyedAfterInit)
{
    Layout layout;
    CWndResizeTool tool;
    tool.Init(layout.parent.get());
    delete layout.label;
    ASSERT_EQ(tool.Resize(400, 200), 1);
    EXPECT_EQ(layout.group->geometry(), QRect(200, 20, 160, 120));
    // A destroyed group takes its children with it; the rest still lay out.
    delete layout.group;
    EXPECT_EQ(tool.Resize(100, 50), 1);
}

TEST(WndResizeTool, PointSizedFontsScaleInPixelsAtTheWidgetsDpi)
{
    QWidget parent;
    parent.resize(100, 100);
    QWidget child(&parent);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPointSize(9);
    child.setFont(font);
    CWndResizeTool tool;
    tool.Init(&parent);
    ASSERT_EQ(tool.Resize(200, 200), 1);
    const int recordedPixels = qRound(9.0 * child.logicalDpiY() / 72.0);
    EXPECT_EQ(child.font().pixelSize(), 2 * recordedPixels);
}

TEST(WndResizeTool, LeavesTopLevelWidgetsAndRecordsInPreOrder)
{
    Layout layout;
    QDialog owned(layout.parent.get());
    owned.setGeometry(300, 300, 50, 50);
    CWndResizeTool tool;
    tool.Init(layout.parent.get());
    EXPECT_EQ(tool.GetRecordCount(), 3);
    ASSERT_EQ(tool.Resize(400, 200), 1);
    EXPECT_EQ(owned.size(), QSize(50, 50));

    // Init replaces the records and switches keep-ratio off again.
    tool.SetKeepRatio(1);
    new QWidget(layout.inGroup);
    layout.parent->resize(400, 200);
    tool.Init(layout.parent.get());
    EXPECT_EQ(tool.GetRecordCount(), 4);
    EXPECT_EQ(tool.GetKeepRatio(), 0);
    // The new records are the current (doubled) layout.
    ASSERT_EQ(tool.Resize(200, 100), 1);
    EXPECT_EQ(layout.label->geometry(), QRect(11, 20, 40, 30));
}

class RefusingFilter : public IWndResizeFilter {
public:
    QWidget* fixed = nullptr;
    QWidget* fontKept = nullptr;
    std::uintptr_t seenUserValue = 0;
    bool CanMoveWindow(QWidget* child, std::uintptr_t userValue) override
    {
        seenUserValue = userValue;
        return child != fixed;
    }
    bool CanScaleFont(QWidget* child, std::uintptr_t) override { return child != fontKept; }
};

TEST(WndResizeTool, FilterKeepsChosenChildrenOrFonts)
{
    Layout layout;
    RefusingFilter filter;
    filter.fixed = layout.label;
    filter.fontKept = layout.group;
    CWndResizeTool tool;
    tool.Init(layout.parent.get());
    tool.SetFilter(&filter, 42);
    ASSERT_EQ(tool.Resize(400, 200), 1);
    EXPECT_EQ(filter.seenUserValue, 42u);
    EXPECT_EQ(layout.label->geometry(), QRect(11, 20, 40, 30));
    EXPECT_EQ(layout.label->font().pixelSize(), 13);
    EXPECT_EQ(layout.group->geometry(), QRect(200, 20, 160, 120));
    EXPECT_EQ(layout.group->font().pixelSize(), 20);
}

TEST(WndResizeTool, LeavesAWindowFrozenByItsOwnerFrozen)
{
    Layout layout;
    CWndResizeTool tool;
    tool.Init(layout.parent.get());
    layout.parent->setUpdatesEnabled(false);
    ASSERT_EQ(tool.Resize(400, 200), 1);
    EXPECT_FALSE(layout.parent->updatesEnabled());
    layout.parent->setUpdatesEnabled(true);
    ASSERT_EQ(tool.Resize(100, 50), 1);
    EXPECT_TRUE(layout.parent->updatesEnabled());
    EXPECT_TRUE(layout.label->updatesEnabled());
}

TEST(WndResizeTool, HugeSizesStayWithinWidgetLimits)
{
    Layout layout;
    CWndResizeTool tool;
    tool.Init(layout.parent.get());
    ASSERT_EQ(tool.Resize(2147483647, 2147483647), 1);
    EXPECT_GE(layout.label->x(), 0);
    EXPECT_GE(layout.label->width(), 0);
    EXPECT_GT(layout.label->font().pixelSize(), 0);
    ASSERT_EQ(tool.Resize(200, 100), 1);
    EXPECT_EQ(layout.label->geometry(), QRect(11, 20, 40, 30));
}

}  // namespace
