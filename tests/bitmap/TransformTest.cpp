// New bitmaps made from others (resize, fit, crop, grey, format change) and pixels
// handed out (pixel buffers, GDI bitmaps) or changed in place (alpha).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "BitmapTestSupport.h"

namespace {

constexpr ARGB kBackground = 0xFF102030;

QSize SizeOf(const Gdiplus::Bitmap& bitmap) { return QSize(int(bitmap.GetWidth()), int(bitmap.GetHeight())); }

// Where a pixel of a coordinate picture came from.
QPoint Origin(QRgb pixel) { return QPoint(qRed(pixel), qGreen(pixel)); }

}  // namespace

TEST(ResizeBitmap, ResultSizeFollowsTheMode)
{
    BitmapPtr source = CoordinateBitmap(200, 100);
    const struct {
        int mode;
        QSize size;
    } cases[] = {{0, {50, 50}}, {1, {50, 25}}, {2, {100, 50}}, {3, {50, 25}}, {4, {100, 50}}};
    for (const auto& c : cases) {
        BitmapPtr result(Gdiplus_ResizeBitmap(source.get(), 50, 50, c.mode, kBackground));
        ASSERT_NE(result, nullptr) << c.mode;
        EXPECT_EQ(SizeOf(*result), c.size) << c.mode;
        EXPECT_EQ(result->GetPixelFormat(), PixelFormat32bppARGB);
    }
    EXPECT_EQ(Gdiplus_ResizeBitmap(source.get(), 50, 50, 5, kBackground), nullptr);
    EXPECT_EQ(Gdiplus_ResizeBitmap(source.get(), 0, 50, 0, kBackground), nullptr);
    EXPECT_EQ(Gdiplus_ResizeBitmap(source.get(), 50, -1, 0, kBackground), nullptr);
    EXPECT_EQ(Gdiplus_ResizeBitmap(nullptr, 50, 50, 0, kBackground), nullptr);
}

TEST(ResizeBitmap, BackgroundShowsThroughTransparentPixels)
{
    BitmapPtr clear = SolidBitmap(20, 10, 0x00000000);
    BitmapPtr result(Gdiplus_ResizeBitmap(clear.get(), 10, 10, 1, kBackground));
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(PixelAt(*result, 4, 2), kBackground);
}

TEST(DisposeBitmapByMode, FillModeCropsTheCentreToTheRequestedShape)
{
    BitmapPtr source = CoordinateBitmap(200, 100);
    BitmapPtr result(Gdiplus_DisposeBitmapByMode(source.get(), 50, 50, 0, kBackground));
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(SizeOf(*result), QSize(50, 50));
    // The crop (50, 0, 100, 100) at half size: pixel (x, y) shows about (50 + 2x, 2y).
    const QPoint first = Origin(PixelAt(*result, 0, 0));
    const QPoint last = Origin(PixelAt(*result, 49, 49));
    EXPECT_NEAR(first.x(), 50, 2);
    EXPECT_NEAR(first.y(), 0, 2);
    EXPECT_NEAR(last.x(), 148, 2);
    EXPECT_NEAR(last.y(), 98, 2);
}

TEST(DisposeBitmapByMode, CentreModeCropsOrPadsWithoutScaling)
{
    BitmapPtr source = CoordinateBitmap(200, 100);
    BitmapPtr cropped(Gdiplus_DisposeBitmapByMode(source.get(), 50, 50, 3, kBackground));
    ASSERT_NE(cropped, nullptr);
    EXPECT_EQ(Origin(PixelAt(*cropped, 0, 0)), QPoint(75, 25));
    EXPECT_EQ(Origin(PixelAt(*cropped, 49, 49)), QPoint(124, 74));

    BitmapPtr padded(Gdiplus_DisposeBitmapByMode(source.get(), 300, 300, 3, kBackground));
    ASSERT_NE(padded, nullptr);
    EXPECT_EQ(PixelAt(*padded, 49, 100), kBackground);
    EXPECT_EQ(PixelAt(*padded, 50, 99), kBackground);
    EXPECT_EQ(Origin(PixelAt(*padded, 50, 100)), QPoint(0, 0));
    EXPECT_EQ(Origin(PixelAt(*padded, 249, 199)), QPoint(199, 99));
    EXPECT_EQ(PixelAt(*padded, 250, 199), kBackground);
    EXPECT_EQ(PixelAt(*padded, 249, 200), kBackground);
}

