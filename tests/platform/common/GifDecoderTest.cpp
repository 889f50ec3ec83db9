#include <gtest/gtest.h>

#include <gif_lib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "GifDecoder.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kClear = 0x00000000;
constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kYellow = 0xFFFFFF00;

struct FrameDesc {
    int left, top, width, height;
    std::vector<GifPixelType> pixels;  // width * height indices
    int disposal;
    int transparent;  // NO_TRANSPARENT_COLOR for none
    int delayCs;      // hundredths of a second
    bool localYellowPalette = false;  // index 1 is yellow instead of red
};

// Writes a 4x4 GIF89a with the global palette black, red, green, blue.
void WriteGif(const std::string& path, const std::vector<FrameDesc>& frames)
{
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    ASSERT_NE(gif, nullptr) << error;
    EGifSetGifVersion(gif, true);
    const GifColorType global[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    ColorMapObject* globalMap = GifMakeMapObject(4, global);
    ASSERT_EQ(EGifPutScreenDesc(gif, 4, 4, 8, 0, globalMap), GIF_OK);
    const GifColorType local[4] = {{0, 0, 0}, {255, 255, 0}, {0, 255, 0}, {0, 0, 255}};
    ColorMapObject* localMap = GifMakeMapObject(4, local);
    for (const FrameDesc& f : frames) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = f.disposal;
        gcb.UserInputFlag = false;
        gcb.DelayTime = f.delayCs;
        gcb.TransparentColor = f.transparent;
        GifByteType ext[4];
        const std::size_t n = EGifGCBToExtension(&gcb, ext);
        ASSERT_EQ(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(n), ext), GIF_OK);
        // giflib 5.2.1 drops (leaks) the previous frame's local map when the next frame
        // has none; free it here.
        if (!f.localYellowPalette && gif->Image.ColorMap) {
            GifFreeMapObject(gif->Image.ColorMap);
            gif->Image.ColorMap = nullptr;
        }
        ASSERT_EQ(EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, false,
                                   f.localYellowPalette ? localMap : nullptr),
                  GIF_OK);
        std::vector<GifPixelType> row;
        for (int y = 0; y < f.height; ++y) {
            row.assign(f.pixels.begin() + y * f.width, f.pixels.begin() + (y + 1) * f.width);
            ASSERT_EQ(EGifPutLine(gif, row.data(), f.width), GIF_OK);
        }
    }
    ASSERT_EQ(EGifCloseFile(gif, &error), GIF_OK) << error;
    GifFreeMapObject(globalMap);
    GifFreeMapObject(localMap);
}

std::vector<std::uint32_t> Canvas(const CGifDecoder& d)
{
    const std::uint32_t* p = d.GetGifFrameBuffer();
    return std::vector<std::uint32_t>(p, p + d.GetGifWidth() * d.GetGifHeight());
}

std::vector<std::uint32_t> Filled(std::uint32_t colour)
{
    return std::vector<std::uint32_t>(16, colour);
}

class GifDecoderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = (fs::temp_directory_path() /
                ("vetra_gif_" + std::to_string(getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".gif"))
                   .string();
    }
    void TearDown() override { fs::remove(path); }
    std::string path;
};

// Frame 0 fills red and stays; frame 1 paints green with a transparent hole and asks to be
// restored to what was before it (disposal 3); frame 2 paints blue and clears itself (2).
std::vector<FrameDesc> RestorePreviousAnimation()
{
    return {
        {0, 0, 4, 4, std::vector<GifPixelType>(16, 1), DISPOSE_DO_NOT, NO_TRANSPARENT_COLOR, 10},
        {1, 1, 2, 2, {2, 0, 2, 2}, DISPOSE_PREVIOUS, 0, 20},
        {0, 0, 2, 1, {3, 3}, DISPOSE_BACKGROUND, NO_TRANSPARENT_COLOR, 30},
    };
}

