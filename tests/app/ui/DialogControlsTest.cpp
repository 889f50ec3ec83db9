#include "DialogControls.h"
#include "DialogUnits.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <limits>

namespace {

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

}  // namespace

class DialogControlsTest : public QObject {
    Q_OBJECT

private slots:
    void dialogUnitsToPixels_data();
    void dialogUnitsToPixels();
    void baseUnitsFollowTheFont();
    void textToInt_data();
    void textToInt();
    void intRoundTripsThroughAnEdit();
    void checkRadioButtonCanUncheckAll();
    void textReachesCustomWidgets();
    void missingOrDestroyedControls();
};

void DialogControlsTest::dialogUnitsToPixels_data()
{
    QTest::addColumn<int>("baseX");
    QTest::addColumn<int>("baseY");
    QTest::addColumn<QRect>("units");
    QTest::addColumn<QRect>("pixels");
    // The classic 6 × 12 base: 4 horizontal units are 6 pixels, 8 vertical units 12 pixels.
    QTest::newRow("chart 6x12") << 6 << 12 << QRect(2, 60, 443, 159) << QRect(3, 90, 665, 239);
    QTest::newRow("chart 7x14") << 7 << 14 << QRect(2, 60, 443, 159) << QRect(4, 105, 775, 278);
    QTest::newRow("exact multiples") << 8 << 16 << QRect(4, 8, 40, 80) << QRect(8, 16, 80, 160);
    QTest::newRow("halves round up") << 6 << 12 << QRect(1, 1, 3, 5) << QRect(2, 2, 5, 8);
    QTest::newRow("below half rounds down") << 5 << 13 << QRect(1, 1, 1, 1) << QRect(1, 2, 1, 2);
    QTest::newRow("zero") << 7 << 14 << QRect(0, 0, 0, 0) << QRect(0, 0, 0, 0);
    QTest::newRow("negative halves away from zero") << 6 << 12 << QRect(-1, -1, 2, 2) << QRect(-2, -2, 3, 3);
}

void DialogControlsTest::dialogUnitsToPixels()
{
    QFETCH(int, baseX);
    QFETCH(int, baseY);
    QFETCH(QRect, units);
    QFETCH(QRect, pixels);
    QCOMPARE(DialogUnits(baseX, baseY).toPixels(units), pixels);
}

void DialogControlsTest::baseUnitsFollowTheFont()
{
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    const DialogUnits small(font);
    const QFontMetrics metrics(font);
    QCOMPARE(small.baseY(), metrics.height());
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    QVERIFY(qAbs(small.baseX() * 52 - letters) <= 26);   // the average, rounded

    font.setPixelSize(24);
    const DialogUnits large(font);
    QVERIFY(large.baseX() >= 2 * small.baseX() - 1 && large.baseY() > small.baseY());
}

void DialogControlsTest::textToInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isSigned");
    QTest::addColumn<int>("value");
    QTest::newRow("letters") << "abc" << true << 0;
    QTest::newRow("empty") << "" << true << 0;
    QTest::newRow("negative") << "-5" << true << -5;
    QTest::newRow("leading blank") << " 40" << true << 40;
    QTest::newRow("plus sign") << "+7" << true << 7;
    QTest::newRow("stops at a letter") << "40abc" << true << 40;
    QTest::newRow("sign then blank") << "- 5" << true << 0;
    QTest::newRow("largest") << "2147483647" << true << kIntMax;
    QTest::newRow("one beyond is no number") << "2147483648" << true << 0;
    QTest::newRow("far beyond is no number") << "99999999999" << true << 0;
    QTest::newRow("smallest") << "-2147483648" << true << kIntMin;
    QTest::newRow("one below is no number") << "-2147483649" << true << 0;
    QTest::newRow("far below is no number") << "-99999999999" << true << 0;
    QTest::newRow("many digits") << "000000000000000000000000042" << true << 42;
    QTest::newRow("full-width digits") << "１２" << true << 0;
    QTest::newRow("unsigned minus") << "-5" << false << 0;
    QTest::newRow("unsigned top") << "4294967295" << false << -1;
    QTest::newRow("unsigned beyond is no number") << "4294967296" << false << 0;
}