TEST(DisposeBitmapByMode, TileModeCutsTheEdgeTiles)
{
    BitmapPtr source = CoordinateBitmap(200, 100);
    BitmapPtr tiled(Gdiplus_DisposeBitmapByMode(source.get(), 450, 150, 2, kBackground));
    ASSERT_NE(tiled, nullptr);
    EXPECT_EQ(SizeOf(*tiled), QSize(450, 150));
    const struct {
        QPoint at, from;
    } probes[] = {{{0, 0}, {0, 0}},     {{199, 99}, {199, 99}}, {{200, 0}, {0, 0}},   {{400, 0}, {0, 0}},
                  {{449, 0}, {49, 0}},  {{0, 100}, {0, 0}},     {{449, 149}, {49, 49}}, {{250, 120}, {50, 20}}};
    for (const auto& p : probes) EXPECT_EQ(Origin(PixelAt(*tiled, p.at.x(), p.at.y())), p.from) << p.at.x() << "," << p.at.y();
}

TEST(DisposeBitmapByMode, OtherModesDelegateOrFail)
{
    BitmapPtr source = CoordinateBitmap(200, 100);
    BitmapPtr fitted(Gdiplus_DisposeBitmapByMode(source.get(), 50, 50, 1, kBackground));
    BitmapPtr stretched(Gdiplus_DisposeBitmapByMode(source.get(), 50, 50, 4, kBackground));
    ASSERT_NE(fitted, nullptr);
    ASSERT_NE(stretched, nullptr);
    EXPECT_EQ(SizeOf(*fitted), QSize(50, 25));
    EXPECT_EQ(SizeOf(*stretched), QSize(50, 50));
    EXPECT_EQ(Gdiplus_DisposeBitmapByMode(source.get(), 50, 50, 5, kBackground), nullptr);
    EXPECT_EQ(Gdiplus_DisposeBitmapByMode(source.get(), 0, 50, 2, kBackground), nullptr);
}

