#include "DialogBuilder.h"
#include "DialogTemplate.h"

#include <QComboBox>
#include <QDialog>
#include <QFontInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

Q_DECLARE_METATYPE(UiLanguage)

namespace {

// Stands in for the owner's own widget classes (colour statics, chart).
class PaintedControl : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QString text MEMBER m_text)

public:
    using QFrame::QFrame;
    QString m_text;
};

QString kindOf(const QWidget* widget)
{
    if (qobject_cast<const QRadioButton*>(widget))
        return QStringLiteral("radio");
    if (qobject_cast<const QPushButton*>(widget))
        return QStringLiteral("button");
    if (qobject_cast<const QLineEdit*>(widget))
        return QStringLiteral("edit");
    if (qobject_cast<const QComboBox*>(widget))
        return QStringLiteral("combo");
    if (qobject_cast<const QGroupBox*>(widget))
        return QStringLiteral("groupbox");
    if (qobject_cast<const QLabel*>(widget))
        return QStringLiteral("static");
    return QStringLiteral("other");
}

QString textOf(const QWidget* widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text();
    if (const auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title();
    return {};
}

// The built widget of a control: by id, or for a control without id by kind and text.
QWidget* findControl(QWidget* dialog, const DialogControls& controls, int id, const QString& kind,
                     const QString& text)
{
    if (id != kNoControlId)
        return controls.GetDlgItem(id);
    for (QWidget* child : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (kindOf(child) == kind && textOf(child) == text)
            return child;
    }
    return nullptr;
}

}  // namespace

class DialogBuilderTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlBuilds_data();
    void everyControlBuilds();
    void dialogTakesFontCaptionAndSize();
    void factoryOverridesChosenIds();
    void tabOrderFollowsTemplate();
    void mainWindowLayoutIsClean_data();
    void mainWindowLayoutIsClean();
};

void DialogBuilderTest::everyControlBuilds_data()
{
    QTest::addColumn<int>("dialogId");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("chinese");
    QTest::addColumn<bool>("enabled");
    const struct {
        int dialog;
        int id;
        const char* kind;
        const char* english;
        const char* chinese;
        bool enabled;
    } rows[] = {
        {1000, -1, "static", "Port No.", "串口号", true},
        {1000, 1100, "button", "Refresh", "刷新", true},
        {1000, 1101, "combo", "", "", true},
        {1000, -1, "static", "Baud Rate", "波特率", true},
        {1000, 1102, "edit", "", "", true},
        {1000, 1103, "button", "Connect", "连接设备", true},
        {1000, 1104, "button", "Config.", "参数配置", true},
        {1000, 1105, "button", "Start", "开始", true},
        {1000, 1208, "static", "FW Ver:Unknown", "固件版本:Unknown", true},
        {1000, 1400, "static", "指示灯", "指示灯", true},
        {1000, 1401, "radio", "Moving Target", "运动目标", false},
        {1000, 1402, "radio", "Motionless Target", "微动目标", false},
        {1000, 1403, "static", "460", "460", true},
        {1000, 1107, "static", "cm", "厘米", true},
        {1000, 1500, "static", "波形图", "波形图", true},
        {199, -1, "groupbox", "Basic Config.", "普通设置", true},
        {199, -1, "static", "Mic. Range (cm):", "微动范围(单位cm):", true},
        {199, -1, "static", "Moving Range (cm):", "运动范围(单位cm):", true},
        {199, -1, "static", "Abs. Report Delay(unit: 100ms):", "无人等待时间(单位: 100ms):", true},
        {199, -1, "static", "-", "-", true},
        {199, 1187, "edit", "", "", true},
        {199, 1188, "edit", "", "", true},
        {199, 1189, "edit", "", "", true},
        {199, 1190, "edit", "", "", true},
        {199, 1191, "edit", "", "", true},
        {199, 1193, "button", "Read", "读取参数", true},
        {199, 1199, "button", "Set", "设置参数", true},
        {199, 1200, "button", "Reset", "恢复默认", true},
    };
    for (const auto& row : rows) {
        const QString name = QStringLiteral("%1/%2/%3").arg(row.dialog).arg(row.id).arg(QLatin1String(row.english));
        QTest::newRow(qPrintable(name)) << row.dialog << row.id << QString::fromLatin1(row.kind)
                                        << QString::fromUtf8(row.english) << QString::fromUtf8(row.chinese)
                                        << row.enabled;
    }
}

void DialogBuilderTest::everyControlBuilds()
{
    QFETCH(int, dialogId);
    QFETCH(int, id);
    QFETCH(QString, kind);
    QFETCH(QString, english);
    QFETCH(QString, chinese);
    QFETCH(bool, enabled);
    const DialogTemplateResult dialogTemplate = DialogTemplate::fromResource(dialogId);
    QVERIFY2(dialogTemplate, qPrintable(dialogTemplate.error()));

    for (const UiLanguage language : {UiLanguage::English, UiLanguage::Chinese}) {
        const QString& text = language == UiLanguage::English ? english : chinese;
        QDialog dialog;
        const DialogControls controls = DialogBuilder(language).build(*dialogTemplate, &dialog);
        QWidget* widget = findControl(&dialog, controls, id, kind, text);
        QVERIFY2(widget, qPrintable(text));
        QCOMPARE(kindOf(widget), kind);
        QCOMPARE(textOf(widget), text);
        QCOMPARE(widget->isEnabled(), enabled);
        QCOMPARE(widget->parentWidget(), &dialog);
        if (id != kNoControlId) {
            const DialogUnits units(dialog.font());
            const QRect expected = units.toPixels(dialogTemplate->control(id)->rect.in(language));
            QCOMPARE(widget->pos(), expected.topLeft());
            QCOMPARE(widget->width(), expected.width());
            // A combo box's template height is its open list's; the closed box is lower.
            QVERIFY(kind == QLatin1String("combo") ? widget->height() <= expected.height()
                                                   : widget->height() == expected.height());
        }
    }
}

