// Drawing onto a surface: bitmaps placed by mode, translucent bitmaps, fills, outlines
// and text.
#include <gtest/gtest.h>

#include <vector>

#include "BitmapTestSupport.h"
#include "GdiplusBrush.h"
#include "GdiplusGraphics.h"
#include "GdiplusStringFormat.h"

namespace {

constexpr ARGB kWhite = 0xFFFFFFFF;
constexpr ARGB kMark = 0xFF2040C0;

// A white canvas with a surface on it.
struct Canvas {
    explicit Canvas(int width = 240, int height = 240) : bitmap(SolidBitmap(width, height, kWhite)), graphics(bitmap.get()) {}
    QRgb at(int x, int y) const { return PixelAt(*bitmap, x, y); }
    int width() const { return int(bitmap->GetWidth()); }
    int height() const { return int(bitmap->GetHeight()); }
    // Pixels of the mark colour, as the rectangle around them (empty when none).
    QRect markedArea() const
    {
        QRect area;
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x)
                if (at(x, y) == kMark) area |= QRect(x, y, 1, 1);
        return area;
    }
    BitmapPtr bitmap;
    Gdiplus::Graphics graphics;
};

}  // namespace

TEST(DrawBitmap, PlacesTheSourceByMode)
{
    const struct {
        QSize source;
        RECT destination;
        int mode;
        QRect expected;
    } cases[] = {
        {{200, 100}, {10, 10, 110, 110}, 1, {10, 35, 100, 50}},   // fit inside, centred
        {{10, 10}, {0, 0, 100, 50}, 1, {25, 0, 50, 50}},          // small sources grow
        {{50, 50}, {100, 100, 200, 200}, 3, {125, 125, 50, 50}},  // centred, unscaled
        {{300, 50}, {0, 0, 100, 100}, 3, {0, 25, 100, 50}},       // wider than the destination
        {{400, 200}, {0, 0, 100, 100}, 0, {0, 0, 100, 100}},      // cut and stretched over all
        {{50, 50}, {0, 0, 120, 120}, 2, {0, 0, 120, 120}},        // tiles cover all
        {{50, 50}, {10, 10, 60, 30}, 7, {10, 10, 50, 20}},        // anything else stretches
    };
    for (const auto& c : cases) {
        Canvas canvas;
        BitmapPtr source = SolidBitmap(c.source.width(), c.source.height(), kMark);
        Gdiplus_DrawBitmap(&canvas.graphics, &c.destination, source.get(), nullptr, c.mode);
        EXPECT_EQ(canvas.markedArea(), c.expected) << "mode " << c.mode << " source " << c.source.width();
    }
}

TEST(DrawBitmap, FillModeCutsThePieceAroundTheCentre)
{
    Canvas canvas;
    BitmapPtr source = CoordinateBitmap(400, 200);
    const RECT destination{0, 0, 100, 100};
    Gdiplus_DrawBitmap(&canvas.graphics, &destination, source.get(), nullptr, 0);
    // s = 2: the source rectangle (100, 50, 200, 100) over 100 x 100.
    const QRgb first = canvas.at(0, 0);
    const QRgb last = canvas.at(99, 99);
    EXPECT_NEAR(qRed(first), 100, 2);
    EXPECT_NEAR(qGreen(first), 50, 2);
    EXPECT_NEAR(qRed(last), 298 % 256, 3);
    EXPECT_NEAR(qGreen(last), 149, 2);
}

TEST(DrawBitmap, EdgeTilesHoldTheWholeSourceCompressed)
{
    Canvas canvas;
    BitmapPtr source = CoordinateBitmap(50, 50);
    const RECT destination{0, 0, 120, 120};
    Gdiplus_DrawBitmap(&canvas.graphics, &destination, source.get(), nullptr, 2);
    EXPECT_EQ(canvas.at(50, 50), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.at(99, 99), qRgb(49, 49, 0));
    EXPECT_NEAR(qRed(canvas.at(100, 10)), 1, 2);
    EXPECT_NEAR(qRed(canvas.at(119, 10)), 48, 3);  // 50 source columns in 20
    EXPECT_NEAR(qGreen(canvas.at(10, 119)), 48, 3);
    EXPECT_EQ(canvas.at(120, 10), kWhite);
}

