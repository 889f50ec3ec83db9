// Bitmap objects: creation, copies, last status, pixels over caller memory, decoding
// from bytes and files, and locking.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "BitmapTestSupport.h"

namespace {

QByteArray EncodePng(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QImage TwoColourImage()
{
    QImage image(8, 4, QImage::Format_ARGB32);
    image.fill(qRgba(255, 0, 0, 255));
    for (int y = 0; y < 4; ++y) image.setPixel(7, y, qRgba(0, 0, 255, 128));
    return image;
}

}  // namespace

TEST(CreateBitmap, HoldsEveryFormatWithALayoutOfItsOwn)
{
    for (PixelFormat format : {PixelFormat1bppIndexed, PixelFormat8bppIndexed, PixelFormat16bppGrayScale,
                               PixelFormat16bppRGB555, PixelFormat16bppRGB565, PixelFormat24bppRGB,
                               PixelFormat32bppRGB, PixelFormat32bppARGB, PixelFormat32bppPARGB}) {
        BitmapPtr bitmap(Gdiplus_CreateBitmap(5, 3, format));
        ASSERT_NE(bitmap, nullptr) << std::hex << format;
        EXPECT_EQ(bitmap->GetWidth(), 5u);
        EXPECT_EQ(bitmap->GetHeight(), 3u);
        EXPECT_EQ(bitmap->GetPixelFormat(), format);
        EXPECT_EQ(Gdiplus_BitmapOK(bitmap.get()), 1);
    }
}

TEST(CreateBitmap, RefusesSizesAndFormatsItCannotHold)
{
    struct Case {
        UINT width, height;
        PixelFormat format;
    };
    const Case cases[] = {
        {0, 10, PixelFormat32bppARGB},      {10, 0, PixelFormat32bppARGB},
        {10, 10, PixelFormatUndefined},     {10, 10, 0x30402 /* 4 bits */},
        {100000, 100000, PixelFormat32bppARGB}, {0x80000000u, 1, PixelFormat32bppARGB},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Gdiplus_CreateBitmap(c.width, c.height, c.format), nullptr) << c.width << "x" << c.height;
}

TEST(CopyBitmap, IsExactAndIndependentOfItsSource)
{
    const QByteArray png = EncodePng(TwoColourImage());
    BitmapPtr source(Gdiplus_LoadBitmapFromData(png.constData(), UINT(png.size())));
    ASSERT_NE(source, nullptr);
    BitmapPtr copy(Gdiplus_CopyBitmap(source.get()));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetPixelFormat(), source->GetPixelFormat());
    // A translucent pixel keeps its exact colour, no premultiplication round trip.
    EXPECT_EQ(PixelAt(*copy, 7, 0), qRgba(0, 0, 255, 128));

    source->image().setPixel(0, 0, qRgba(0, 255, 0, 255));
    EXPECT_EQ(PixelAt(*copy, 0, 0), qRgba(255, 0, 0, 255));
    EXPECT_EQ(Gdiplus_CopyBitmap(nullptr), nullptr);
}

TEST(CopyBitmap, KeepsPaletteIndices)
{
    BitmapPtr source(Gdiplus_CreateBitmap(4, 4, PixelFormat8bppIndexed));
    source->image().setPixel(1, 2, 5);
    BitmapPtr copy(Gdiplus_CopyBitmap(source.get()));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->image().pixelIndex(1, 2), 5);
    EXPECT_EQ(PixelAt(*copy, 1, 2), PixelAt(*source, 1, 2));
}

TEST(BitmapStatus, AFailureIsReportedOnceThenReset)
{
    BitmapPtr bitmap = SolidBitmap(4, 4, 0xFF00FF00);
    const std::u16string impossible = u"/nonexistent-folder/for/sure/picture.png";
    EXPECT_EQ(Gdiplus_SaveBitmapToFileW(bitmap.get(), impossible.c_str()), 0);
    EXPECT_EQ(Gdiplus_BitmapOK(bitmap.get()), 0);
    EXPECT_EQ(Gdiplus_BitmapOK(bitmap.get()), 1);

    Gdiplus_SaveBitmapToFileW(bitmap.get(), impossible.c_str());
    EXPECT_EQ(Gdiplus_BitmapLastError(bitmap.get()), Gdiplus::Win32Error);
    EXPECT_EQ(Gdiplus_BitmapLastError(bitmap.get()), Gdiplus::Ok);

    EXPECT_EQ(Gdiplus_BitmapOK(nullptr), 0);
    EXPECT_EQ(Gdiplus_BitmapLastError(nullptr), Gdiplus::GenericError);
    Gdiplus_DeleteBitmap(nullptr);
}

