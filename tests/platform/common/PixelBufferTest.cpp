#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

#include "PixelBuffer.h"

namespace {

constexpr DWORD A = 0xFF112233, B = 0xFF445566, C = 0xFF778899;
constexpr DWORD kGuard = 0xDEADBEEF;

// A width x height 32-bit buffer with `pad` guard pixels at the end of every row and
// a guard row after the last one; the guards must never change.
struct TestBuffer {
    TestBuffer(int w, int h, int pad = 0) : width(w), height(h), stride((w + pad) * 4)
    {
        pixels.assign(std::size_t((w + pad) * (h + 1)), kGuard);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                At(x, y) = 0;
    }
    DWORD& At(int x, int y) { return pixels[std::size_t(y * (stride / 4) + x)]; }
    int CountSet()
    {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                n += At(x, y) != 0;
        return n;
    }
    bool GuardsIntact()
    {
        for (int y = 0; y <= height; ++y)
            for (int x = 0; x < stride / 4; ++x)
                if ((y == height || x >= width) && At(x, y) != kGuard)
                    return false;
        return true;
    }
    void Line(POINT s, POINT e, const std::vector<DWORD>& pattern, int skipZero = 0)
    {
        DrawLineOnBuffer(pixels.data(), s, e, width, height, stride, 4, int(pattern.size()), pattern.data(),
                         skipZero);
    }
    int width, height, stride;
    std::vector<DWORD> pixels;
};

TEST(CreateHBitmap, MakesZeroedTopDownRows)
{
    void* pixels = nullptr;
    HBITMAP bmp = CreateHBitmap(&pixels, 3, 2, 32, 0, 0);
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(bmp->width, 3);
    EXPECT_EQ(bmp->height, 2);
    EXPECT_EQ(bmp->stride, 12);
    EXPECT_TRUE(bmp->topDown);
    ASSERT_EQ(bmp->bits.size(), 24u);
    EXPECT_EQ(pixels, bmp->bits.data());
    for (BYTE b : bmp->bits)
        EXPECT_EQ(b, 0);
    EXPECT_EQ(DeleteObject(bmp), 1);

    bmp = CreateHBitmap(nullptr, 3, -5, 24, 0, 0);  // negative height: same picture
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(bmp->height, 5);
    EXPECT_EQ(bmp->stride, 12);  // 9 bytes padded to 12
    DeleteObject(bmp);
    bmp = CreateHBitmap(nullptr, 33, 1, 1, 0, 0);
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(bmp->stride, 8);
    DeleteObject(bmp);
}

TEST(CreateHBitmap, RefusesBadArguments)
{
    void* pixels = &pixels;
    EXPECT_EQ(CreateHBitmap(&pixels, 0, 5, 32, 0, 0), nullptr);
    EXPECT_EQ(pixels, nullptr);
    EXPECT_EQ(CreateHBitmap(nullptr, 5, 0, 32, 0, 0), nullptr);
    EXPECT_EQ(CreateHBitmap(nullptr, -5, 5, 32, 0, 0), nullptr);
    EXPECT_EQ(CreateHBitmap(nullptr, 5, 5, 7, 0, 0), nullptr);
    EXPECT_EQ(CreateHBitmap(nullptr, INT_MAX, INT_MAX, 32, 0, 0), nullptr);
    EXPECT_EQ(DeleteObject(HBITMAP(nullptr)), 0);
    EXPECT_EQ(DeleteObject(new RectRegion), 1);
    EXPECT_EQ(DeleteObject(HRGN(nullptr)), 0);
}

TEST(DrawColorOnBuffer, FillsTheClippedRectangle)
{
    // The buffer's width is stride / 4 here (no width parameter): no row padding.
    TestBuffer buf(8, 6);
    RECT r;
    SetRectXY(&r, -2, -2, 5, 4);  // (-2,-2)-(3,2)
    DrawColorOnBuffer(A, buf.pixels.data(), r, buf.stride, buf.height);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(buf.At(x, y), (x < 3 && y < 2) ? A : 0u) << x << "," << y;
    DrawColorOnBuffer(B, buf.pixels.data(), RECT{6, 4, 1000, 1000}, buf.stride, buf.height);
    EXPECT_EQ(buf.At(7, 5), B);
    EXPECT_EQ(buf.At(6, 4), B);
    DrawColorOnBuffer(C, buf.pixels.data(), RECT{20, 20, 30, 30}, buf.stride, buf.height);
    DrawColorOnBuffer(C, buf.pixels.data(), RECT{INT_MIN, INT_MIN, INT_MIN + 1, INT_MAX}, buf.stride, buf.height);
    EXPECT_EQ(buf.CountSet(), 6 + 4);
    EXPECT_TRUE(buf.GuardsIntact());
}

TEST(DrawLineOnBuffer, RepeatsThePatternIncludingBothEnds)
{
    TestBuffer buf(10, 4);
    buf.Line({1, 1}, {6, 1}, {A, B, C});
    const DWORD expected[] = {0, A, B, C, A, B, C, 0, 0, 0};
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(buf.At(x, 1), expected[x]) << x;
    // Drawn backwards the pattern starts at the given start point.
    buf.Line({8, 3}, {6, 3}, {A, B});
    EXPECT_EQ(buf.At(8, 3), A);
    EXPECT_EQ(buf.At(7, 3), B);
    EXPECT_EQ(buf.At(6, 3), A);
    // A single point.
    buf.Line({0, 0}, {0, 0}, {C});
    EXPECT_EQ(buf.At(0, 0), C);
}

TEST(DrawLineOnBuffer, PicksOnePixelPerStepClosestToTheLine)
{
    const POINT ends[][2] = {{{0, 0}, {19, 7}}, {{2, 19}, {9, 0}}, {{19, 3}, {0, 16}}, {{5, 0}, {6, 19}}};
    for (const auto& e : ends) {
        TestBuffer buf(20, 20);
        buf.Line(e[0], e[1], {A});
        const int dx = e[1].x - e[0].x, dy = e[1].y - e[0].y;
        const int steps = std::max(std::abs(dx), std::abs(dy));
        EXPECT_EQ(buf.CountSet(), steps + 1);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                if (buf.At(x, y)) {
                    // Distance along the minor axis from the ideal line: at most half a pixel.
                    double off;
                    if (std::abs(dx) >= std::abs(dy))
                        off = std::abs(e[0].y + double(dy) * (x - e[0].x) / dx - y);
                    else
                        off = std::abs(e[0].x + double(dx) * (y - e[0].y) / dy - x);
                    EXPECT_LE(off, 0.5 + 1e-9) << x << "," << y;
                }
        EXPECT_EQ(buf.At(e[0].x, e[0].y), A);
        EXPECT_EQ(buf.At(e[1].x, e[1].y), A);
    }
}

TEST(DrawLineOnBuffer, ClipsToTheBufferKeepingThePatternPhase)
{
    TestBuffer buf(10, 10, 3);
    buf.Line({-3, 2}, {30, 2}, {A, B});  // pixel x is step x + 3
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(buf.At(x, 2), (x + 3) % 2 == 0 ? A : B) << x;
    buf.Line({4, -50}, {4, 50}, {C});
    for (int y = 0; y < 10; ++y)
        EXPECT_NE(buf.At(4, y), 0u);
    EXPECT_TRUE(buf.GuardsIntact());
}

TEST(DrawLineOnBuffer, HugeCoordinatesStayInsideAndCostNothing)
{
    TestBuffer buf(10, 10, 2);
    const auto t0 = std::chrono::steady_clock::now();
    buf.Line({INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {A});
    buf.Line({INT_MIN, 5}, {INT_MAX, 5}, {B});
    buf.Line({INT_MAX, INT_MIN}, {INT_MIN, INT_MAX}, {C});
    buf.Line({-1000000, 3}, {1000000, 7}, {A});
    buf.Line({INT_MIN, INT_MIN}, {INT_MIN + 3, INT_MAX}, {A});  // entirely left of the buffer
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(200));
    EXPECT_EQ(buf.At(0, 0), A);
    EXPECT_EQ(buf.At(9, 9), A);
    for (int x = 0; x < 10; ++x)
        EXPECT_NE(buf.At(x, 5), 0u);
    EXPECT_TRUE(buf.GuardsIntact());

    TestBuffer untouched(10, 10, 1);
    untouched.Line({-5, -5}, {-1, 20}, {A});
    untouched.Line({10, 0}, {100, 9}, {A});
    untouched.Line({0, 10}, {9, 10}, {A});
    EXPECT_EQ(untouched.CountSet(), 0);
    EXPECT_TRUE(untouched.GuardsIntact());
}

TEST(DrawLineOnBuffer, ZeroPatternValuesSkipOnlyWhenAsked)
{
    TestBuffer buf(6, 2);
    for (int x = 0; x < 6; ++x)
        buf.At(x, 0) = buf.At(x, 1) = C;
    buf.Line({0, 0}, {5, 0}, {A, 0}, 1);
    buf.Line({0, 1}, {5, 1}, {A, 0}, 0);
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(buf.At(x, 0), x % 2 == 0 ? A : C);
        EXPECT_EQ(buf.At(x, 1), x % 2 == 0 ? A : 0u);
    }
}