TEST(GetBitmapFromBitmap, PartsOutsideTheSourceStayEmpty)
{
    BitmapPtr source = SolidBitmap(10, 10, 0xFFFF0000);
    BitmapPtr crop(Gdiplus_GetBitmapFromBitmap(source.get(), 5, 5, 10, 10, nullptr));
    ASSERT_NE(crop, nullptr);
    EXPECT_EQ(SizeOf(*crop), QSize(10, 10));
    EXPECT_EQ(PixelAt(*crop, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(*crop, 4, 4), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(*crop, 9, 9), 0u);

    const RECT rect{2, 2, 6, 6};
    const SIZE size{8, 8};
    BitmapPtr scaled(Gdiplus_GetBitmapFromBitmapByRect(source.get(), &rect, &size));
    ASSERT_NE(scaled, nullptr);
    EXPECT_EQ(SizeOf(*scaled), QSize(8, 8));
    EXPECT_EQ(PixelAt(*scaled, 7, 7), 0xFFFF0000u);
}

TEST(Gray, WeighsRedGreenAndBlue)
{
    BitmapPtr rgb(Gdiplus_CreateBitmap(2, 1, PixelFormat24bppRGB));
    uchar* row = rgb->image().scanLine(0);
    const uchar pixels[6] = {0, 0, 255, 255, 255, 255};  // blue, green, red: pure red, then white
    std::memcpy(row, pixels, 6);
    BitmapPtr grey(Gdiplus_Gray(rgb.get()));
    ASSERT_NE(grey, nullptr);
    EXPECT_EQ(grey->GetPixelFormat(), PixelFormat24bppRGB);
    const uchar* out = grey->image().constScanLine(0);
    EXPECT_EQ(std::vector<int>(out, out + 6), (std::vector<int>{76, 76, 76, 255, 255, 255}));

    BitmapPtr argb = SolidBitmap(1, 1, 0x4D00FF00);
    BitmapPtr greyArgb(Gdiplus_Gray(argb.get()));
    EXPECT_EQ(PixelAt(*greyArgb, 0, 0), qRgba(149, 149, 149, 0x4D));
}

TEST(Gray, RespectsEachBitmapsOwnStride)
{
    // Three 24-bit pixels in rows 64 bytes apart, as a caller's buffer may have them.
    std::vector<uchar> memory(64 * 2, 0);
    for (int y = 0; y < 2; ++y) memory[size_t(y) * 64 + 2] = 255;
    BitmapPtr source(Gdiplus_LoadBitmapFromImageBits(memory.data(), 3, 2, 64, PixelFormat24bppRGB));
    ASSERT_NE(source, nullptr);
    BitmapPtr grey(Gdiplus_Gray(source.get()));
    ASSERT_NE(grey, nullptr);
    EXPECT_EQ(PixelAt(*grey, 0, 1), qRgb(76, 76, 76));
    EXPECT_EQ(PixelAt(*grey, 1, 1), qRgb(0, 0, 0));
}

TEST(GetBitmapBuffer, CopiesRowsOfWhole32BitWords)
{
    BitmapPtr bitmap(Gdiplus_CreateBitmap(4, 2, PixelFormat24bppRGB));
    for (int y = 0; y < 2; ++y)
        for (int i = 0; i < 12; ++i) bitmap->image().scanLine(y)[i] = uchar(y * 16 + i);
    std::vector<uchar> destination(32, 0xEE);
    const RECT rect{0, 0, 3, 2};
    ASSERT_EQ(Gdiplus_GetBitmapBuffer(bitmap.get(), &rect, PixelFormat24bppRGB, destination.data(), 16), 1);
    for (int y = 0; y < 2; ++y) {
        for (int i = 0; i < 12; ++i) EXPECT_EQ(destination[size_t(y * 16 + i)], y * 16 + i) << y << "/" << i;
        for (int i = 12; i < 16; ++i) EXPECT_EQ(destination[size_t(y * 16 + i)], 0xEE) << y << "/" << i;
    }
}

TEST(GetBitmapBuffer, ClipsConvertsAndRefusesEmptyRectangles)
{
    BitmapPtr bitmap = CoordinateBitmap(5, 5);
    std::vector<DWORD> destination(9, 0);
    const RECT partly{-2, -2, 2, 1};
    ASSERT_EQ(Gdiplus_GetBitmapBuffer(bitmap.get(), &partly, PixelFormat32bppARGB, destination.data(), 12), 1);
    EXPECT_EQ(destination[0], qRgba(0, 0, 0, 255));
    EXPECT_EQ(destination[1], qRgba(1, 0, 0, 255));
    EXPECT_EQ(destination[2], 0u);

    const RECT outside{6, 6, 9, 9};
    EXPECT_EQ(Gdiplus_GetBitmapBuffer(bitmap.get(), &outside, PixelFormat32bppARGB, destination.data(), 12), 0);
    EXPECT_EQ(Gdiplus_GetBitmapBuffer(bitmap.get(), &partly, 0x30402, destination.data(), 12), 0);
}

TEST(GetBitmapBuffer, NeverReadsPastATightlyPackedSource)
{
    // Rows of exactly 9 bytes: a 12-byte row copy would run past the last one.
    auto* memory = new uchar[18];
    for (int i = 0; i < 18; ++i) memory[i] = uchar(i);
    BitmapPtr bitmap(Gdiplus_LoadBitmapFromImageBits(memory, 3, 2, 9, PixelFormat24bppRGB));
    ASSERT_NE(bitmap, nullptr);
    std::vector<uchar> destination(24, 0xEE);
    const RECT all{0, 0, 3, 2};
    ASSERT_EQ(Gdiplus_GetBitmapBuffer(bitmap.get(), &all, PixelFormat24bppRGB, destination.data(), 12), 1);
    EXPECT_EQ(destination[12 + 8], 17);
    EXPECT_EQ(destination[12 + 9], 0xEE);
    bitmap.reset();
    delete[] memory;
}

TEST(SetBitmapAlpha, ChangesOnlyAlphasInRangeInsideTheRectangle)
{
    BitmapPtr bitmap = SolidBitmap(4, 1, 0x00112233);
    bitmap->image().setPixel(1, 0, 0x80112233);
    bitmap->image().setPixel(2, 0, 0xFF112233);
    const RECT firstThree{0, 0, 3, 1};
    Gdiplus_SetBitmapAlpha(bitmap.get(), &firstThree, 0x40, 0, 0x80);
    EXPECT_EQ(PixelAt(*bitmap, 0, 0), 0x40112233u);
    EXPECT_EQ(PixelAt(*bitmap, 1, 0), 0x40112233u);
    EXPECT_EQ(PixelAt(*bitmap, 2, 0), 0xFF112233u);  // alpha outside the range
    EXPECT_EQ(PixelAt(*bitmap, 3, 0), 0x00112233u);  // outside the rectangle
    Gdiplus_SetBitmapAlpha(nullptr, nullptr, 0, 0, 255);
}

TEST(GetHBitmap, BlendsOverTheBackgroundInTheSourceDepth)
{
    BitmapPtr clear = SolidBitmap(3, 2, 0x00FF0000);
    DibPtr dib(Gdiplus_GetHBitmap(clear.get(), 0x8033CC66, 1));
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(dib->bitsPerPixel, 32);
    DWORD pixel;
    std::memcpy(&pixel, dib->bits.data() + dib->stride + 8, 4);
    EXPECT_EQ(pixel & 0xFFFFFF, 0x33CC66u);

    BitmapPtr rgb(Gdiplus_CreateBitmap(2, 2, PixelFormat24bppRGB));
    rgb->image().setPixel(0, 0, qRgb(255, 0, 0));
    DibPtr deep(Gdiplus_GetHBitmap(rgb.get(), 0, 0));
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(deep->bitsPerPixel, 24);
    const int topRow = deep->topDown ? 0 : 1;
    const uchar* red = deep->bits.data() + size_t(topRow * deep->stride);
    EXPECT_EQ(std::vector<int>(red, red + 3), (std::vector<int>{0, 0, 255}));
    EXPECT_EQ(Gdiplus_GetHBitmap(nullptr, 0, 1), nullptr);
}

// Palette pictures keep their depth, with their own palette as the colour table.
TEST(GetHBitmap, PalettePicturesKeepTheirDepthAndPalette)
{
    for (const PixelFormat format : {PixelFormat8bppIndexed, PixelFormat1bppIndexed}) {
        BitmapPtr indexed(Gdiplus_CreateBitmap(9, 3, format));
        ASSERT_NE(indexed, nullptr);
        QImage& image = indexed->image();
        const QList<QRgb> palette = image.colorTable();
        ASSERT_GE(palette.size(), 2);
        image.fill(0);
        image.setPixel(8, 2, 1);  // the last pixel of the bottom row
        DibPtr dib(Gdiplus_GetHBitmap(indexed.get(), 0xFF123456, 0));
        ASSERT_NE(dib, nullptr) << format;
        const int depth = format == PixelFormat8bppIndexed ? 8 : 1;
        EXPECT_EQ(dib->bitsPerPixel, depth);
        ASSERT_EQ(dib->colorTable.size(), std::size_t(palette.size()));
        EXPECT_EQ(dib->colorTable[1], palette[1] & 0xFFFFFFu);
        // Bottom-up: the picture's bottom row is the first row of the DIB.
        const int bottomRow = dib->topDown ? 2 : 0;
        const uchar* row = dib->bits.data() + std::size_t(bottomRow * dib->stride);
        const int last = depth == 8 ? row[8] : (row[1] >> 7) & 1;
        const int first = depth == 8 ? row[0] : row[0] >> 7;
        EXPECT_EQ(last, 1) << format;
        EXPECT_EQ(first, 0) << format;
    }
}

TEST(ModifyBitmapFormat, KeepsThePictureInTheNewFormat)
{
    BitmapPtr source = SolidBitmap(3, 3, 0xFFFF0000);
    BitmapPtr rgb(Gdiplus_ModifyBitmapFormat(source.get(), PixelFormat24bppRGB));
    ASSERT_NE(rgb, nullptr);
    EXPECT_EQ(rgb->GetPixelFormat(), PixelFormat24bppRGB);
    EXPECT_EQ(PixelAt(*rgb, 1, 1), qRgb(255, 0, 0));

    BitmapPtr indexed(Gdiplus_ModifyBitmapFormat(source.get(), PixelFormat8bppIndexed));
    ASSERT_NE(indexed, nullptr);
    EXPECT_EQ(indexed->GetPixelFormat(), PixelFormat8bppIndexed);
    EXPECT_EQ(PixelAt(*indexed, 1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(Gdiplus_ModifyBitmapFormat(source.get(), 0x30402), nullptr);
}

TEST(StretchBitmap, CoversTheRequestedSize)
{
    BitmapPtr source = SolidBitmap(2, 2, 0xFF00FF00);
    BitmapPtr stretched(Gdiplus_StretchBitmap(source.get(), 6, 4));
    ASSERT_NE(stretched, nullptr);
    EXPECT_EQ(SizeOf(*stretched), QSize(6, 4));
    EXPECT_EQ(PixelAt(*stretched, 5, 3), 0xFF00FF00u);
    EXPECT_EQ(Gdiplus_StretchBitmap(source.get(), 0, 4), nullptr);
    EXPECT_EQ(Gdiplus_StretchBitmap(nullptr, 6, 4), nullptr);
}

TEST(CreateColorBmp, FillsEveryPixelExactly)
{
    BitmapPtr translucent = SolidBitmap(3, 2, 0x7F10E0A0);
    ASSERT_NE(translucent, nullptr);
    EXPECT_EQ(PixelAt(*translucent, 2, 1), 0x7F10E0A0u);
    EXPECT_EQ(Gdiplus_CreateColorBmp(0, 2, 0), nullptr);
}
