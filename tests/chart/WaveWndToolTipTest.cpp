// The hover read-out: wording, nearest wave, hiding, and live updates.
#include <gtest/gtest.h>

#include <clocale>
#include <numeric>
#include <string>
#include <vector>

#include "ChartTestSupport.h"
#include "IWaveTipInterface.h"
#include "WaveTipFormat.h"

namespace {

// Plot 50 .. 650 x 0 .. 200 inside a 700 x 224 chart, 300 samples, values 0 .. 800.
void SetUpHoverChart(CWaveWnd& chart)
{
    SetUpPlainChart(chart, 700, 224);
    chart.SetAxis(CWaveWnd::AxisLeft, true, 50);
    chart.SetAxis(CWaveWnd::AxisRight, true, 50);
    chart.SetAxis(CWaveWnd::AxisBottom, true, 24);
    chart.RecreateBitmaps();
}

// Sample i of the newest history holds first + i.
void PushRamp(CWaveWnd& chart, int wave, std::int32_t first)
{
    std::vector<std::int32_t> history(300);
    std::iota(history.begin(), history.end(), first);
    chart.WaveBuffer(wave).Push(history.data(), 300);
}

// Column 24 of the plot shows sample 12 (0.4992 samples per pixel).
const QPoint kOverSample12(50 + 24, 100);

TEST(WaveTipFormat, OnlyFormatsThatMatchTheArgumentsAreUsed)
{
    struct Case {
        const char* format;
        const char* text;
    };
    const Case cases[] = {
        {"Wave:%d, Sample:%d, Value:%.1f", "Wave:2, Sample:12, Value:250.5"},
        {"%d|%d|%.3f", "2|12|250.500"},
        {"%d%% of %d: %lf", "2% of 12: 250.500000"},
        {"%-4d|%05d|%+8.2e", "2   |00012|+2.50e+02"},
        {"value only", "value only"},
        {"w%d", "w2"},
        // Anything that would read a missing or mistyped argument reads as the default.
        {"%s", "Wave:2, Sample:12, Value:250.5"},
        {"%f %d %d", "Wave:2, Sample:12, Value:250.5"},
        {"%d %d %f %d", "Wave:2, Sample:12, Value:250.5"},
        {"%n", "Wave:2, Sample:12, Value:250.5"},
        {"%*d", "Wave:2, Sample:12, Value:250.5"},
        {"%lld", "Wave:2, Sample:12, Value:250.5"},
        {"%99999d", "Wave:2, Sample:12, Value:250.5"},
        {"trailing %", "Wave:2, Sample:12, Value:250.5"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatWaveTip(QString::fromUtf8(c.format), 2, 12, 250.5), QString::fromUtf8(c.text)) << c.format;
}

// The application runs under the user's locale; the read-out keeps its decimal point.
TEST(WaveTipFormat, ReadsTheSameUnderACommaDecimalLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "no de_DE.UTF-8 locale (tools/install-deps.sh makes one)";
    const QString defaultText = FormatWaveTip(QString::fromLatin1(kDefaultWaveTipFormat), 0, 12, 600.0);
    const QString ownText = FormatWaveTip(QStringLiteral("%d|%d|%.3e"), 0, 12, 600.0);
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(defaultText, QStringLiteral("Wave:0, Sample:12, Value:600.0"));
    EXPECT_EQ(ownText, QStringLiteral("0|12|6.000e+02"));
}

TEST(WaveWndToolTip, HiddenOverStripsAndWhenThePointerLeaves)
{
    CWaveWnd chart;
    SetUpHoverChart(chart);
    PushRamp(chart, 0, 0);
    SendMouse(chart, QEvent::MouseMove, kOverSample12);
    ASSERT_TRUE(chart.IsToolTipActive());
    int back = 300;
    for (QPoint strip : {QPoint(49, 100), QPoint(650, 100), QPoint(300, 200)}) {
        SendMouse(chart, QEvent::MouseMove, strip);
        EXPECT_FALSE(chart.IsToolTipActive()) << strip.x() << "," << strip.y();
        SendMouse(chart, QEvent::MouseMove, QPoint(++back, 100));
        EXPECT_TRUE(chart.IsToolTipActive());
    }
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&chart, &leave);
    EXPECT_FALSE(chart.IsToolTipActive());
}

TEST(WaveWndToolTip, ShowsTheSampleUnderThePointerAndFollowsLiveData)
{
    CWaveWnd chart;
    SetUpHoverChart(chart);
    PushRamp(chart, 0, 238);
    SendMouse(chart, QEvent::MouseMove, kOverSample12);
    EXPECT_TRUE(chart.IsToolTipActive());
    EXPECT_EQ(chart.GetToolTipText(), "Wave:0, Sample:12, Value:250.0");
    PushRamp(chart, 0, 500);
    chart.ComposeFrame();
    EXPECT_EQ(chart.GetToolTipText(), "Wave:0, Sample:12, Value:512.0");
}

TEST(WaveWndToolTip, NearestWaveWinsAndTiesGoToTheLowerSlot)
{
    struct Case {
        std::int32_t wave0;
        std::int32_t wave1;
        int pointerY;
        const char* text;
    };
    const Case cases[] = {
        {400, 400, 100, "Wave:0, Sample:12, Value:400.0"},  // same row
        {200, 600, 100, "Wave:0, Sample:12, Value:200.0"},  // 50 rows either way
        {200, 600, 60, "Wave:1, Sample:12, Value:600.0"},   // wave 1 is at row 50
        {200, 600, 140, "Wave:0, Sample:12, Value:200.0"},  // wave 0 is at row 150
    };
    for (const Case& c : cases) {
        CWaveWnd chart;
        SetUpHoverChart(chart);
        chart.SetWaveCount(2);
        PushConstant(chart, 0, 300, c.wave0);
        PushConstant(chart, 1, 300, c.wave1);
        SendMouse(chart, QEvent::MouseMove, QPoint(kOverSample12.x(), c.pointerY));
        EXPECT_EQ(chart.GetToolTipText(), c.text) << c.pointerY;
    }
}

class CentimetreTips : public IWaveTipInterface {
public:
    QString GetTipText(int wave, int sample, int offset, int windowLength, double value, std::intptr_t user) override
    {
        return QString("%1/%2/%3/%4/%5/%6").arg(wave).arg(sample).arg(offset).arg(windowLength).arg(value).arg(user);
    }
};

TEST(WaveWndToolTip, PerWaveSwitchFormatAndTextHook)
{
    CWaveWnd chart;
    SetUpHoverChart(chart);
    chart.SetWaveCount(2);
    PushConstant(chart, 0, 300, 400);
    PushRamp(chart, 1, 388);
    chart.SetWaveToolTip(0, false);  // the nearer wave offers no read-out
    chart.SetWaveToolTip(1, true, "#%d @%d = %.2f cm");
    SendMouse(chart, QEvent::MouseMove, kOverSample12);
    EXPECT_EQ(chart.GetToolTipText(), "#1 @12 = 400.00 cm");

    CentimetreTips hook;
    chart.SetTipHook(&hook, 9);
    SendMouse(chart, QEvent::MouseMove, kOverSample12 + QPoint(2, 0));  // sample 13
    EXPECT_EQ(chart.GetToolTipText(), "1/13/0/300/401/9");
}

}  // namespace
