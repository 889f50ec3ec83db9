#include "StringIds.h"
#include "StringTable.h"

#include <QTest>

#include <algorithm>
#include <iterator>

class StringTableTest : public QObject {
    Q_OBJECT

private slots:
    void holdsEveryIdInBothLanguages();
    void exactTexts_data();
    void exactTexts();
    void loadFollowsLanguageAndMissingIdIsEmpty();
    void acceptsCommentsBlankLinesAndCrLf();
    void rejectsMalformedTables_data();
    void rejectsMalformedTables();
};

void StringTableTest::holdsEveryIdInBothLanguages()
{
    // The build has checked that every named id is in res/strings.tsv and every id there
    // is named; this checks that the table compiled into the resources reads back whole.
    QList<int> expected(std::begin(kAllStringIds), std::end(kAllStringIds));
    std::sort(expected.begin(), expected.end());

    const StringTable& table = StringTable::application();
    QCOMPARE(table.ids(), expected);
    for (int id : expected) {
        QVERIFY2(!table.text(id, UiLanguage::English).isEmpty(), qPrintable(QString::number(id)));
        QVERIFY2(!table.text(id, UiLanguage::Chinese).isEmpty(), qPrintable(QString::number(id)));
    }
}

void StringTableTest::exactTexts_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("chinese");
    QTest::newRow("socket") << 102 << "Windows socket init failed." << "Windows 套接字初始化失败。";
    QTest::newRow("simulated module") << 50100 << "Simulated module" << "模拟模块";
    QTest::newRow("message box button") << 50101 << "OK" << "确定";
    QTest::newRow("prompt") << 50001 << "Prompt" << "信息";
    QTest::newRow("error") << 50002 << "Error" << "错误";
    QTest::newRow("stop") << 50011 << "Stop" << "停止";
    QTest::newRow("disconnect") << 50013 << "Disconn." << "断开设备";
    QTest::newRow("open failed") << 50014 << "Fail to connect to device" << "设备打开失败";
    QTest::newRow("no device") << 50015 << "No device detected" << "未检测到设备";
    QTest::newRow("read failed") << 50021 << "Fail to Read Configuration" << "读取参数失败";
    QTest::newRow("unconnected") << 50043 << "Device unconnected" << "设备未连接";
    QTest::newRow("set failed") << 50044 << "Fail to set basic config." << "写入普通参数失败";
    QTest::newRow("window size") << 50047 << "Fail to set window size" << "写入Frame滑窗大小参数失败";
    QTest::newRow("alpha-beta") << 50048 << "Fail to set α-β filter coeff." << "写入α-β滤波系数失败";
    QTest::newRow("reset done") << 50050 << "Succeed resetting config." << "恢复默认值成功";
    QTest::newRow("firmware") << 50052 << "FW Ver:%s" << "固件版本:%s";
    QTest::newRow("nobody picture") << 50055 << "Image\\HumanNobody_EN.png" << "Image\\HumanNobody.png";
    QTest::newRow("still picture") << 50057 << "Image\\HumanMotionLess_EN.png" << "Image\\HumanMotionLess.png";
}

void StringTableTest::exactTexts()
{
    QFETCH(int, id);
    QFETCH(QString, english);
    QFETCH(QString, chinese);
    QCOMPARE(StringTable::application().text(id, UiLanguage::English), english);
    QCOMPARE(StringTable::application().text(id, UiLanguage::Chinese), chinese);
}

void StringTableTest::loadFollowsLanguageAndMissingIdIsEmpty()
{
    StringTable::setLanguage(UiLanguage::English);
    QCOMPARE(StringTable::load(50010), QStringLiteral("Start"));
    QCOMPARE(StringTable::load(50016), QString());
    StringTable::setLanguage(UiLanguage::Chinese);
    QCOMPARE(StringTable::load(50010), QStringLiteral(u"开始"));
    QCOMPARE(StringTable::load(0), QString());
}

void StringTableTest::acceptsCommentsBlankLinesAndCrLf()
{
    const StringTableResult result = StringTable::parse("# header\r\n\r\n7\tSeven\t七\r\n   \n8\tEight\t八");
    QVERIFY2(result, qPrintable(result.error()));
    QCOMPARE(result->ids(), (QList<int>{7, 8}));
    QCOMPARE(result->text(7, UiLanguage::Chinese), QStringLiteral(u"七"));
    QCOMPARE(result->text(8, UiLanguage::English), QStringLiteral("Eight"));
}

void StringTableTest::rejectsMalformedTables_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("reason");
    QTest::newRow("two fields") << QByteArray("1\tOne\tone\n2\tTwo\n") << "line 2: expected id, English and Chinese";
    QTest::newRow("spaces, not tabs") << QByteArray("1 One one\n") << "line 1: expected id, English and Chinese";
    QTest::newRow("id not a number") << QByteArray("x1\tOne\tone\n") << "line 1: \"x1\" is not an id";
    QTest::newRow("id zero") << QByteArray("0\tZero\tzero\n") << "line 1: \"0\" is not an id";
    QTest::newRow("id too big") << QByteArray("70000\tBig\tbig\n") << "line 1: \"70000\" is not an id";
    QTest::newRow("duplicate id") << QByteArray("5\tA\ta\n#\n5\tB\tb\n") << "line 3: id 5 was already given on line 1";
    QTest::newRow("empty Chinese") << QByteArray("5\tA\t\n") << "line 1: id 5 needs both";
    QTest::newRow("not UTF-8") << QByteArray("5\tA\t\xff\xfe\n") << "not valid UTF-8";
}

void StringTableTest::rejectsMalformedTables()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, reason);
    const StringTableResult result = StringTable::parse(data);
    QVERIFY(!result);
    QVERIFY2(result.error().contains(reason), qPrintable(result.error()));
}

QTEST_GUILESS_MAIN(StringTableTest)
#include "StringTableTest.moc"