void DialogControlsTest::textToInt()
{
    QFETCH(QString, text);
    QFETCH(bool, isSigned);
    QFETCH(int, value);
    QCOMPARE(DialogControls::TextToInt(text, isSigned), value);
}

void DialogControlsTest::intRoundTripsThroughAnEdit()
{
    QWidget dialog;
    DialogControls controls;
    auto* edit = new QLineEdit(&dialog);
    controls.add(1102, edit);
    QVERIFY(controls.SetDlgItemInt(1102, -256000));
    QCOMPARE(edit->text(), QStringLiteral("-256000"));
    QCOMPARE(controls.GetDlgItemInt(1102), -256000);
    controls.SetDlgItemInt(1102, -1, false);
    QCOMPARE(edit->text(), QStringLiteral("4294967295"));
    edit->setText(QStringLiteral("abc"));
    QCOMPARE(controls.GetDlgItemInt(1102), 0);
}

void DialogControlsTest::checkRadioButtonCanUncheckAll()
{
    QWidget dialog;
    DialogControls controls;
    auto* moving = new QRadioButton(&dialog);
    auto* still = new QRadioButton(&dialog);
    auto* outside = new QRadioButton(&dialog);
    controls.add(1401, moving);
    controls.add(1402, still);
    controls.add(1403, outside);
    outside->setAutoExclusive(false);
    outside->setChecked(true);

    controls.CheckRadioButton(1401, 1402, 1401);
    QVERIFY(controls.IsDlgButtonChecked(1401) && !controls.IsDlgButtonChecked(1402));
    controls.CheckRadioButton(1401, 1402, 1402);
    QVERIFY(!controls.IsDlgButtonChecked(1401) && controls.IsDlgButtonChecked(1402));
    // Auto-exclusive buttons refuse a plain uncheck; the helper must still clear them.
    controls.CheckRadioButton(1401, 1402, 0);
    QVERIFY(!moving->isChecked() && !still->isChecked());
    QVERIFY(moving->autoExclusive() && still->autoExclusive());
    QVERIFY(outside->isChecked());   // outside the range: untouched
}

void DialogControlsTest::textReachesCustomWidgets()
{
    // Without a "text" property the window title carries the text (the property path is
    // covered where the builder hands template texts to factory widgets).
    QWidget dialog;
    DialogControls controls;
    controls.add(1403, new QWidget(&dialog));
    QVERIFY(controls.SetDlgItemInt(1403, 1234));
    QCOMPARE(controls.GetDlgItem(1403)->windowTitle(), QStringLiteral("1234"));
    QCOMPARE(controls.GetDlgItemInt(1403), 1234);
}

void DialogControlsTest::missingOrDestroyedControls()
{
    QWidget dialog;
    DialogControls controls;
    auto* label = new QLabel(QStringLiteral("5"), &dialog);
    controls.add(1208, label);
    QCOMPARE(controls.ids(), QList<int>{1208});
    delete label;

    QCOMPARE(controls.GetDlgItem(1208), nullptr);
    QVERIFY(controls.ids().isEmpty());
    QVERIFY(!controls.SetDlgItemText(1208, QStringLiteral("x")));
    QVERIFY(!controls.SetDlgItemInt(4242, 1));
    QCOMPARE(controls.GetDlgItemInt(4242), 0);
    QCOMPARE(controls.GetDlgItemText(4242), QString());
    QVERIFY(!controls.IsDlgButtonChecked(4242));
    controls.CheckRadioButton(1401, 1402, 1401);   // nothing there: no effect, no crash
}

QTEST_MAIN(DialogControlsTest)
#include "DialogControlsTest.moc"
