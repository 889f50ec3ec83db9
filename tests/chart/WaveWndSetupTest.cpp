// The chart as the main window sets it up: distance over the last 15 seconds.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <cmath>
#include <numeric>
#include <vector>

#include "ChartTestSupport.h"
#include "GdiplusApi.h"
#include "WaveLabel.h"

namespace {

constexpr int kDistanceMax = 800;
constexpr COLORREF kAxisText = 0xE8A200;

// Every call the main window makes, in its order.
void SetUpAsMainWindow(CWaveWnd& chart, double scale, Gdiplus::Bitmap* picture, int historyLength)
{
    chart.SetWaveCount(1);
    chart.SetSmoothCurve(false);
    chart.SetBackColor(0xFFFFFF);
    chart.SetPlotBackground(true, CWaveWnd::PlotPicture, 0xFFFFFFFF, picture);
    chart.SetLineWidth(4);
    chart.SetGrid(false, 1, 0xFF007F40, 0xFFFF0000);
    chart.SetWaveColor(0, 0x0000FF);
    chart.SetSampleType(CWaveBuffer::kInt32);
    chart.SetValueRange(0.0, kDistanceMax);
    chart.SetSampleCount(historyLength);
    chart.SetWholeWindows(false);
    chart.ShowTitle(false);
    chart.SetAxis(CWaveWnd::AxisLeft, true, int(scale * 50));
    chart.SetAxis(CWaveWnd::AxisRight, true, int(scale * 50));
    chart.SetAxis(CWaveWnd::AxisBottom, true, int(scale * 24));
    const int points = int(scale * 10) * 10;
    chart.SetXAxisFont(points, QStringLiteral("宋体"), kAxisText, int(scale * 5), 0);
    chart.SetYAxisFont(points, QStringLiteral("宋体"), kAxisText, int(scale + scale), 0);
    chart.SetXRange(15.0, 0.0);
    std::vector<WaveLabel> records;
    for (int seconds = 15; seconds > 0; seconds -= 5)
        records.push_back(WaveLabel{int(records.size()), QString::asprintf("T0-%d", seconds)});
    records.push_back(WaveLabel{3, QStringLiteral("T0")});
    CPtrArrayCtrl list;
    for (WaveLabel& record : records)
        list.AddData(&record);
    chart.SetXTickCount(4);
    chart.SetXLabels(&list);
    chart.SetYTickCount(5);
    chart.SetYAxisRange(0.0, kDistanceMax);
    chart.SetInteraction(false, false, false, false);
    chart.InitChart();
}

QStringList LabelTexts(const CWaveWnd& chart, int axis)
{
    QStringList texts;
    for (const auto& label : chart.GetAxis(axis).LayoutLabels())
        texts << label.text;
    return texts;
}

// Pixels of area painted in the axis text colour (anti-aliased edges excluded).
int AxisInk(const QImage& frame, QRect area)
{
    int ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ink += (frame.pixel(x, y) & 0xFFFFFF) == 0x00A2E8;
    return ink;
}

// A light field, like the prepared background picture. The chart keeps its own copy.
void SetUpWithPicture(CWaveWnd& chart, double scale)
{
    Gdiplus::Bitmap* picture = Gdiplus_CreateColorBmp(1156, 500, 0xFFF0F8FF);
    ASSERT_NE(picture, nullptr);
    SetUpAsMainWindow(chart, scale, picture, 300);
    Gdiplus_DeleteBitmap(picture);
}

TEST(MainWindowChart, StripsFontsAndLabelsFollowTheScale)
{
    struct Case {
        double scale;
        RECT plot;
        double pointSize;
    };
    const Case cases[] = {{1.0, RECT{50, 0, 614, 226}, 10.0}, {1.5, RECT{75, 0, 589, 214}, 15.0},
                          {2.0, RECT{100, 0, 564, 202}, 20.0}};
    for (const Case& c : cases) {
        CWaveWnd chart;
        chart.resize(664, 250);
        SetUpWithPicture(chart, c.scale);
        const RECT& plot = chart.GetPlotRect();
        EXPECT_TRUE(plot.left == c.plot.left && plot.right == c.plot.right && plot.bottom == c.plot.bottom) << c.scale;
        EXPECT_EQ(LabelTexts(chart, CWaveWnd::AxisLeft), (QStringList{"800", "600", "400", "200", "0"}));
        EXPECT_EQ(LabelTexts(chart, CWaveWnd::AxisRight), (QStringList{"800", "600", "400", "200", "0"}));
        EXPECT_EQ(LabelTexts(chart, CWaveWnd::AxisBottom), (QStringList{"T0-15", "T0-10", "T0-5", "T0"}));
        const QFont& font = chart.GetAxis(CWaveWnd::AxisBottom).GetFont();
        EXPECT_DOUBLE_EQ(font.pointSizeF(), c.pointSize);
        // "宋体" is not installed: the labels fall back to an installed Chinese font.
        EXPECT_TRUE(QFontDatabase::families(QFontDatabase::SimplifiedChinese).contains(QFontInfo(font).family()));
    }
}

TEST(MainWindowChart, HistoryIsARedLineOverThePictureOldestAtTheLeft)
{
    CWaveWnd chart;
    chart.resize(664, 250);
    SetUpWithPicture(chart, 1.0);
    std::vector<std::int32_t> history(300, 0);
    history.back() = 800;  // the newest report, at the top right
    chart.WaveBuffer(0).Push(history.data(), 300);
    chart.ComposeFrame();
    const QImage frame = chart.GrabFrontBuffer();
    const std::vector<POINT> points = WavePoints(chart, 0);
    ASSERT_EQ(points.size(), 300u);
    EXPECT_TRUE(points.front().x == 50 && points.front().y == 225);
    EXPECT_TRUE(points.back().x == 613 && points.back().y == 0);

    EXPECT_FALSE(RowsOfColor(frame, 100, 0xFF0000).empty());
    EXPECT_EQ(frame.pixel(300, 100) & 0xFFFFFF, 0xF0F8FFu);  // the picture
    EXPECT_GT(AxisInk(frame, QRect(0, 0, 50, 226)), 8);     // distance labels, left
    EXPECT_GT(AxisInk(frame, QRect(614, 0, 50, 226)), 8);   // and right
    EXPECT_GT(AxisInk(frame, QRect(50, 226, 564, 24)), 8);  // time labels below
    EXPECT_EQ(AxisInk(frame, QRect(60, 10, 540, 200)), 0);   // nothing over the plot
}

}  // namespace
