#include "DialogTemplate.h"

#include <QTest>

namespace {

// A valid template to break one piece at a time.
QByteArray minimalTemplate(const char* control)
{
    return QByteArray(R"({"dialog": 5, "font": {"face": "F", "points": 9}, "size": [100, 50], "controls": [)")
        + control + "]}";
}

}  // namespace

class DialogTemplateTest : public QObject {
    Q_OBJECT

private slots:
    void resourceTemplatesLoad();
    void parameterDialogGeometry_data();
    void parameterDialogGeometry();
    void rejectsMalformedTemplates_data();
    void rejectsMalformedTemplates();
    void missingFileNamesThePath();
};

void DialogTemplateTest::resourceTemplatesLoad()
{
    const DialogTemplateResult main = DialogTemplate::fromResource(1000);
    QVERIFY2(main, qPrintable(main.error()));
    QCOMPARE(main->caption.english, QStringLiteral("Sorvex_TOOL"));
    QCOMPARE(main->size.english, QSize(449, 224));
    QCOMPARE(main->fontFace, QStringLiteral("宋体"));
    QCOMPARE(main->fontPoints, 9);
    QVERIFY(main->styles.testFlag(DialogStyle::Sizing));
    QCOMPARE(main->control(1500)->rect.english, QRect(2, 60, 443, 159));

    const DialogTemplateResult params = DialogTemplate::fromResource(199);
    QVERIFY2(params, qPrintable(params.error()));
    QCOMPARE(params->size.english, QSize(217, 96));
    QCOMPARE(params->size.chinese, QSize(217, 102));
    QVERIFY(!params->styles.testFlag(DialogStyle::Sizing));
    QVERIFY(!DialogTemplate::fromResource(4242));
}

void DialogTemplateTest::parameterDialogGeometry_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QRect>("english");
    QTest::addColumn<QRect>("chinese");
    QTest::newRow("group box") << 0 << QRect(6, 7, 204, 68) << QRect(6, 7, 204, 71);
    QTest::newRow("micro label") << 1 << QRect(9, 21, 75, 8) << QRect(9, 21, 75, 8);
    QTest::newRow("1187") << 2 << QRect(89, 18, 27, 14) << QRect(89, 18, 27, 14);
    QTest::newRow("dash 1") << 3 << QRect(120, 20, 8, 8) << QRect(120, 20, 8, 8);
    QTest::newRow("1188") << 4 << QRect(130, 18, 27, 14) << QRect(130, 18, 27, 14);
    QTest::newRow("moving label") << 5 << QRect(9, 41, 76, 8) << QRect(9, 41, 76, 8);
    QTest::newRow("1189") << 6 << QRect(89, 37, 27, 14) << QRect(89, 38, 27, 14);
    QTest::newRow("dash 2") << 7 << QRect(119, 39, 8, 8) << QRect(119, 39, 8, 8);
    QTest::newRow("1190") << 8 << QRect(131, 37, 27, 14) << QRect(131, 37, 27, 14);
    QTest::newRow("delay label") << 9 << QRect(9, 59, 132, 8) << QRect(9, 61, 114, 8);
    QTest::newRow("1191") << 10 << QRect(147, 56, 36, 14) << QRect(127, 58, 36, 14);
    QTest::newRow("1193") << 11 << QRect(11, 79, 50, 14) << QRect(11, 81, 50, 14);
    QTest::newRow("1199") << 12 << QRect(87, 79, 50, 14) << QRect(85, 81, 50, 14);
    QTest::newRow("1200") << 13 << QRect(160, 79, 50, 14) << QRect(157, 81, 50, 14);
}

void DialogTemplateTest::parameterDialogGeometry()
{
    QFETCH(int, index);
    QFETCH(QRect, english);
    QFETCH(QRect, chinese);
    const DialogTemplateResult params = DialogTemplate::fromResource(199);
    QVERIFY(params);
    QCOMPARE(params->controls.size(), 14);
    QCOMPARE(params->controls.at(index).rect.english, english);
    QCOMPARE(params->controls.at(index).rect.chinese, chinese);
}

