// Axis labels: values, decimals, folding, fixed texts, boxes and alignment.
#include <gtest/gtest.h>

#include <QStringList>

#include "CWaveCoordinate.h"
#include "WaveLabel.h"

namespace {

QStringList Texts(const CWaveCoordinate& axis)
{
    QStringList texts;
    for (const auto& label : axis.LayoutLabels())
        texts << label.text;
    return texts;
}

QStringList Numbers(int from, int to, int step)
{
    QStringList texts;
    for (int v = from; step > 0 ? v <= to : v >= to; v += step)
        texts << QString::number(v);
    return texts;
}

struct LabelCase {
    const char* name;
    int orientation;
    int count;
    double low;
    double high;
    int decimals;
    double wrapLow;
    double wrapHigh;
    double wrapPeriod;
    QStringList expected;
};

TEST(WaveCoordinateLabels, ValuesDecimalsAndFolding)
{
    const LabelCase cases[] = {
        {"distance axis", CWaveCoordinate::kVertical, 5, 0, 800, -1, 0, 0, -1, {"800", "600", "400", "200", "0"}},
        {"distance axis, 0 decimals", CWaveCoordinate::kVertical, 5, 0, 800, 0, 0, 0, -1,
         {"800", "600", "400", "200", "0"}},
        {"sample axis", CWaveCoordinate::kHorizontal, 22, 0, 63, -1, 0, 63, 63, Numbers(0, 63, 3)},
        {"step 0.5", CWaveCoordinate::kHorizontal, 3, 0, 1, -1, 0, 0, -1, {"0.0", "0.5", "1.0"}},
        {"step 0.05", CWaveCoordinate::kHorizontal, 3, -0.05, 0.05, -1, 0, 0, -1, {"-0.05", "0.00", "0.05"}},
        {"step 0 gives 10 decimals", CWaveCoordinate::kHorizontal, 2, 1, 1, -1, 0, 0, -1,
         {"1.0000000000", "1.0000000000"}},
        {"reversed time axis", CWaveCoordinate::kHorizontal, 4, 15, 0, 0, 15, 0, -1, {"15", "10", "5", "0"}},
        {"folded into 0..63", CWaveCoordinate::kHorizontal, 22, 60, 123, -1, 0, 63, 64,
         {"60", "63", "2", "5", "8", "11", "14", "17", "20", "23", "26", "29", "32", "35", "38", "41", "44", "47",
          "50", "53", "56", "59"}},
        {"negative values fold up", CWaveCoordinate::kHorizontal, 3, -10, 10, -1, 0, 63, 64, {"54", "0", "10"}},
        {"halves round away from zero", CWaveCoordinate::kHorizontal, 3, -2.5, 2.5, 0, 0, 0, -1, {"-3", "0", "3"}},
    };
    for (const LabelCase& c : cases) {
        CWaveCoordinate axis;
        axis.SetOrientation(c.orientation);
        axis.SetLabelCount(c.count);
        axis.SetRange(c.low, c.high);
        axis.SetDecimals(c.decimals);
        axis.SetWrap(c.wrapLow, c.wrapHigh, c.wrapPeriod);
        axis.SetStrip(RECT{0, 0, 600, 600});
        EXPECT_EQ(Texts(axis), c.expected) << c.name;
    }
}

TEST(WaveCoordinateLabels, FixedLabelsReplaceOnlyTheirIndex)
{
    CWaveCoordinate axis;
    axis.SetLabelCount(5);
    axis.SetRange(0, 4);
    axis.SetStrip(RECT{0, 0, 400, 20});
    WaveLabel records[] = {{3, "three"}, {5, "never"}, {-1, "never"}};
    CPtrArrayCtrl list;
    for (WaveLabel& record : records)
        list.AddData(&record);
    axis.SetLabels(&list);
    records[0].text = "changed later";  // the axis keeps its own copies
    EXPECT_EQ(Texts(axis), (QStringList{"0", "1", "2", "three", "4"}));
    axis.SetLabels(nullptr);
    EXPECT_EQ(Texts(axis), (QStringList{"0", "1", "2", "3", "4"}));
}

TEST(WaveCoordinateBoxes, HorizontalBelowThePlot)
{
    CWaveCoordinate axis;
    axis.SetOrientation(CWaveCoordinate::kHorizontal);
    axis.SetSide(CWaveCoordinate::kRightOrBottom);
    axis.SetLabelCount(4);
    axis.SetLabelGap(5);
    axis.SetStrip(RECT{50, 200, 650, 224});
    const auto labels = axis.LayoutLabels();
    ASSERT_EQ(labels.size(), 4u);
    // Cell 200: the ends sit inside the strip, the middle ones centre on their ticks.
    const LONG expected[][2] = {{50, 250}, {150, 350}, {350, 550}, {450, 650}};
    const int along[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignRight};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(labels[i].box.left, expected[i][0]) << i;
        EXPECT_EQ(labels[i].box.right, expected[i][1]) << i;
        EXPECT_EQ(labels[i].box.top, 205) << i;
        EXPECT_EQ(labels[i].box.bottom, 224) << i;
        EXPECT_EQ(labels[i].alignment, along[i] | Qt::AlignTop) << i;
    }
}

