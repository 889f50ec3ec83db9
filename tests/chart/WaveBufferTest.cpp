// The sliding sample store: intake, resizing, pixel points and read-out.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numeric>
#include <vector>

#include "CWaveBuffer.h"
#include "WavePoint.h"

namespace {

using Samples = std::vector<double>;

std::vector<std::int32_t> Ramp(int count, int first = 1)
{
    std::vector<std::int32_t> values(static_cast<std::size_t>(count));
    std::iota(values.begin(), values.end(), first);
    return values;
}

// 32-bit samples, two pages of length.
void Prepare(CWaveBuffer& buffer, int length)
{
    buffer.SetSampleType(CWaveBuffer::kInt32);
    buffer.SetSampleCount(length);
}

std::vector<POINT> Points(CWaveBuffer& buffer, const RECT& area, double zoom = 1.0)
{
    CPtrArrayCtrl list;
    buffer.BuildPoints(area, zoom, list);
    std::vector<POINT> points;
    for (int i = 0; i < list.GetCount(); ++i)
        points.push_back(UnpackWavePoint(list.GetAt(i)));
    return points;
}

TEST(WaveBuffer, IntakeSlidesAndCountsEverySample)
{
    CWaveBuffer buffer;
    Prepare(buffer, 4);
    const auto values = Ramp(20, 10);
    buffer.Push(values.data(), 3);
    EXPECT_EQ(buffer.CopySamples(), (Samples{0, 0, 0, 0, 0, 10, 11, 12}));
    buffer.Push(values.data() + 3, 0);  // empty, negative and null pushes change nothing
    buffer.Push(values.data() + 3, -3);
    buffer.Push(nullptr, 5);
    buffer.Push(values.data() + 3, 7);
    EXPECT_EQ(buffer.CopySamples(), (Samples{12, 13, 14, 15, 16, 17, 18, 19}));
    EXPECT_EQ(buffer.GetWindowsReceived(), 2);
    EXPECT_EQ(buffer.GetRemainder(), 2);
    buffer.Push(values.data(), 20);  // more than the store holds: the newest 8 stay
    EXPECT_EQ(buffer.CopySamples(), (Samples{22, 23, 24, 25, 26, 27, 28, 29}));
}

TEST(WaveBuffer, WholeWindowIntakeHoldsBackAnIncompleteWindow)
{
    CWaveBuffer buffer;
    Prepare(buffer, 300);
    buffer.SetWholeWindows(true);
    const auto values = Ramp(600);
    buffer.Push(values.data(), 450);
    EXPECT_EQ(buffer.GetPendingSamples(), 150u);
    Samples store = buffer.CopySamples();
    EXPECT_EQ(store[299], 0.0);
    EXPECT_EQ(store[300], 1.0);
    EXPECT_EQ(store[599], 300.0);
    buffer.Push(values.data() + 450, 150);
    store = buffer.CopySamples();
    EXPECT_EQ(buffer.GetPendingSamples(), 0u);
    EXPECT_EQ(store[0], 1.0);
    EXPECT_EQ(store[599], 600.0);
}

TEST(WaveBuffer, SampleTypesKeepTheirWidthsAndValues)
{
    CWaveBuffer shorts;
    shorts.SetSampleType(CWaveBuffer::kInt16);  // the default type still gets a store
    shorts.SetSampleCount(2);
    const std::int16_t s[] = {-32768, 32767};
    shorts.Push(s, 2);
    EXPECT_EQ(shorts.CopySamples(), (Samples{0, 0, -32768, 32767}));
    shorts.SetSampleType(9);  // unknown types keep 2-byte elements and the contents
    EXPECT_EQ(shorts.GetPendingSamples(), 0u);
    shorts.SetSampleType(CWaveBuffer::kInt16);
    EXPECT_EQ(shorts.CopySamples(), (Samples{0, 0, -32768, 32767}));
    shorts.SetSampleType(CWaveBuffer::kDouble);  // a new width starts from zeros
    EXPECT_EQ(shorts.CopySamples(), (Samples{0, 0, 0, 0}));
    const double d[] = {0.25, -1e300};
    shorts.Push(d, 2);
    EXPECT_EQ(shorts.CopySamples(), (Samples{0, 0, 0.25, -1e300}));
}

TEST(WaveBuffer, NoStoreMeansNothingCounted)
{
    CWaveBuffer fresh;
    const auto values = Ramp(5000);
    fresh.Push(values.data(), 5000);
    EXPECT_FALSE(fresh.HasStore());
    EXPECT_EQ(fresh.GetWindowsReceived(), 0);

    CWaveBuffer huge;  // too large to allocate: the store stays empty
    huge.SetSampleType(CWaveBuffer::kDouble);
    huge.SetSampleCount(2'000'000'000);
    huge.Push(values.data(), 10);
    EXPECT_FALSE(huge.HasStore());
    EXPECT_EQ(huge.GetWindowsReceived(), 0);
    EXPECT_TRUE(Points(huge, RECT{0, 0, 100, 100}).empty());
}

TEST(WaveBuffer, SpanAndSampleCountResizeKeepingTheOldest)
{
    CWaveBuffer buffer;
    Prepare(buffer, 2);
    buffer.SetWholeWindows(true);
    const auto values = Ramp(5);
    buffer.Push(values.data(), 5);  // 4 enter, 1 waits
    buffer.SetSpan(1);              // the current span keeps store and pending input
    EXPECT_EQ(buffer.GetPendingSamples(), 1u);
    buffer.SetSpan(2);
    EXPECT_EQ(buffer.CopySamples(), (Samples{1, 2, 3, 4, 0, 0}));
    EXPECT_EQ(buffer.GetPendingSamples(), 0u);
    buffer.SetSpan(0);
    EXPECT_EQ(buffer.CopySamples(), (Samples{1, 2}));

    buffer.SetSpan(3);
    buffer.SetOffset(1);
    buffer.SetSampleCount(2);  // same length: back to 2 pages, offset 0
    EXPECT_EQ(buffer.CopySamples(), (Samples{1, 2, 0, 0}));
    EXPECT_EQ(buffer.GetOffset(), 0);
}

TEST(WaveBuffer, PointsSpreadOverTheAreaOnePerStep)
{
    CWaveBuffer buffer;
    Prepare(buffer, 300);
    buffer.SetValueRange(0.0, 800.0);
    const std::vector<std::int32_t> history(300, 400);
    buffer.Push(history.data(), 300);
    const auto points = Points(buffer, RECT{50, 10, 650, 210});
    ASSERT_EQ(points.size(), 300u);
    EXPECT_EQ(points.front().x, 50);
    EXPECT_EQ(points.back().x, 50 + 599);
    for (std::size_t i = 1; i < points.size(); ++i)
        EXPECT_TRUE(points[i].x - points[i - 1].x == 2 || points[i].x - points[i - 1].x == 3) << i;
    for (const POINT& p : points)
        EXPECT_EQ(p.y, 10 + 100);
}

TEST(WaveBuffer, ValuesMapOntoRowsAndStickToTheEdges)
{
    const std::pair<std::int32_t, int> cases[] = {{800, 0}, {0, 199}, {600, 50}, {2000, 0}, {-5, 199}, {1, 199}};
    for (const auto& [value, row] : cases) {
        CWaveBuffer buffer;
        Prepare(buffer, 2);
        buffer.SetValueRange(0.0, 800.0);
        const std::int32_t v[] = {value, value};
        buffer.Push(v, 2);
        const auto points = Points(buffer, RECT{0, 0, 10, 200});
        ASSERT_FALSE(points.empty());
        EXPECT_EQ(points.front().y, row) << "value " << value;
    }
}

TEST(WaveBuffer, DegenerateAreasRangesAndOffsetsStayInside)
{
    CWaveBuffer buffer;
    Prepare(buffer, 100);
    const auto values = Ramp(100);
    buffer.Push(values.data(), 100);
    EXPECT_TRUE(Points(buffer, RECT{0, 0, 0, 50}).empty());
    EXPECT_TRUE(Points(buffer, RECT{10, 0, 5, 50}).empty());
    EXPECT_TRUE(Points(buffer, RECT{0, 0, 50, 0}).empty());
    EXPECT_TRUE(Points(buffer, RECT{0, 0, 50, 50}, 0.0).empty());
    EXPECT_EQ(Points(buffer, RECT{0, 0, 1, 50}).size(), 1u);
    buffer.SetValueRange(5.0, 5.0);
    buffer.SetOffset(-1000);
    for (const POINT& p : Points(buffer, RECT{0, 0, 40, 30}, 0.01))
        EXPECT_TRUE(p.y >= 0 && p.y < 30 && p.x >= 0 && p.x < 40);

    buffer.SetSampleType(5);  // no values: no points, read-out value untouched
    int sample = 0;
    int type = 0;
    double value = -7.5;
    double row = 0.0;
    EXPECT_TRUE(Points(buffer, RECT{0, 0, 100, 100}).empty());
    ASSERT_TRUE(buffer.ValueAt(RECT{0, 0, 100, 100}, 1.0, 3, sample, type, value, row));
    EXPECT_EQ(type, 5);
    EXPECT_EQ(value, -7.5);
}

TEST(WaveBuffer, ReadOutMapsColumnsToSamples)
{
    CWaveBuffer buffer;
    Prepare(buffer, 300);
    buffer.SetValueRange(0.0, 800.0);
    const auto values = Ramp(300, 100);
    buffer.Push(values.data(), 300);
    const RECT area{50, 0, 650, 200};
    struct Case {
        int x;
        bool found;
        int sample;
    };
    for (const Case& c : {Case{0, true, 0}, Case{24, true, 12}, Case{599, true, 299}, Case{600, false, 0},
                          Case{-1, false, 0}}) {
        int sample = -1;
        int type = -1;
        double value = 0.0;
        double row = 0.0;
        ASSERT_EQ(buffer.ValueAt(area, 1.0, c.x, sample, type, value, row), c.found) << c.x;
        if (!c.found)
            continue;
        EXPECT_EQ(sample, c.sample);
        EXPECT_EQ(value, 100.0 + c.sample);
        EXPECT_EQ(row, std::round(200.0 - value * 200.0 / 800.0));
    }
    int sample = 0;
    int type = 0;
    double value = 0.0;
    double row = 0.0;
    buffer.SetOffset(-5);  // corrected by the read-out
    EXPECT_TRUE(buffer.ValueAt(area, 1.0, 0, sample, type, value, row));
    EXPECT_EQ(buffer.GetOffset(), 0);
}

}  // namespace
