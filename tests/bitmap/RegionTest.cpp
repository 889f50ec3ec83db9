// Regions from alpha: thresholds, batching, and the rectangle block they are made from.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <tuple>
#include <vector>

#include "BitmapTestSupport.h"
#include "RegionDataBuffer.h"

namespace {

qint64 Area(const RectRegion& region)
{
    qint64 area = 0;
    for (const RECT& r : region.rects) area += qint64(RectWidth(r)) * RectHeight(r);
    return area;
}

bool Covers(const RectRegion& region, int x, int y)
{
    return std::any_of(region.rects.begin(), region.rects.end(),
                       [&](const RECT& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; });
}

std::vector<std::tuple<LONG, LONG, LONG, LONG>> Sorted(const RectRegion& region)
{
    std::vector<std::tuple<LONG, LONG, LONG, LONG>> rects;
    for (const RECT& r : region.rects) rects.emplace_back(r.top, r.left, r.bottom, r.right);
    std::sort(rects.begin(), rects.end());
    return rects;
}

DWORD ReadDword(const BYTE* at)
{
    DWORD value;
    std::memcpy(&value, at, 4);
    return value;
}

}  // namespace

TEST(CreateRgnFromBitmap, TransparentPictureByThreshold)
{
    BitmapPtr clear = SolidBitmap(7, 5, 0x00FFFFFF);
    RegionPtr none(Gdiplus_CreateRgnFromBitmap(clear.get(), 1));
    ASSERT_NE(none, nullptr);
    EXPECT_TRUE(none->rects.empty());

    RegionPtr all(Gdiplus_CreateRgnFromBitmap(clear.get(), 0));
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(Area(*all), 35);
    EXPECT_EQ(Gdiplus_CreateRgnFromBitmap(nullptr, 1), nullptr);
}

TEST(CreateRgnFromBitmap, ThresholdIsInclusive)
{
    BitmapPtr bitmap(Gdiplus_CreateBitmap(5, 1, PixelFormat32bppARGB));
    const int alphas[5] = {0, 99, 100, 255, 10};
    for (int x = 0; x < 5; ++x) bitmap->image().setPixel(x, 0, qRgba(1, 2, 3, alphas[x]));
    RegionPtr region(Gdiplus_CreateRgnFromBitmap(bitmap.get(), 100));
    ASSERT_NE(region, nullptr);
    ASSERT_EQ(region->rects.size(), 1u);
    EXPECT_EQ(Sorted(*region).front(), std::make_tuple(0, 2, 1, 4));
}

TEST(CreateRgnFromBitmap, ManyBatchesGiveTheSameRegionAsOne)
{
    // 51 runs a row over 100 rows: 5100 runs, batches end in the middle of rows.
    BitmapPtr bitmap(Gdiplus_CreateBitmap(101, 100, PixelFormat32bppARGB));
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 101; ++x) bitmap->image().setPixel(x, y, x % 2 == 0 ? 0xFF000000 : 0x10000000);
    RegionPtr region(Gdiplus_CreateRgnFromBitmap(bitmap.get(), 128));
    ASSERT_NE(region, nullptr);

    RectRegion expected;
    for (LONG y = 0; y < 100; ++y)
        for (LONG x = 0; x < 101; x += 2) expected.rects.push_back(RECT{x, y, x + 1, y + 1});
    EXPECT_EQ(Sorted(*region), Sorted(expected));
    EXPECT_EQ(Area(*region), 5100);
}

TEST(CreateRgnFromBitmap, WorksOnAnyPixelFormat)
{
    BitmapPtr rgb(Gdiplus_CreateBitmap(6, 2, PixelFormat24bppRGB));
    RegionPtr region(Gdiplus_CreateRgnFromBitmap(rgb.get(), 255));
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(Area(*region), 12);
    EXPECT_TRUE(Covers(*region, 5, 1));
}

TEST(RegionDataBuffer, GrowsByAHundredAndKeepsItsHeaderCurrent)
{
    RegionDataBuffer buffer;
    ASSERT_TRUE(buffer.Allocate());
    EXPECT_EQ(buffer.ByteSize(), 1632u);
    for (LONG i = 0; i < 250; ++i) ASSERT_TRUE(buffer.Append(RECT{i, 1, i + 1, 3}));
    EXPECT_EQ(buffer.Capacity(), 300);
    EXPECT_EQ(buffer.ByteSize(), (300u + 2) * 16);
    const BYTE* header = buffer.Data();
    EXPECT_EQ(ReadDword(header), 32u);
    EXPECT_EQ(ReadDword(header + 4), 1u);
    EXPECT_EQ(ReadDword(header + 8), 250u);
    EXPECT_EQ(ReadDword(header + 12), 0u);
    RECT bounds;
    std::memcpy(&bounds, header + 16, 16);
    EXPECT_EQ(std::make_tuple(bounds.left, bounds.top, bounds.right, bounds.bottom), std::make_tuple(0, 1, 250, 3));

    buffer.StartBatch();
    std::memcpy(&bounds, header + 16, 16);
    EXPECT_EQ(ReadDword(buffer.Data() + 8), 0u);
    EXPECT_EQ(std::make_tuple(bounds.left, bounds.top, bounds.right, bounds.bottom), std::make_tuple(INT_MAX, INT_MAX, 0, 0));
    EXPECT_EQ(buffer.Capacity(), 300);
}

TEST(CreateRegionFromData, RefusesMalformedBlocks)
{
    RegionDataBuffer buffer;
    ASSERT_TRUE(buffer.Allocate());
    buffer.Append(RECT{0, 0, 4, 4});
    std::vector<BYTE> block(buffer.Data(), buffer.Data() + buffer.ByteSize());
    RegionPtr good(CreateRegionFromData(block.data(), block.size()));
    ASSERT_NE(good, nullptr);
    EXPECT_EQ(Area(*good), 16);

    const struct {
        std::size_t offset;
        DWORD value;
    } damage[] = {{0, 31}, {4, 2}, {8, 101}, {8, 0xFFFFFFFF}};
    for (const auto& d : damage) {
        std::vector<BYTE> broken = block;
        std::memcpy(broken.data() + d.offset, &d.value, 4);
        EXPECT_EQ(CreateRegionFromData(broken.data(), broken.size()), nullptr) << d.offset << "=" << d.value;
    }
    EXPECT_EQ(CreateRegionFromData(block.data(), 20), nullptr);
}

TEST(UniteRegion, OverlapCountsOnce)
{
    RectRegion target{{RECT{0, 0, 10, 10}}};
    UniteRegion(&target, RectRegion{{RECT{5, 5, 15, 15}, RECT{20, 0, 21, 1}}});
    EXPECT_EQ(Area(target), 100 + 75 + 1);
    EXPECT_TRUE(Covers(target, 14, 14));
    EXPECT_TRUE(Covers(target, 20, 0));
    EXPECT_FALSE(Covers(target, 14, 2));
}
