// Picture files: types by name, encoders, saving and loading in every format, GIF
// writing, converting, and pictures among the program's resources.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstring>
#include <memory>

#include "BitmapTestSupport.h"

namespace {

CLSID EncoderId(DWORD data1) { return CLSID{data1, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}}; }

QByteArray FileStart(const QString& path, int bytes)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(bytes) : QByteArray();
}

// Four opaque quadrants of distinct colours, 16 x 8.
BitmapPtr QuadrantBitmap()
{
    BitmapPtr bitmap(Gdiplus_CreateBitmap(16, 8, PixelFormat32bppARGB));
    const QRgb colours[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) bitmap->image().setPixel(x, y, colours[(y / 4) * 2 + x / 8]);
    return bitmap;
}

// Makes relative names land in a temporary folder for the life of the object.
class WorkingDirectory {
public:
    WorkingDirectory() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~WorkingDirectory() { QDir::setCurrent(previous_); }
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QString previous_;
};

}  // namespace

TEST(PictureType, FollowsTheFileExtension)
{
    const struct {
        const char* name;
        int type;
    } cases[] = {
        {"a.bmp", 0},        {"a.BMP", 0},       {"photo.JPG", 1},   {"photo.Jpeg", 1}, {"anim.gif", 2},
        {"scan.tif", 4},     {"scan.tiff", 3},   {"scan.TIFF", 3},   {"noext", 4},      {"dir.v2/noext", 4},
        {"a.png", 4},        {"a.jpg.txt", 4},   {"", 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Gdiplus_GetPictureTypeByFileNameA(c.name), c.type) << c.name;
        EXPECT_EQ(Gdiplus_GetPictureTypeByFileNameW(Wide(QString::fromUtf8(c.name)).c_str()), c.type) << c.name;
    }
}

TEST(EncoderClsid, IsFoundByMimeTypeIgnoringCase)
{
    CLSID clsid;
    ASSERT_EQ(Gdiplus_GetEncoderClsidByFormatTypeW(u"IMAGE/PNG", &clsid), 1);
    EXPECT_EQ(clsid, EncoderId(0x557CF406));
    ASSERT_EQ(Gdiplus_GetEncoderClsidByFormatTypeA("Image/Jpeg", &clsid), 1);
    EXPECT_EQ(clsid, EncoderId(0x557CF401));
}

TEST(EncoderClsid, UnknownTypeLeavesTheClsidAlone)
{
    CLSID clsid{0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    const CLSID before = clsid;
    EXPECT_EQ(Gdiplus_GetEncoderClsidByFormatTypeW(u"image/webp", &clsid), 0);
    EXPECT_EQ(Gdiplus_GetEncoderClsidByFormatTypeA("image/png ", &clsid), 0);
    EXPECT_EQ(clsid, before);
}

TEST(EncoderClsid, ByPictureTypeWithOtherValuesMeaningBmp)
{
    const struct {
        int type;
        DWORD data1;
    } cases[] = {{0, 0x557CF400}, {1, 0x557CF401}, {2, 0x557CF402}, {3, 0x557CF405},
                 {4, 0x557CF406}, {7, 0x557CF400}, {-1, 0x557CF400}};
    for (const auto& c : cases) {
        CLSID clsid;
        ASSERT_EQ(Gdiplus_GetEncoderClsidByPictureType(c.type, &clsid), 1) << c.type;
        EXPECT_EQ(clsid, EncoderId(c.data1)) << c.type;
    }
}

TEST(SaveAndLoad, RoundTripEveryFormat)
{
    const struct {
        const char* name;
        QByteArray magic;
        int tolerance;
    } cases[] = {
        {"p.bmp", "BM", 0},
        {"p.png", "\x89PNG", 0},
        {"p.tif", "\x89PNG", 0},  // "tif" is not a TIFF name: PNG is written
        {"p.tiff", QByteArray("II*\0", 4), 0},
        {"p.gif", "GIF89a", 0},
        {"p.jpg", "\xFF\xD8\xFF", 40},
    };
    QTemporaryDir dir;
    BitmapPtr original = QuadrantBitmap();
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromUtf8(c.name));
        ASSERT_EQ(Gdiplus_SaveBitmapToFileW(original.get(), Wide(path).c_str()), 1) << c.name;
        EXPECT_EQ(FileStart(path, int(c.magic.size())), c.magic) << c.name;
        BitmapPtr loaded(Gdiplus_LoadBitmapFromFileA(path.toUtf8().constData()));
        ASSERT_NE(loaded, nullptr) << c.name;
        EXPECT_EQ(loaded->GetWidth(), 16u);
        EXPECT_EQ(loaded->GetHeight(), 8u);
        for (const QPoint probe : {QPoint(3, 1), QPoint(12, 2), QPoint(4, 6), QPoint(11, 5)})
            EXPECT_TRUE(Near(PixelAt(*loaded, probe.x(), probe.y()), PixelAt(*original, probe.x(), probe.y()), c.tolerance))
                << c.name << " at " << probe.x() << "," << probe.y() << ": "
                << Hex(PixelAt(*loaded, probe.x(), probe.y())).toStdString();
    }
}