void DialogBuilderTest::dialogTakesFontCaptionAndSize()
{
    const DialogTemplateResult params = DialogTemplate::fromResource(199);
    QVERIFY(params);
    QDialog dialog;
    DialogBuilder(UiLanguage::Chinese).build(*params, &dialog);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("参数配置"));
    QCOMPARE(dialog.font().pointSize(), 9);
    // The template face is not installed here; the fallback must still have Chinese glyphs.
    QVERIFY(QFontMetrics(dialog.font()).inFontUcs4(U'参'));
    const DialogUnits units(dialog.font());
    QCOMPARE(dialog.size(), units.toPixels(QSize(217, 102)));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());   // modal frame: not resizable

    const DialogTemplateResult main = DialogTemplate::fromResource(1000);
    QVERIFY(main);
    QDialog window;
    DialogBuilder(UiLanguage::English).build(*main, &window);
    QCOMPARE(window.windowTitle(), QStringLiteral("Sorvex_TOOL"));
    QCOMPARE(window.size(), units.toPixels(QSize(449, 224)));
    QVERIFY(window.minimumSize() != window.maximumSize());   // sizing border
    QVERIFY(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
}

void DialogBuilderTest::factoryOverridesChosenIds()
{
    const DialogTemplateResult main = DialogTemplate::fromResource(1000);
    QVERIFY(main);
    QList<int> asked;
    DialogBuilder builder(UiLanguage::Chinese);
    builder.setWidgetFactory([&asked](int id, QWidget* parent) -> QWidget* {
        asked << id;
        if (id == 1403)
            return new PaintedControl;   // parented by the builder
        return id == 1107 || id == 1500 ? new PaintedControl(parent) : nullptr;
    });
    QDialog dialog;
    const DialogControls controls = builder.build(*main, &dialog);

    QVERIFY(asked.contains(1100) && asked.contains(1500));
    QVERIFY(!asked.contains(kNoControlId));
    const DialogUnits units(dialog.font());
    for (int id : {1403, 1107, 1500}) {
        auto* custom = controls.item<PaintedControl>(id);
        QVERIFY2(custom, qPrintable(QString::number(id)));
        QCOMPARE(custom->parentWidget(), &dialog);
        QCOMPARE(custom->geometry(), units.toPixels(main->control(id)->rect.chinese));
        QCOMPARE(custom->m_text, main->control(id)->text.chinese);
    }
    QCOMPARE(controls.item<PaintedControl>(1500)->frameShape(), QFrame::Box);   // the border style
    QCOMPARE(controls.item<PaintedControl>(1107)->frameShape(), QFrame::NoFrame);
    QVERIFY(controls.item<QLabel>(1400));   // not overridden: the standard widget
}

void DialogBuilderTest::tabOrderFollowsTemplate()
{
    const DialogTemplateResult params = DialogTemplate::fromResource(199);
    QVERIFY(params);
    QDialog dialog;
    const DialogControls controls = DialogBuilder(UiLanguage::English).build(*params, &dialog);
    const QList<int> order{1187, 1188, 1189, 1190, 1191, 1193, 1199, 1200};
    QWidget* widget = controls.GetDlgItem(order.first());
    for (int i = 1; i < order.size(); ++i) {
        do
            widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus));
        QCOMPARE(widget, controls.GetDlgItem(order.at(i)));
    }
}

void DialogBuilderTest::mainWindowLayoutIsClean_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::newRow("English") << UiLanguage::English;
    QTest::newRow("Chinese") << UiLanguage::Chinese;
}

void DialogBuilderTest::mainWindowLayoutIsClean()
{
    QFETCH(UiLanguage, language);
    const DialogTemplateResult main = DialogTemplate::fromResource(1000);
    QVERIFY(main);
    QDialog dialog;
    DialogBuilder(language).build(*main, &dialog);
    const QList<QWidget*> children = dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    QCOMPARE(children.size(), main->controls.size());
    for (const QWidget* child : children) {
        const QString what = textOf(child) + QLatin1Char(' ') + child->objectName();
        QVERIFY2(dialog.rect().contains(child->geometry()), qPrintable(what));
        for (const QWidget* other : children)
            QVERIFY2(child == other || !child->geometry().intersects(other->geometry()), qPrintable(what));
        // Every text is readable in full in this language and font.
        if (!textOf(child).isEmpty() && !qobject_cast<const QLabel*>(child))
            QVERIFY2(child->sizeHint().width() <= child->width(), qPrintable(what));
        if (const auto* label = qobject_cast<const QLabel*>(child); label && child->objectName() != "control1500")
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(), qPrintable(what));
    }
}

QTEST_MAIN(DialogBuilderTest)
#include "DialogBuilderTest.moc"