TEST(StartupRecord, IsStartedAndReleased)
{
    GdiplusStartupRecord* record = Gdiplus_Init();
    ASSERT_NE(record, nullptr);
    EXPECT_NE(record->token, 0u);
    EXPECT_EQ(record->input.GdiplusVersion, 1u);
    Gdiplus_DeInit(record);
    Gdiplus_DeInit(nullptr);
}

TEST(LoadBitmapFromImageBits, WorksOverTheCallersMemory)
{
    std::vector<DWORD> pixels(4 * 3, 0xFF0000FF);
    BitmapPtr bitmap(Gdiplus_LoadBitmapFromImageBits(pixels.data(), 4, 3, 16, PixelFormat32bppARGB));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(PixelAt(*bitmap, 1, 1), 0xFF0000FFu);

    pixels[1 * 4 + 1] = 0xFF00FF00;
    EXPECT_EQ(PixelAt(*bitmap, 1, 1), 0xFF00FF00u);

    // And writes through the bitmap land in the caller's memory.
    Gdiplus_SetBitmapAlpha(bitmap.get(), nullptr, 0x40, 0, 255);
    EXPECT_EQ(pixels[0] >> 24, 0x40u);
    EXPECT_EQ(pixels[11] >> 24, 0x40u);
}

TEST(LoadBitmapFromImageBits, PaletteIndicesStayInTheCallersMemory)
{
    std::vector<uchar> indices(8 * 2, 0);
    BitmapPtr bitmap(Gdiplus_LoadBitmapFromImageBits(indices.data(), 5, 2, 8, PixelFormat8bppIndexed));
    ASSERT_NE(bitmap, nullptr);
    const QRgb first = PixelAt(*bitmap, 4, 1);
    indices[8 + 4] = 215;  // the last entry of the colour cube: white
    EXPECT_NE(PixelAt(*bitmap, 4, 1), first);
    EXPECT_EQ(PixelAt(*bitmap, 4, 1), qRgb(255, 255, 255));
}

TEST(LoadBitmapFromImageBits, RefusesArgumentsThatWouldReadOutOfBounds)
{
    std::vector<DWORD> pixels(64);
    struct Case {
        void* data;
        UINT width, height;
        int stride;
        PixelFormat format;
    };
    const Case cases[] = {
        {nullptr, 4, 3, 16, PixelFormat32bppARGB},       {pixels.data(), 0, 3, 16, PixelFormat32bppARGB},
        {pixels.data(), 4, 0, 16, PixelFormat32bppARGB}, {pixels.data(), 4, 3, 0, PixelFormat32bppARGB},
        {pixels.data(), 4, 3, -16, PixelFormat32bppARGB}, {pixels.data(), 4, 3, 15, PixelFormat32bppARGB},
        {pixels.data(), 4, 3, 16, 0x30402},             {pixels.data(), 0x80000000u, 1, 16, PixelFormat32bppARGB},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Gdiplus_LoadBitmapFromImageBits(c.data, c.width, c.height, c.stride, c.format), nullptr)
            << c.width << "x" << c.height << " stride " << c.stride;
}

TEST(LoadBitmapFromData, OwnsItsPictureOnceDecoded)
{
    auto* bytes = new std::vector<char>();
    const QByteArray png = EncodePng(TwoColourImage());
    bytes->assign(png.begin(), png.end());
    BitmapPtr bitmap(Gdiplus_LoadBitmapFromData(bytes->data(), UINT(bytes->size())));
    delete bytes;
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->GetPixelFormat(), PixelFormat32bppARGB);
    BitmapPtr copy(Gdiplus_CopyBitmap(bitmap.get()));
    EXPECT_EQ(PixelAt(*copy, 0, 0), qRgba(255, 0, 0, 255));
    EXPECT_EQ(PixelAt(*copy, 7, 3), qRgba(0, 0, 255, 128));
}