TEST(SaveAndLoad, OpaquePicturesLoadAs24BitAndAlphaAs32Bit)
{
    QTemporaryDir dir;
    BitmapPtr translucent = SolidBitmap(3, 3, 0x80FF0000);
    const QString alphaPath = dir.filePath(QStringLiteral("alpha.png"));
    ASSERT_EQ(Gdiplus_SaveBitmapToFileW(translucent.get(), Wide(alphaPath).c_str()), 1);
    BitmapPtr alpha(Gdiplus_LoadBitmapFromFileW(Wide(alphaPath).c_str()));
    EXPECT_EQ(alpha->GetPixelFormat(), PixelFormat32bppARGB);
    EXPECT_EQ(PixelAt(*alpha, 1, 1), 0x80FF0000u);

    const QString jpegPath = dir.filePath(QStringLiteral("photo.jpeg"));
    ASSERT_EQ(Gdiplus_SaveBitmapToFileA(QuadrantBitmap().get(), jpegPath.toUtf8().constData()), 1);
    BitmapPtr jpeg(Gdiplus_LoadBitmapFromFileW(Wide(jpegPath).c_str()));
    EXPECT_EQ(jpeg->GetPixelFormat(), PixelFormat24bppRGB);
}

TEST(SaveAndLoad, AFailedSaveKeepsTheExistingFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.png"));
    ASSERT_EQ(Gdiplus_SaveBitmapToFileW(QuadrantBitmap().get(), Wide(path).c_str()), 1);
    const QByteArray before = FileStart(path, 1 << 20);
    // GIF cannot hold a picture this wide: the encoder fails after the file was opened.
    BitmapPtr tooWide(Gdiplus_CreateBitmap(70000, 1, PixelFormat32bppARGB));
    const QString gifPath = dir.filePath(QStringLiteral("keep.gif"));
    QFile::copy(path, gifPath);
    EXPECT_EQ(Gdiplus_SaveBitmapToFileW(tooWide.get(), Wide(gifPath).c_str()), 0);
    EXPECT_EQ(FileStart(gifPath, 1 << 20), before);
    EXPECT_EQ(Gdiplus_BitmapOK(tooWide.get()), 0);
}

TEST(GifWriter, KeepsUpTo256ColoursExactly)
{
    BitmapPtr bitmap(Gdiplus_CreateBitmap(16, 16, PixelFormat32bppARGB));
    for (int i = 0; i < 256; ++i) bitmap->image().setPixel(i % 16, i / 16, qRgb(i, 255 - i, (i * 7) % 256));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("exact.gif"));
    ASSERT_EQ(Gdiplus_SaveBitmapToFileW(bitmap.get(), Wide(path).c_str()), 1);
    BitmapPtr loaded(Gdiplus_LoadBitmapFromFileW(Wide(path).c_str()));
    ASSERT_NE(loaded, nullptr);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(PixelAt(*loaded, i % 16, i / 16), PixelAt(*bitmap, i % 16, i / 16)) << i;
}