TEST(DrawBitmap, TinyTilesOverAHugeAreaFinish)
{
    Canvas canvas(64, 64);
    BitmapPtr source = SolidBitmap(1, 1, kMark);
    const RECT destination{-1000000, -1000000, 1000000, 1000001};
    Gdiplus_DrawBitmap(&canvas.graphics, &destination, source.get(), nullptr, 2);
    EXPECT_EQ(canvas.markedArea(), QRect(0, 0, 64, 64));
}

TEST(DrawBitmap, SourceRectangleSelectsThePart)
{
    Canvas canvas;
    BitmapPtr source = CoordinateBitmap(100, 100);
    const RECT part{20, 30, 40, 50};
    const RECT destination{0, 0, 20, 20};
    Gdiplus_DrawBitmap(&canvas.graphics, &destination, source.get(), &part, 3);
    EXPECT_EQ(canvas.at(0, 0), qRgb(20, 30, 0));
    EXPECT_EQ(canvas.at(19, 19), qRgb(39, 49, 0));
}

TEST(DrawAlphaBitmap, ScalesTheAlphaByAlphaOver256)
{
    BitmapPtr red = SolidBitmap(10, 10, 0xFFFF0000);
    const RECT destination{0, 0, 10, 10};
    const struct {
        BYTE alpha;
        QRgb expected;
    } cases[] = {{128, qRgb(255, 127, 127)}, {0, kWhite}, {255, qRgb(255, 1, 1)}};
    for (const auto& c : cases) {
        Canvas canvas(10, 10);
        Gdiplus_DrawAlphaBitmap(&canvas.graphics, &destination, red.get(), nullptr, 1, c.alpha);
        EXPECT_TRUE(Near(canvas.at(5, 5), c.expected, 2)) << int(c.alpha) << ": " << Hex(canvas.at(5, 5)).toStdString();
    }
}

TEST(DrawAlphaBitmap, UnstretchedDrawsTheTopLeftPartCentred)
{
    Canvas canvas;
    BitmapPtr source = SolidBitmap(10, 10, kMark);
    const RECT destination{0, 0, 30, 30};
    Gdiplus_DrawAlphaBitmap(&canvas.graphics, &destination, source.get(), nullptr, 0, 255);
    EXPECT_TRUE(Near(canvas.at(10, 10), kMark, 2));
    EXPECT_TRUE(Near(canvas.at(19, 19), kMark, 2));
    EXPECT_EQ(canvas.at(9, 10), kWhite);
    EXPECT_EQ(canvas.at(20, 19), kWhite);

    Canvas second;
    BitmapPtr big = CoordinateBitmap(40, 40);
    const RECT small{0, 0, 20, 20};
    Gdiplus_DrawAlphaBitmap(&second.graphics, &small, big.get(), nullptr, 0, 255);
    EXPECT_TRUE(Near(second.at(19, 19), qRgb(19, 19, 0), 2));
}

TEST(DrawRect, PenWidthStaysInsideRightAndBottom)
{
    Canvas canvas(20, 20);
    const RECT rect{0, 0, 10, 10};
    Gdiplus_DrawRect(&canvas.graphics, &rect, kMark, 2.0f);
    // The stroke of (0, 0, 8, 8) at width 2 reaches at most x, y = 8.
    EXPECT_EQ(canvas.at(0, 5), kMark);
    EXPECT_EQ(canvas.at(8, 5), kMark);
    EXPECT_EQ(canvas.at(5, 8), kMark);
    EXPECT_EQ(canvas.at(5, 5), kWhite);
    EXPECT_EQ(canvas.markedArea().right(), 8);
    EXPECT_EQ(canvas.markedArea().bottom(), 8);
}

TEST(FillRect, FillsTheRectangleWithTheBrush)
{
    Canvas canvas(20, 20);
    const Gdiplus::SolidBrush brush(kMark);
    const RECT rect{3, 4, 9, 7};
    Gdiplus_FillRect(&canvas.graphics, &rect, &brush);
    EXPECT_EQ(canvas.markedArea(), QRect(3, 4, 6, 3));
}

