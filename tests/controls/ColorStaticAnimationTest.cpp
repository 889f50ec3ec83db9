#include "ColorStatic.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

#include "GdiplusApi.h"
#include "GifTestFile.h"
#include "InkProbe.h"
#include "QtPrinters.h"

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);

// A shown control with a 3-frame GIF (red, green, blue) loaded, ticked by hand:
// the interval is long enough that the real timer never fires during a test.
class GifAnimation : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(directory.isValid());
        path = directory.filePath(QStringLiteral("three.gif"));
        ASSERT_TRUE(WriteSolidColourGif(path, 8, 6, {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)}, 5));
        control.resize(40, 30);
        control.SetStyle(RGB(255, 0, 255), u"", 40, 2);
        control.show();
    }

    bool Start(int intervalMs = 60000)
    {
        return control.StartGifAnimation(QFile::encodeName(path).constData(), intervalMs);
    }

    // The colour in the middle of the control as painted now.
    QColor Shown() { return QColor(Rendered(control).pixel(20, 15)); }

    QTemporaryDir directory;
    QString path;
    CColorStatic control;
};

TEST_F(GifAnimation, StepsFrameByFrameAndStopsAtTheEndWithoutLoop)
{
    control.SetLoop(0);
    ASSERT_TRUE(Start());
    EXPECT_TRUE(control.IsAnimating());
    EXPECT_EQ(Shown(), kRed);
    control.OnTimer(CColorStatic::kAnimationTimerId);
    EXPECT_EQ(Shown(), kGreen);
    control.OnTimer(CColorStatic::kAnimationTimerId);
    EXPECT_EQ(Shown(), kBlue);
    EXPECT_TRUE(control.IsAnimating());
    // Coming round to the first frame ends a non-looping animation.
    control.OnTimer(CColorStatic::kAnimationTimerId);
    EXPECT_FALSE(control.IsAnimating());
    EXPECT_EQ(Shown(), kRed);
}

TEST_F(GifAnimation, RewindsToTheFirstFrameWhenAsked)
{
    control.SetLoop(0);
    control.SetRewind(1);
    ASSERT_TRUE(Start());
    for (int tick = 0; tick < 3; ++tick)
        control.OnTimer(CColorStatic::kAnimationTimerId);
    EXPECT_FALSE(control.IsAnimating());
    EXPECT_EQ(Shown(), kRed);
}

TEST_F(GifAnimation, LoopsWithoutEndByDefault)
{
    ASSERT_TRUE(Start());
    const std::vector<QColor> expected{kGreen, kBlue, kRed, kGreen, kBlue, kRed, kGreen};
    for (const QColor& colour : expected) {
        control.OnTimer(CColorStatic::kAnimationTimerId);
        EXPECT_EQ(Shown(), colour);
    }
    EXPECT_TRUE(control.IsAnimating());
}

TEST_F(GifAnimation, OtherTimersAndHiddenTicksChangeNothing)
{
    ASSERT_TRUE(Start());
    control.OnTimer(2);
    control.OnTimer(0);
    EXPECT_EQ(Shown(), kRed);
    control.hide();
    control.OnTimer(CColorStatic::kAnimationTimerId);
    control.show();
    EXPECT_EQ(Shown(), kRed);
    control.OnTimer(CColorStatic::kAnimationTimerId);
    EXPECT_EQ(Shown(), kGreen);

    // A tick with no GIF loaded leaves a plain picture alone.
    std::vector<std::uint32_t> white(4, 0xFFFFFFFFu);
    Gdiplus::Bitmap* bitmap = Gdiplus_LoadBitmapFromImageBits(white.data(), 2, 2, 8, PixelFormat32bppARGB);
    control.SetBitmap(bitmap);
    Gdiplus_DeleteBitmap(bitmap);
    control.OnTimer(CColorStatic::kAnimationTimerId);
    EXPECT_EQ(Shown(), QColor(Qt::white));
}

TEST_F(GifAnimation, TheRealTimerPlaysItThrough)
{
    control.SetLoop(0);
    ASSERT_TRUE(Start(5));
    EXPECT_TRUE(QTest::qWaitFor([this] { return !control.IsAnimating(); }, 5000));
    EXPECT_EQ(Shown(), kRed);
}

TEST_F(GifAnimation, NewPicturesAndStylesStopIt)
{
    ASSERT_TRUE(Start());
    control.SetBitmap(nullptr);
    EXPECT_FALSE(control.IsAnimating());
    EXPECT_EQ(control.GetImage(), nullptr);
    EXPECT_EQ(Shown(), QColor(255, 0, 255));

    ASSERT_TRUE(Start());
    control.SetStyle(RGB(0, 0, 0), nullptr, 30, 0);
    EXPECT_FALSE(control.IsAnimating());
    EXPECT_EQ(control.GetImage(), nullptr);
    EXPECT_EQ(Shown(), QColor(0, 0, 0));
}

TEST_F(GifAnimation, ASingleFrameFromMemoryIsShownStill)
{
    const QString still = directory.filePath(QStringLiteral("still.gif"));
    ASSERT_TRUE(WriteSolidColourGif(still, 4, 4, {qRgb(0, 0, 255)}, 0));
    QFile file(still);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_TRUE(control.StartGifAnimationFromData(bytes.constData(), std::size_t(bytes.size())));
    EXPECT_FALSE(control.IsAnimating());
    EXPECT_EQ(Shown(), kBlue);
}

TEST_F(GifAnimation, UnreadableGifsLeaveTheBackground)
{
    ASSERT_TRUE(Start());
    const QByteArray garbage("GIF89a\x08\x00\x06\x00\xff\xff\xff", 13);
    const QByteArray notGif("\x89PNG\r\n\x1a\n", 8);
    const QByteArray truncated = [this] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.read(20) : QByteArray();
    }();
    for (const QByteArray& bytes : {garbage, notGif, truncated}) {
        EXPECT_FALSE(control.StartGifAnimationFromData(bytes.constData(), std::size_t(bytes.size())));
        EXPECT_FALSE(control.IsAnimating());
        EXPECT_EQ(control.GetImage(), nullptr);
        EXPECT_EQ(Shown(), QColor(255, 0, 255));
    }
    EXPECT_FALSE(control.StartGifAnimationFromData(nullptr, 10));
    EXPECT_FALSE(control.StartGifAnimation(nullptr));
    EXPECT_FALSE(control.StartGifAnimation(directory.filePath(QStringLiteral("missing.gif")).toUtf8().constData()));
    EXPECT_EQ(Shown(), QColor(255, 0, 255));
}

}  // namespace