TEST(GifWriter, QuantisesMoreColoursCloseToTheOriginal)
{
    BitmapPtr bitmap(Gdiplus_CreateBitmap(64, 64, PixelFormat32bppARGB));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) bitmap->image().setPixel(x, y, qRgb(x * 4, y * 4, 128));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) bitmap->image().setPixel(x, y, qRgb(255, 255, 255));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("many.gif"));
    ASSERT_EQ(Gdiplus_SaveBitmapToFileW(bitmap.get(), Wide(path).c_str()), 1);
    BitmapPtr loaded(Gdiplus_LoadBitmapFromFileW(Wide(path).c_str()));
    ASSERT_NE(loaded, nullptr);
    // 5 bits per channel: pure white comes back as 248.
    EXPECT_TRUE(Near(PixelAt(*loaded, 5, 5), qRgb(255, 255, 255), 7)) << Hex(PixelAt(*loaded, 5, 5)).toStdString();
    // Median cut over 4096 colours: close on average, a few boxes wider.
    double error = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const QRgb a = PixelAt(*loaded, x, y);
            const QRgb b = PixelAt(*bitmap, x, y);
            error += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    EXPECT_LT(error / (64 * 64 * 3), 7.0);
}

TEST(GifWriter, KeepsOneBitTransparency)
{
    BitmapPtr bitmap(Gdiplus_CreateBitmap(4, 1, PixelFormat32bppARGB));
    const QRgb pixels[4] = {qRgba(10, 20, 30, 0), qRgba(200, 0, 0, 100), qRgba(0, 200, 0, 200), qRgba(0, 0, 200, 255)};
    for (int x = 0; x < 4; ++x) bitmap->image().setPixel(x, 0, pixels[x]);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("clear.gif"));
    ASSERT_EQ(Gdiplus_SaveBitmapToFileW(bitmap.get(), Wide(path).c_str()), 1);
    BitmapPtr loaded(Gdiplus_LoadBitmapFromFileW(Wide(path).c_str()));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(qAlpha(PixelAt(*loaded, 0, 0)), 0);
    EXPECT_EQ(qAlpha(PixelAt(*loaded, 1, 0)), 0);
    EXPECT_EQ(PixelAt(*loaded, 2, 0), qRgb(0, 200, 0));
    EXPECT_EQ(PixelAt(*loaded, 3, 0), qRgb(0, 0, 200));
}

TEST(ConvertImageFormat, NamesTheFileBeforeReadingTheSource)
{
    char16_t name[260] = u"untouched";
    EXPECT_EQ(Gdiplus_ConvertImageFormatW(u"/no/such/source.png", name, 4), 0);
    const QString generated = QString::fromUtf16(name);
    EXPECT_TRUE(generated.startsWith(QStringLiteral("Temp_"))) << generated.toStdString();
    EXPECT_TRUE(generated.endsWith(QStringLiteral(".png"))) << generated.toStdString();
    EXPECT_EQ(Gdiplus_ConvertImageFormatW(nullptr, name, 4), 0);
    EXPECT_EQ(Gdiplus_ConvertImageFormatW(u"x.png", nullptr, 4), 0);
}

TEST(ConvertImageFormat, WritesTheRequestedTypeUnderTheGeneratedName)
{
    WorkingDirectory cwd;
    const QString source = cwd.path() + QStringLiteral("/source.png");
    ASSERT_EQ(Gdiplus_SaveBitmapToFileW(QuadrantBitmap().get(), Wide(source).c_str()), 1);
    const struct {
        int type;
        const char* extension;
        QByteArray magic;
        int tolerance;
    } cases[] = {{9, ".bmp", "BM", 0}, {3, ".tif", QByteArray("II*\0", 4), 0}, {2, ".gif", "GIF8", 0}, {1, ".jpg", "\xFF\xD8", 40}};
    for (const auto& c : cases) {
        char16_t name[260] = {};
        ASSERT_EQ(Gdiplus_ConvertImageFormatW(Wide(source).c_str(), name, c.type), 1) << c.type;
        const QString generated = QString::fromUtf16(name);
        EXPECT_TRUE(generated.endsWith(QLatin1String(c.extension))) << generated.toStdString();
        EXPECT_EQ(FileStart(cwd.path() + QLatin1Char('/') + generated, int(c.magic.size())), c.magic) << c.type;
        BitmapPtr converted(Gdiplus_LoadBitmapFromFileW(name));
        ASSERT_NE(converted, nullptr) << c.type;
        EXPECT_TRUE(Near(PixelAt(*converted, 12, 2), qRgb(0, 255, 0), c.tolerance)) << c.type;
        QFile::remove(cwd.path() + QLatin1Char('/') + generated);
    }
}