TEST(FillPolygon, UsesTheEvenOddRule)
{
    Canvas canvas(50, 50);
    const Gdiplus::SolidBrush brush(kMark);
    // An outer and an inner square in one outline: the inner one is a hole.
    const std::vector<POINT> ring = {{0, 0},   {40, 0},  {40, 40}, {0, 40},  {0, 0},
                                     {10, 10}, {30, 10}, {30, 30}, {10, 30}, {10, 10}};
    Gdiplus_FillPolygon(&canvas.graphics, ring.data(), int(ring.size()), &brush);
    EXPECT_EQ(canvas.at(5, 5), kMark);
    EXPECT_EQ(canvas.at(35, 20), kMark);
    EXPECT_EQ(canvas.at(20, 20), kWhite);
    EXPECT_EQ(canvas.at(45, 45), kWhite);

    Gdiplus_FillPolygon(&canvas.graphics, nullptr, 3, &brush);
    EXPECT_EQ(canvas.graphics.GetLastStatus(), Gdiplus::InvalidParameter);
}

TEST(DrawText, DrawsInsideTheLayoutAndKeepsTheAntiAliasHint)
{
    Canvas canvas(200, 60);
    const Gdiplus::RectF layout{10, 10, 180, 30};
    const ARGB black = 0xFF000000;
    Gdiplus_DrawText(&canvas.graphics, u"Hello, world", &layout, &black, nullptr, nullptr);
    int inked = 0;
    int outside = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            if (canvas.at(x, y) != kWhite) (QRect(10, 10, 180, 30).contains(x, y) ? inked : outside)++;
    EXPECT_GT(inked, 20);
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(canvas.graphics.GetTextRenderingHint(), Gdiplus::TextRenderingHintAntiAlias);
}

TEST(DrawText, EmptyOrMissingTextDrawsNothing)
{
    Canvas canvas(50, 20);
    const Gdiplus::RectF layout{0, 0, 50, 20};
    const ARGB black = 0xFF000000;
    Gdiplus_DrawText(&canvas.graphics, u"", &layout, &black, nullptr, nullptr);
    Gdiplus_DrawText(&canvas.graphics, nullptr, &layout, &black, nullptr, nullptr);
    for (int x = 0; x < 50; ++x) ASSERT_EQ(canvas.at(x, 10), kWhite);
}

TEST(GetStringFormat, MarksRightToLeftLanguages)
{
    const struct {
        UINT language;
        BOOL rtl;
    } cases[] = {{0x0401, 1}, {0x040D, 1}, {0x7FFF040D, 1}, {0x0409, 0}, {0x0804, 0}, {0x0C01, 0}};
    for (const auto& c : cases) EXPECT_EQ(Gdiplus_GetStringFormat(c.language), c.rtl) << std::hex << c.language;
}

TEST(Drawing, NullSurfacesAndBitmapsAreIgnored)
{
    BitmapPtr source = SolidBitmap(4, 4, kMark);
    const RECT rect{0, 0, 4, 4};
    const Gdiplus::SolidBrush brush(kMark);
    const POINT points[3] = {{0, 0}, {3, 0}, {0, 3}};
    const ARGB colour = kMark;
    const Gdiplus::RectF layout{0, 0, 10, 10};
    Gdiplus_DrawBitmap(nullptr, &rect, source.get(), nullptr, 0);
    Gdiplus_DrawAlphaBitmap(nullptr, &rect, source.get(), nullptr, 1, 128);
    Gdiplus_FillRect(nullptr, &rect, &brush);
    Gdiplus_FillPolygon(nullptr, points, 3, &brush);
    Gdiplus_DrawRect(nullptr, &rect, kMark, 1.0f);
    Gdiplus_DrawText(nullptr, u"x", &layout, &colour, nullptr, nullptr);

    Canvas canvas(8, 8);
    Gdiplus_DrawBitmap(&canvas.graphics, &rect, nullptr, nullptr, 0);
    Gdiplus_DrawAlphaBitmap(&canvas.graphics, &rect, nullptr, nullptr, 1, 128);
    EXPECT_EQ(canvas.markedArea(), QRect());
}

TEST(Graphics, CannotDrawOnPalettePixels)
{
    BitmapPtr indexed(Gdiplus_CreateBitmap(4, 4, PixelFormat8bppIndexed));
    Gdiplus::Graphics graphics(indexed.get());
    EXPECT_EQ(graphics.painter(), nullptr);
    EXPECT_EQ(graphics.GetLastStatus(), Gdiplus::OutOfMemory);
    const RECT rect{0, 0, 4, 4};
    const Gdiplus::SolidBrush brush(kMark);
    Gdiplus_FillRect(&graphics, &rect, &brush);
    EXPECT_EQ(graphics.GetLastStatus(), Gdiplus::WrongState);
}