TEST_F(GifDecoderTest, CompositesTransparencyAndRestoreToPrevious)
{
    WriteGif(path, RestorePreviousAnimation());
    CGifDecoder d;
    ASSERT_TRUE(d.LoadFile(path.c_str()));
    EXPECT_TRUE(d.IsLoaded());
    EXPECT_EQ(d.GetFrameCount(), 3);
    EXPECT_EQ(d.GetGifWidth(), 4);
    EXPECT_EQ(d.GetGifHeight(), 4);
    EXPECT_EQ(d.GetCurFrameIndex(), -1);

    ASSERT_TRUE(d.DecNextFrame(false));
    EXPECT_EQ(d.GetCurFrameIndex(), 0);
    EXPECT_EQ(d.GetCurFrameDelay(), 100);
    EXPECT_EQ(Canvas(d), Filled(kRed));

    ASSERT_TRUE(d.DecNextFrame(false));
    EXPECT_EQ(d.GetCurFrameIndex(), 1);
    EXPECT_EQ(d.GetCurFrameDelay(), 200);
    auto expected = Filled(kRed);
    expected[1 * 4 + 1] = kGreen;
    expected[1 * 4 + 2] = kRed;  // transparent index: the red below shows
    expected[2 * 4 + 1] = kGreen;
    expected[2 * 4 + 2] = kGreen;
    EXPECT_EQ(Canvas(d), expected);

    ASSERT_TRUE(d.DecNextFrame(false));
    EXPECT_EQ(d.GetCurFrameIndex(), 2);
    expected = Filled(kRed);  // frame 1 restored what was before it
    expected[0] = kBlue;
    expected[1] = kBlue;
    EXPECT_EQ(Canvas(d), expected);

    // After the last frame the index wraps to 0 on a fresh canvas.
    ASSERT_TRUE(d.DecNextFrame(false));
    EXPECT_EQ(d.GetCurFrameIndex(), 0);
    EXPECT_EQ(Canvas(d), Filled(kRed));
}

TEST_F(GifDecoderTest, RestoreToBackgroundClearsTheFrameArea)
{
    WriteGif(path, {
        {0, 0, 4, 4, std::vector<GifPixelType>(16, 1), DISPOSAL_UNSPECIFIED, NO_TRANSPARENT_COLOR, 0},
        {1, 1, 2, 2, {2, 2, 2, 2}, DISPOSE_BACKGROUND, NO_TRANSPARENT_COLOR, 0},
        {3, 3, 1, 1, {3}, DISPOSAL_UNSPECIFIED, NO_TRANSPARENT_COLOR, 0},
    });
    CGifDecoder d;
    ASSERT_TRUE(d.LoadFile(path.c_str()));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(d.DecNextFrame(false));
    auto expected = Filled(kRed);
    for (int y = 1; y <= 2; ++y)
        for (int x = 1; x <= 2; ++x)
            expected[std::size_t(y * 4 + x)] = kClear;
    expected[15] = kBlue;
    EXPECT_EQ(Canvas(d), expected);
    EXPECT_EQ(d.GetCurFrameDelay(), 0);
}

TEST_F(GifDecoderTest, FramesOutsideTheCanvasAreSkippedAndTheirDisposalTouchesNothing)
{
    // Frame positions come from the file: one right of the canvas (rows inside it) and
    // one below it, both cleared to the background afterwards.
    WriteGif(path, {
        {0, 0, 4, 4, std::vector<GifPixelType>(16, 1), DISPOSAL_UNSPECIFIED, NO_TRANSPARENT_COLOR, 0},
        {40, 1, 2, 2, {2, 2, 2, 2}, DISPOSE_BACKGROUND, NO_TRANSPARENT_COLOR, 0},
        {1, 9, 2, 2, {3, 3, 3, 3}, DISPOSE_BACKGROUND, NO_TRANSPARENT_COLOR, 0},
        {3, 3, 1, 1, {3}, DISPOSAL_UNSPECIFIED, NO_TRANSPARENT_COLOR, 0},
    });
    CGifDecoder d;
    ASSERT_TRUE(d.LoadFile(path.c_str()));
    ASSERT_EQ(d.GetGifWidth(), 4);
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(d.DecNextFrame(false));
    auto expected = Filled(kRed);
    expected[15] = kBlue;
    EXPECT_EQ(Canvas(d), expected);
}