TEST(WaveCoordinateBoxes, VerticalBesideThePlot)
{
    struct Case {
        int side;
        RECT strip;
        LONG left;
        LONG right;
        int across;
    };
    const Case cases[] = {
        {CWaveCoordinate::kLeftOrTop, RECT{0, 0, 50, 200}, 0, 48, Qt::AlignRight},
        {CWaveCoordinate::kRightOrBottom, RECT{650, 0, 700, 200}, 652, 700, Qt::AlignLeft},
    };
    for (const Case& c : cases) {
        CWaveCoordinate axis;
        axis.SetOrientation(CWaveCoordinate::kVertical);
        axis.SetSide(c.side);
        axis.SetLabelCount(5);
        axis.SetLabelGap(2);
        axis.SetStrip(c.strip);
        const auto labels = axis.LayoutLabels();
        ASSERT_EQ(labels.size(), 5u);
        const LONG tops[] = {0, 25, 75, 125, 150};
        const LONG bottoms[] = {50, 75, 125, 175, 200};
        const int along[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignVCenter, Qt::AlignVCenter, Qt::AlignBottom};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(labels[i].box.top, tops[i]) << i;
            EXPECT_EQ(labels[i].box.bottom, bottoms[i]) << i;
            EXPECT_EQ(labels[i].box.left, c.left) << i;
            EXPECT_EQ(labels[i].box.right, c.right) << i;
            EXPECT_EQ(labels[i].alignment, along[i] | c.across) << i;
        }
    }
}

TEST(WaveCoordinateBoxes, DegenerateCountsAreSafe)
{
    CWaveCoordinate axis;
    axis.SetStrip(RECT{0, 0, 100, 20});
    for (int count : {0, -4, CWaveCoordinate::kMaxLabels + 1}) {
        axis.SetLabelCount(count);
        EXPECT_TRUE(axis.LayoutLabels().empty()) << count;
    }
    // One label takes the whole strip and shows the low end.
    axis.SetLabelCount(1);
    axis.SetRange(3.0, 9.0);
    const auto single = axis.LayoutLabels();
    ASSERT_EQ(single.size(), 1u);
    EXPECT_EQ(single[0].text, "3");
    EXPECT_EQ(single[0].box.left, 0);
    EXPECT_EQ(single[0].box.right, 100);

    axis.SetLabelCount(3);  // wild decimals and ranges give text, not a giant string
    axis.SetDecimals(1'000'000);
    axis.SetRange(-1e308, 1e308);
    for (const auto& label : axis.LayoutLabels())
        EXPECT_LT(label.text.size(), 400);
}

}  // namespace