TEST(ConvertImageFormat, StaysInsideThe260CharacterBuffer)
{
    WorkingDirectory cwd;
    const QString source = cwd.path() + QStringLiteral("/source.png");
    ASSERT_EQ(Gdiplus_SaveBitmapToFileW(QuadrantBitmap().get(), Wide(source).c_str()), 1);

    char16_t wide[260 + 16];
    std::fill(std::begin(wide), std::end(wide), char16_t(0xABCD));
    EXPECT_EQ(Gdiplus_ConvertImageFormatW(Wide(source).c_str(), wide, 4), 1);
    for (int i = 260; i < 276; ++i) ASSERT_EQ(wide[i], char16_t(0xABCD)) << i;

    char narrow[260 + 16];
    std::memset(narrow, 0x5A, sizeof narrow);
    narrow[0] = 0;
    EXPECT_EQ(Gdiplus_ConvertImageFormatA(source.toUtf8().constData(), narrow, 0), 1);
    // The narrow variant keeps the generated name to itself: the caller's bytes stay.
    EXPECT_EQ(narrow[0], 0);
    for (std::size_t i = 1; i < sizeof narrow; ++i) ASSERT_EQ(narrow[i], 0x5A) << i;
    const QStringList written = QDir(cwd.path()).entryList({QStringLiteral("Temp_*bmp")}, QDir::Files);
    ASSERT_EQ(written.size(), 1) << written.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(FileStart(cwd.path() + QLatin1Char('/') + written.front(), 2), QByteArray("BM"));
}

TEST(ConvertImageFormat, NarrowVariantAcceptsAShortDestinationString)
{
    WorkingDirectory cwd;
    const QString source = cwd.path() + QStringLiteral("/source.png");
    ASSERT_EQ(Gdiplus_SaveBitmapToFileW(QuadrantBitmap().get(), Wide(source).c_str()), 1);
    // A heap block of exactly 8 bytes: any write past it is caught by AddressSanitizer.
    auto shortName = std::make_unique<char[]>(8);
    std::memcpy(shortName.get(), "abc", 4);
    EXPECT_EQ(Gdiplus_ConvertImageFormatA(source.toUtf8().constData(), shortName.get(), 4), 1);
    EXPECT_STREQ(shortName.get(), "abc");
    EXPECT_EQ(QDir(cwd.path()).entryList({QStringLiteral("Temp_*png")}, QDir::Files).size(), 1);
}

TEST(LoadBitmapFromResource, FindsPicturesByTypeAndNumber)
{
    BitmapPtr background(Gdiplus_LoadBitmapFromResourceW(nullptr, u"PNG", 198));
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->GetWidth(), 4u);
    EXPECT_EQ(PixelAt(*background, 3, 2), qRgb(255, 0, 0));

    BitmapPtr lowerCase(Gdiplus_LoadBitmapFromResourceA(nullptr, "png", 198));
    EXPECT_NE(lowerCase, nullptr);
    // The wide variant keeps the identifier's low 16 bits: -5 is resource 65531.
    BitmapPtr wrapped(Gdiplus_LoadBitmapFromResourceW(nullptr, u"PNG", -5));
    ASSERT_NE(wrapped, nullptr);
    EXPECT_EQ(wrapped->GetWidth(), 2u);
}

TEST(LoadBitmapFromResource, GivesNullWhenNothingMatches)
{
    EXPECT_EQ(Gdiplus_LoadBitmapFromResourceA(nullptr, "PNG", -5), nullptr);
    EXPECT_EQ(Gdiplus_LoadBitmapFromResourceA(nullptr, "PNG", 0), nullptr);
    EXPECT_EQ(Gdiplus_LoadBitmapFromResourceW(nullptr, u"PNG", 0), nullptr);
    EXPECT_EQ(Gdiplus_LoadBitmapFromResourceW(nullptr, nullptr, 198), nullptr);
    EXPECT_EQ(Gdiplus_LoadBitmapFromResourceW(nullptr, u"PNG", 7), nullptr);
    EXPECT_EQ(Gdiplus_LoadBitmapFromResourceW(nullptr, u"GIF", 198), nullptr);
    // An integer type passed as a pointer is a number, never read as text.
    EXPECT_EQ(Gdiplus_LoadBitmapFromResourceW(nullptr, reinterpret_cast<const char16_t*>(2), 198), nullptr);
}