TEST(LoadBitmapFromData, GivesNullForBytesThatAreNoPicture)
{
    const QByteArray png = EncodePng(TwoColourImage());
    const QByteArray truncated = png.left(png.size() / 2);
    const QByteArray text("just some words, no picture at all");
    QByteArray headerOnly = png.left(33);

    EXPECT_EQ(Gdiplus_LoadBitmapFromData(png.constData(), 0), nullptr);
    EXPECT_EQ(Gdiplus_LoadBitmapFromData(nullptr, 10), nullptr);
    EXPECT_EQ(Gdiplus_LoadBitmapFromData(text.constData(), UINT(text.size())), nullptr);
    EXPECT_EQ(Gdiplus_LoadBitmapFromData(truncated.constData(), UINT(truncated.size())), nullptr);
    EXPECT_EQ(Gdiplus_LoadBitmapFromData(headerOnly.constData(), UINT(headerOnly.size())), nullptr);
}

TEST(LoadBitmapFromFile, GivesNullForMissingOrNonPictureFiles)
{
    QTemporaryDir dir;
    const QString notPicture = dir.filePath(QStringLiteral("notes.png"));
    QFile file(notPicture);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("this is text");
    file.close();

    EXPECT_EQ(Gdiplus_LoadBitmapFromFileW(nullptr), nullptr);
    EXPECT_EQ(Gdiplus_LoadBitmapFromFileW(Wide(dir.filePath(QStringLiteral("missing.png"))).c_str()), nullptr);
    EXPECT_EQ(Gdiplus_LoadBitmapFromFileW(Wide(notPicture).c_str()), nullptr);
    EXPECT_EQ(Gdiplus_LoadBitmapFromFileA(notPicture.toUtf8().constData()), nullptr);
    EXPECT_EQ(Gdiplus_LoadBitmapFromFileW(Wide(dir.path()).c_str()), nullptr);
}

TEST(LoadBitmapFromFile, NarrowPathsLongerThanTheWideBufferFail)
{
    QTemporaryDir dir;
    QString folder = dir.path();
    while (folder.size() < 300) folder += QStringLiteral("/") + QString(40, QLatin1Char('d'));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/picture.png");
    ASSERT_TRUE(TwoColourImage().save(path, "PNG"));

    BitmapPtr wide(Gdiplus_LoadBitmapFromFileW(Wide(path).c_str()));
    EXPECT_NE(wide, nullptr);
    EXPECT_EQ(Gdiplus_LoadBitmapFromFileA(path.toUtf8().constData()), nullptr);
}

TEST(LockBits, ConvertsAndWritesBack)
{
    BitmapPtr bitmap(Gdiplus_CreateBitmap(3, 2, PixelFormat24bppRGB));
    Gdiplus::BitmapData data;
    const Gdiplus::Rect area{1, 1, 2, 1};
    ASSERT_EQ(bitmap->LockBits(&area, Gdiplus::ImageLockModeWrite | Gdiplus::ImageLockModeRead,
                               PixelFormat32bppARGB, &data),
              Gdiplus::Ok);
    EXPECT_EQ(data.Width, 2u);
    static_cast<DWORD*>(data.Scan0)[1] = 0xFF123456;
    Gdiplus::BitmapData second;
    EXPECT_EQ(bitmap->LockBits(nullptr, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &second),
              Gdiplus::WrongState);
    ASSERT_EQ(bitmap->UnlockBits(&data), Gdiplus::Ok);
    EXPECT_EQ(PixelAt(*bitmap, 2, 1), 0xFF123456u);
    EXPECT_EQ(PixelAt(*bitmap, 1, 1), 0xFF000000u);

    const Gdiplus::Rect outside{2, 0, 2, 1};
    EXPECT_EQ(bitmap->LockBits(&outside, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &data),
              Gdiplus::InvalidParameter);
}
