#include "AppResources.h"
#include "StringTable.h"

#include <QDir>
#include <QImage>
#include <QTest>

Q_DECLARE_METATYPE(UiLanguage)

namespace {

// Blue, orange and white as the eye sees them, whatever the exact shades.
bool isBlue(QRgb c) { return qBlue(c) > 150 && qBlue(c) > qRed(c) + 80; }
bool isOrange(QRgb c) { return qRed(c) > 200 && qGreen(c) > 80 && qGreen(c) < 190 && qBlue(c) < 80; }
bool isWhite(QRgb c) { return qRed(c) > 245 && qGreen(c) > 245 && qBlue(c) > 245; }
bool isGridLine(QRgb c) { return !isWhite(c) && qBlue(c) >= qRed(c); }

}  // namespace

class AppResourcesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitAppResources(); }
    void pathsFollowTheLanguage();
    void chartBackground_data();
    void chartBackground();
    void icon();
    void presencePicturesBesideTheExecutable_data();
    void presencePicturesBesideTheExecutable();
};

void AppResourcesTest::pathsFollowTheLanguage()
{
    QCOMPARE(AppResourcePath(QStringLiteral("PNG"), 198, UiLanguage::English), QStringLiteral(":/res/PNG/198"));
    QCOMPARE(AppResourcePath(QStringLiteral("PNG"), 198, UiLanguage::Chinese), QStringLiteral(":/res/zh/PNG/198"));
    // One template holds both languages: the Chinese look-up falls back to it.
    QCOMPARE(AppResourcePath(QStringLiteral("DIALOG"), 1000, UiLanguage::Chinese), QStringLiteral(":/res/DIALOG/1000"));
}

void AppResourcesTest::chartBackground_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::newRow("English") << UiLanguage::English;
    QTest::newRow("Chinese") << UiLanguage::Chinese;
}

void AppResourcesTest::chartBackground()
{
    QFETCH(UiLanguage, language);
    const QImage picture(AppResourcePath(QStringLiteral("PNG"), 198, language));
    QCOMPARE(picture.size(), QSize(1156, 500));
    QVERIFY(picture.hasAlphaChannel());
    const int w = picture.width();
    const int h = picture.height();

    QVERIFY(isBlue(picture.pixel(1, h / 2)) && isBlue(picture.pixel(w - 2, h / 2)));
    QVERIFY(isOrange(picture.pixel(w / 2 + 7, h - 2)));
    QVERIFY(isWhite(picture.pixel(w / 6, h / 8 * 3)));
    // Light vertical lines at the thirds.
    QVERIFY(isGridLine(picture.pixel(w / 3, h / 8 * 3)) && isGridLine(picture.pixel(2 * w / 3, h / 8 * 3)));
    QVERIFY(isWhite(picture.pixel(w / 3 + 20, h / 8 * 3)));
    // Dashed lines at the quarters: ink and gaps along each.
    for (int quarter = 1; quarter <= 3; ++quarter) {
        int ink = 0;
        for (int x = 100; x < 300; ++x)
            ink += isGridLine(picture.pixel(x, h * quarter / 4)) ? 1 : 0;
        QVERIFY2(ink > 60 && ink < 170, qPrintable(QString::number(ink)));
    }
    // Captions: something drawn in the top-left and bottom-right corners, nothing in the others.
    const auto inked = [&picture](const QRect& area) {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (!isWhite(picture.pixel(x, y)))
                    return true;
        return false;
    };
    QVERIFY(inked(QRect(12, 8, 140, 40)));
    QVERIFY(inked(QRect(w - 160, h - 50, 140, 40)));
    QVERIFY(!inked(QRect(w - 160, 8, 140, 40)));
    QVERIFY(!inked(QRect(12, h - 50, 140, 40)));

    const QImage other(AppResourcePath(QStringLiteral("PNG"), 198,
                                       language == UiLanguage::English ? UiLanguage::Chinese : UiLanguage::English));
    QVERIFY(picture != other);   // the captions differ by language
}

void AppResourcesTest::icon()
{
    const QImage icon(AppResourcePath(QStringLiteral("ICON"), 128, UiLanguage::English));
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.width(), icon.height());
    QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);   // rounded tile: transparent corners
}

void AppResourcesTest::presencePicturesBesideTheExecutable_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<UiLanguage>("language");
    for (int id : {50055, 50056, 50057}) {
        QTest::addRow("%d English", id) << id << UiLanguage::English;
        QTest::addRow("%d Chinese", id) << id << UiLanguage::Chinese;
    }
}

void AppResourcesTest::presencePicturesBesideTheExecutable()
{
    QFETCH(int, id);
    QFETCH(UiLanguage, language);
    // The string names the file relative to the executable's folder with '\' between folders.
    QString relative = StringTable::application().text(id, language);
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QVERIFY(relative.startsWith(QStringLiteral("Image/")));
    const QString path = QDir(QStringLiteral(PRESENCE_PICTURES_DIR)).filePath(relative.mid(6));
    const QImage picture(path);
    QVERIFY2(!picture.isNull(), qPrintable(path));
    // The indicator stretches the picture over 57 × 55 dialog units: keep about that shape.
    QVERIFY(qAbs(double(picture.width()) / picture.height() - 57.0 / 55.0) < 0.05);
    QCOMPARE(qAlpha(picture.pixel(0, 0)), 255);   // drawn without a background under it
}

QTEST_GUILESS_MAIN(AppResourcesTest)
#include "AppResourcesTest.moc"