TEST_F(GifDecoderTest, LoadsFromMemoryAndUsesLocalPalettes)
{
    WriteGif(path, {
        {0, 0, 4, 4, std::vector<GifPixelType>(16, 0), DISPOSE_DO_NOT, NO_TRANSPARENT_COLOR, 5},
        {0, 0, 4, 1, {1, 1, 1, 1}, DISPOSE_DO_NOT, NO_TRANSPARENT_COLOR, 5, true},
        {0, 3, 4, 1, {1, 1, 1, 1}, DISPOSE_DO_NOT, NO_TRANSPARENT_COLOR, 5},
    });
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CGifDecoder d;
    ASSERT_TRUE(d.LoadData(bytes.data(), bytes.size()));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(d.DecNextFrame(false));
    auto expected = Filled(kBlack);
    for (int x = 0; x < 4; ++x) {
        expected[std::size_t(x)] = kYellow;       // local palette
        expected[std::size_t(12 + x)] = kRed;     // global palette again
    }
    EXPECT_EQ(Canvas(d), expected);

    d.ResetGifFrameIndex();
    EXPECT_EQ(d.GetCurFrameIndex(), -1);
    ASSERT_TRUE(d.DecNextFrame(false));
    EXPECT_EQ(d.GetCurFrameIndex(), 0);
    EXPECT_EQ(Canvas(d), Filled(kBlack));
}

TEST_F(GifDecoderTest, BadDataLeavesTheDecoderUnloaded)
{
    WriteGif(path, RestorePreviousAnimation());
    CGifDecoder d;
    ASSERT_TRUE(d.LoadFile(path.c_str()));
    const char junk[] = "GIF89a but not really a picture";
    EXPECT_FALSE(d.LoadData(junk, sizeof junk));
    EXPECT_FALSE(d.IsLoaded());
    EXPECT_EQ(d.GetGifFrameBuffer(), nullptr);
    EXPECT_EQ(d.GetFrameCount(), 0);
    EXPECT_FALSE(d.DecNextFrame(false));
    EXPECT_FALSE(d.LoadFile((path + ".missing").c_str()));
    EXPECT_FALSE(d.LoadData(nullptr, 0));

    ASSERT_TRUE(d.LoadFile(path.c_str()));
    d.Unload();
    EXPECT_FALSE(d.IsLoaded());
    EXPECT_EQ(d.GetGifWidth(), 0);
}

TEST_F(GifDecoderTest, TruncatedFileKeepsTheCompleteFrames)
{
    WriteGif(path, RestorePreviousAnimation());
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CGifDecoder d;
    // Without the trailer byte every frame is still complete.
    ASSERT_TRUE(d.LoadData(bytes.data(), bytes.size() - 1));
    EXPECT_EQ(d.GetFrameCount(), 3);
    // Cut into the last frame's picture data: that frame is dropped.
    ASSERT_TRUE(d.LoadData(bytes.data(), bytes.size() - 3));
    EXPECT_EQ(d.GetFrameCount(), 2);
}

TEST_F(GifDecoderTest, DeinterlacesInterlacedFrames)
{
    // An 1x8 interlaced frame: rows arrive in the order 0, 4, 2, 6, 1, 3, 5, 7.
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    ASSERT_NE(gif, nullptr);
    const GifColorType colours[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    ColorMapObject* map = GifMakeMapObject(4, colours);
    ASSERT_EQ(EGifPutScreenDesc(gif, 1, 8, 8, 0, map), GIF_OK);
    ASSERT_EQ(EGifPutImageDesc(gif, 0, 0, 1, 8, true, nullptr), GIF_OK);
    const int rowOrder[8] = {0, 4, 2, 6, 1, 3, 5, 7};
    for (int row : rowOrder) {
        GifPixelType p = GifPixelType(row % 4);
        ASSERT_EQ(EGifPutLine(gif, &p, 1), GIF_OK);
    }
    ASSERT_EQ(EGifCloseFile(gif, &error), GIF_OK);
    GifFreeMapObject(map);

    CGifDecoder d;
    ASSERT_TRUE(d.LoadFile(path.c_str()));
    ASSERT_TRUE(d.DecNextFrame(false));
    const std::uint32_t expected[4] = {kBlack, kRed, kGreen, kBlue};
    for (int y = 0; y < 8; ++y)
        EXPECT_EQ(d.GetGifFrameBuffer()[y], expected[y % 4]) << y;
}

}  // namespace