TEST(DrawLineOnBuffer, IgnoresMissingPatternOrBuffer)
{
    TestBuffer buf(4, 4);
    buf.Line({0, 0}, {3, 3}, {});
    DrawLineOnBuffer(nullptr, {0, 0}, {3, 3}, 4, 4, 16, 4, 1, &A, 0);
    EXPECT_EQ(buf.CountSet(), 0);
}

TEST(Rects, SetRectXYAndBoundRect)
{
    RECT r;
    SetRectXY(&r, 10, 20, 30, 40);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right, 40);
    EXPECT_EQ(r.bottom, 60);

    RECT clipped;
    EXPECT_EQ(BoundRect(&clipped, RECT{-5, 5, 50, 15}, RECT{0, 0, 20, 10}), 1);
    EXPECT_EQ(clipped.left, 0);
    EXPECT_EQ(clipped.top, 5);
    EXPECT_EQ(clipped.right, 20);
    EXPECT_EQ(clipped.bottom, 10);

    EXPECT_EQ(BoundRect(&clipped, RECT{30, 30, 40, 40}, RECT{0, 0, 20, 10}), 0);
    EXPECT_EQ(clipped.left | clipped.top | clipped.right | clipped.bottom, 0);

    r = RECT{-5, -5, 5, 5};
    EXPECT_EQ(BoundRect(&r, r, RECT{0, 0, 10, 10}), 1);  // result may overwrite the input
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 5);
}

double Linear(BYTE c)
{
    const double v = c / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

TEST(CommonColorTable, FiftyDistinctColoursReadableOnWhite)
{
    static_assert(kCommonColorRows >= 5 && kCommonColorColumns == 10);
    std::set<COLORREF> seen;
    for (int r = 0; r < kCommonColorRows; ++r)
        for (int c = 0; c < kCommonColorColumns; ++c) {
            const COLORREF colour = gCommonColorTable[r][c];
            EXPECT_EQ(colour >> 24, 0u);
            EXPECT_TRUE(seen.insert(colour).second) << r << "," << c;
            const double luminance = 0.2126 * Linear(GetRValue(colour)) + 0.7152 * Linear(GetGValue(colour)) +
                                     0.0722 * Linear(GetBValue(colour));
            // WCAG contrast against white of at least 3:1 (the level for graphics).
            EXPECT_GE(1.05 / (luminance + 0.05), 3.0) << r << "," << c;
        }
}

}  // namespace