void DialogTemplateTest::rejectsMalformedTemplates_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("reason");
    const auto row = [](const char* name, const QByteArray& data, const char* reason) {
        QTest::newRow(name) << data << QString::fromUtf8(reason);
    };
    row("empty", "", "line 1, column 1");
    row("syntax", "{\n  \"dialog\": 5,\n  oops\n}", "line 3");
    row("array at top", "[1, 2]", "expected an object at the top");
    row("no controls", R"({"dialog": 5, "font": {"face": "F", "points": 9}, "size": [1, 1]})",
        "template: missing \"controls\"");
    row("unknown top key", R"({"dialog": 5, "fonts": 1})", "unknown key \"fonts\"");
    row("font points zero", R"({"dialog": 5, "font": {"face": "F", "points": 0}, "size": [1, 1], "controls": []})",
        "font.points: expected an integer from 1 to 72");
    row("empty face", R"({"dialog": 5, "font": {"face": "", "points": 9}, "size": [1, 1], "controls": []})",
        "font.face: the font needs a face name");
    row("zero size", R"({"dialog": 5, "font": {"face": "F", "points": 9}, "size": [0, 10], "controls": []})",
        "size: a dialog needs a width and a height above 0");
    row("unknown kind", minimalTemplate(R"({"kind": "buton", "rect": [0, 0, 1, 1]})"),
        "controls[0].kind: unknown name \"buton\"");
    row("unknown style", minimalTemplate(R"({"kind": "edit", "style": ["bold"], "rect": [0, 0, 1, 1]})"),
        "controls[0].style[0]: unknown name \"bold\"");
    row("missing rect", minimalTemplate(R"({"kind": "edit"})"), "controls[0]: missing \"rect\"");
    row("short rect", minimalTemplate(R"({"kind": "edit", "rect": [0, 0, 1]})"),
        "controls[0].rect: expected [x, y, width, height]");
    row("negative width", minimalTemplate(R"({"kind": "edit", "rect": [0, 0, -4, 1]})"), "controls[0].rect[2]");
    row("fraction", minimalTemplate(R"({"kind": "edit", "rect": [0, 0.5, 4, 1]})"), "controls[0].rect[1]");
    row("text not text", minimalTemplate(R"({"kind": "static", "text": 12, "rect": [0, 0, 1, 1]})"),
        "controls[0].text: expected a text");
    row("language missing", minimalTemplate(R"({"kind": "static", "text": {"en": "A"}, "rect": [0, 0, 1, 1]})"),
        "controls[0].text: a per-language value needs both");
    row("id zero", minimalTemplate(R"({"id": 0, "kind": "edit", "rect": [0, 0, 1, 1]})"), "controls[0].id");
    row("duplicate id",
        minimalTemplate(R"({"id": 7, "kind": "edit", "rect": [0, 0, 1, 1]}, {"id": 7, "kind": "edit", "rect": [0, 0, 1, 1]})"),
        "controls[1].id: id 7 is used twice");
}

void DialogTemplateTest::rejectsMalformedTemplates()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, reason);
    const DialogTemplateResult result = DialogTemplate::parse(data);
    QVERIFY(!result);
    QVERIFY2(result.error().contains(reason), qPrintable(result.error()));
}

void DialogTemplateTest::missingFileNamesThePath()
{
    const DialogTemplateResult result = DialogTemplate::fromFile(QStringLiteral("/nonexistent/dialog.json"));
    QVERIFY(!result);
    QVERIFY2(result.error().startsWith(QStringLiteral("/nonexistent/dialog.json: ")), qPrintable(result.error()));
}

QTEST_GUILESS_MAIN(DialogTemplateTest)
#include "DialogTemplateTest.moc"
