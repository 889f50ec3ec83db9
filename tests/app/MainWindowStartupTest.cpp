// The main window from start-up to shutdown, and the program's start-up around it.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QRegularExpression>
#include <QTest>

#include "AppOptions.h"
#include "ColorStatic.h"
#include "DbgOutput.h"
#include "MainWindowFixture.h"
#include "SerialPortNames.h"
#include "StringTable.h"
#include "Vetra_Tivane_PeloToolApp.h"

namespace {

using Dlg = CVetra_Tivane_PeloToolDlg;

const QStringList kSavedAttributes = {
    "BaudRate", "nMotionlessRangeMin", "nMotionlessRangeMax", "nMotionRangeMin", "nMotionRangeMax", "nOffTime",
    "fMotionNearEndCoef", "fMotionFarEndCoef", "fMotionlessNearEndCoef", "fMotionlessFarEndCoef", "nMotionIIR",
    "nMotionlessIIR", "nMotionWindowRange", "nMotionlessWindowRange", "fKalman1", "fKalman2", "fKalman3",
    "fKalman4", "nDistanceCalibration", "ReportTimeMS"};

QStringList AttributeNames(const QString& xml)
{
    QStringList names;
    const QRegularExpression attribute(QStringLiteral(R"((\w+)=")"));
    for (auto it = attribute.globalMatch(xml); it.hasNext();)
        names.append(it.next().captured(1));
    names.removeAll(QStringLiteral("version"));
    names.removeAll(QStringLiteral("encoding"));
    return names;
}

QString AttributeValue(const QString& xml, const QString& name)
{
    const QRegularExpression attribute(QStringLiteral("\\b%1=\"([^\"]*)\"").arg(name));
    return attribute.match(xml).captured(1);
}

class MainWindowStartup : public MainWindowFixture {};

// The controls whose text does not fit them or is too small to read at the window's
// current size: the text's width (beside a radio button's indicator, inside a push
// button's margins) wider than the control, its line taller than the control by more
// than a pixel or two of leading, or its font too small.
QStringList ClippedTexts(const QWidget& window)
{
    QStringList clipped;
    for (const QWidget* child : window.findChildren<QWidget*>()) {
        if (!child->isVisible())
            continue;
        const QFontMetrics metrics(child->font());
        QString text;
        int beside = 0;
        if (const auto* label = qobject_cast<const QLabel*>(child)) {
            text = label->text();
        } else if (const auto* radio = qobject_cast<const QRadioButton*>(child)) {
            text = radio->text();
            beside = child->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                     child->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
        } else if (const auto* button = qobject_cast<const QPushButton*>(child)) {
            text = button->text();
            beside = 2 * child->style()->pixelMetric(QStyle::PM_ButtonMargin);
        } else if (!qobject_cast<const QComboBox*>(child) && !qobject_cast<const QLineEdit*>(child)) {
            continue;  // pictures, the digits (checked by their font size) and the chart
        }
        const int width = text.isEmpty() ? 0 : metrics.horizontalAdvance(text) + beside;
        // Nine pixels is about the smallest Chinese text that stays legible on screen.
        constexpr int kLegiblePixels = 9;
        if (width > child->width() || metrics.height() > child->height() + 2 ||
            QFontInfo(child->font()).pixelSize() < kLegiblePixels)
            clipped.append(QStringLiteral("\"%1\" %2x%3 needs %4x%5, %6 px font")
                               .arg(text, QString::number(child->width()), QString::number(child->height()),
                                    QString::number(width), QString::number(metrics.height()),
                                    QString::number(QFontInfo(child->font()).pixelSize())));
    }
    return clipped;
}

// The window cannot be made so small that a text is cut or unreadably small; above that
// size it scales as before.
TEST_F(MainWindowStartup, AtItsSmallestNoTextIsCut)
{
    for (UiLanguage language : {UiLanguage::English, UiLanguage::Chinese}) {
        StringTable::setLanguage(language);
        Start();
        const QSize initial = m_window->size();
        EXPECT_TRUE(ClippedTexts(*m_window).isEmpty()) << ClippedTexts(*m_window).join(", ").toStdString();
        m_window->resize(1, 1);
        QCoreApplication::processEvents();
        const QSize smallest = m_window->size();
        EXPECT_EQ(smallest, m_window->minimumSize());
        EXPECT_LT(smallest.width(), initial.width());
        EXPECT_LT(smallest.height(), initial.height());
        EXPECT_TRUE(ClippedTexts(*m_window).isEmpty()) << int(language) << ": " << ClippedTexts(*m_window).join(", ").toStdString();
        EXPECT_GE(m_window->DistanceDigits()->GetOwnFont()->pixelSize(), 20);
        m_window->resize(initial * 2);
        QCoreApplication::processEvents();
        EXPECT_NEAR(m_window->Scale(), 2.0, 0.01);
        CloseAndDestroy();
    }
    StringTable::setLanguage(UiLanguage::English);
}

TEST_F(MainWindowStartup, StartsIdleWithNobodyAndZero)
{
    Start();
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Sorvex_TOOL(v%1)").arg(TIVANE_VERSION));
    EXPECT_EQ(ControlText(Dlg::kDistanceDigits), "0");
    EXPECT_EQ(m_window->ShownPresence(), 0);
    EXPECT_NE(m_window->IndicatorPicture()->GetImage(), nullptr) << "the nobody picture was not loaded";
    for (int radio : {Dlg::kMovingRadio, Dlg::kMotionlessRadio}) {
        EXPECT_FALSE(IsChecked(radio));
        EXPECT_FALSE(IsEnabled(radio)) << "indicator radios are the program's, not the operator's";
    }
    EXPECT_TRUE(IsEnabled(Dlg::kConnectButton));
    EXPECT_EQ(ControlText(Dlg::kConnectButton), "Connect");
    EXPECT_FALSE(IsEnabled(Dlg::kStartButton));
    EXPECT_EQ(ControlText(Dlg::kStartButton), "Start");
    EXPECT_FALSE(IsEnabled(Dlg::kConfigButton));
    EXPECT_EQ(ControlText(Dlg::kFirmwareLabel), "FW Ver:Unknown");
    EXPECT_EQ(ControlText(Dlg::kBaudRateEdit), "256000");
    EXPECT_FALSE(m_window->ParamDialog().isVisible());
    const auto* ports = m_window->Controls().item<QComboBox>(Dlg::kPortCombo);
    ASSERT_NE(ports, nullptr);
    EXPECT_EQ(ports->currentIndex(), 0);
    EXPECT_EQ(ports->itemData(ports->count() - 1).toInt(), kSimulatedPortNumber);
    EXPECT_EQ(m_window->HistoryValues(), std::vector<std::int32_t>(300, 0));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(m_window->LogPath())));
}

TEST_F(MainWindowStartup, FirstRunWritesAnEmptyAppConfigThenTheFirstSaveWritesTwentyAttributes)
{
    Start();
    const QString afterStartUp = SettingsText();
    EXPECT_TRUE(afterStartUp.contains("<AppConfig />")) << afterStartUp.toStdString();
    EXPECT_TRUE(AttributeNames(afterStartUp).isEmpty());

    ConnectToSimulatedModule();
    const QString afterSave = SettingsText();
    EXPECT_EQ(AttributeNames(afterSave), kSavedAttributes) << afterSave.toStdString();
    EXPECT_EQ(AttributeValue(afterSave, "BaudRate"), "256000");
    EXPECT_EQ(AttributeValue(afterSave, "fKalman3"), "0.850000");
    EXPECT_EQ(AttributeValue(afterSave, "ReportTimeMS"), "50");
}

TEST_F(MainWindowStartup, StoredSettingsReplaceTheDefaults)
{
    WriteSettingsFile(R"(<?xml version="1.0"?><AppConfig Language="ENG" baudrate="115200" NOFFTIME="33" )"
                      R"(nMotionRangeMax="" ReportTimeMS="100"/>)");
    Start();
    EXPECT_EQ(ControlText(Dlg::kBaudRateEdit), "115200");
    EXPECT_EQ(m_window->Settings().params.nOffTime, 33);
    EXPECT_EQ(m_window->Settings().params.nMotionRangeMax, 717) << "an empty attribute keeps the default";
    EXPECT_EQ(m_window->HistoryValues().size(), 150u);
    EXPECT_EQ(m_window->ParamDialog().Controls().GetDlgItemText(CParamConfigDlg::kOffTimeEdit), "33");
    CloseAndDestroy();
    const QString saved = SettingsText();
    EXPECT_TRUE(saved.contains(R"(Language="ENG")")) << "a setting the tool does not write must survive";
    EXPECT_EQ(AttributeValue(saved, "baudrate"), "115200") << "the letter case of the file is kept";
}

TEST_F(MainWindowStartup, ReportIntervalsOutsideTheUsualRangeStillGiveAChart)
{
    const struct {
        const char* stored;
        std::size_t historyLength;
        std::int32_t keptInterval;
    } cases[] = {{"0", 300, 50}, {"15000", 1, 15000}, {"20000", 1, 20000}, {"-5", 1, -5}, {"100", 150, 100}};
    for (const auto& c : cases) {
        WriteSettingsFile(QStringLiteral(R"(<AppConfig ReportTimeMS="%1"/>)").arg(c.stored).toUtf8());
        m_document.LoadFromBuffer("", 0);
        Start();
        EXPECT_EQ(m_window->HistoryValues().size(), c.historyLength) << c.stored;
        EXPECT_EQ(m_window->Settings().reportTimeMS, c.keptInterval) << c.stored;
        CloseAndDestroy();
        EXPECT_EQ(AttributeValue(SettingsText(), "ReportTimeMS"), QString::number(c.keptInterval)) << c.stored;
    }
}

TEST_F(MainWindowStartup, EnterAndEscapeKeepTheWindowOpenTheCloseBoxClosesIt)
{
    Start();
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(m_window.get(), key);
        QCoreApplication::processEvents();
        EXPECT_TRUE(m_window->isVisible()) << "key " << key;
    }
    // From inside the baud-rate box as well, where Qt would otherwise press a default button.
    QWidget* edit = m_window->Controls().GetDlgItem(Dlg::kBaudRateEdit);
    edit->setFocus();
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        QTest::keyClick(edit, key);
        EXPECT_TRUE(m_window->isVisible()) << "key " << key;
    }
    EXPECT_EQ(ControlText(Dlg::kConnectButton), "Connect") << "Enter must press no button";
    EXPECT_TRUE(m_window->close());
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(m_window->result(), QDialog::Rejected);
}

TEST_F(MainWindowStartup, ClosingWhileRunningStopsRecordsSavesAndClosesTheLog)
{
    Start();
    ConnectToSimulatedModule();
    m_window->OnStartStop();
    ASSERT_TRUE(m_window->IsRunning());
    const std::string logPath = m_window->LogPath();
    const QString rawPath = QString::fromStdString(m_window->RawFilePath());
    ASSERT_TRUE(WaitFor([&] {
        QFile log(QString::fromStdString(logPath));
        return log.open(QIODevice::ReadOnly) && log.readAll().contains("State=");
    }));
    m_window->Controls().item<QLineEdit>(Dlg::kBaudRateEdit)->setText("115200");

    m_window->close();
    CloseAndDestroy();

    EXPECT_EQ(AttributeValue(SettingsText(), "BaudRate"), "115200") << "the baud rate comes from the box at shutdown";
    const qint64 rawSize = QFileInfo(rawPath).size();
    EXPECT_GT(rawSize, 0);
    EXPECT_EQ(rawSize % 7, 0) << "the module sends whole 7-byte frames and the stop waits for the last read";
    DbgOutputA(2, "after shutdown\r\n");
    QFile log(QString::fromStdString(logPath));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    EXPECT_TRUE(text.contains("State="));
    EXPECT_FALSE(text.contains("after shutdown")) << "the log must be closed by the shutdown";
    QTest::qWait(300);
    EXPECT_EQ(QFileInfo(rawPath).size(), rawSize) << "nothing may write the recording after the shutdown";
}

// The whole program in-process: settings read, language, the modal run closed by
// --seconds, and the shutdown that saves the settings.
TEST_F(MainWindowStartup, ProgramRunPicksTheLanguageAndSavesOnClose)
{
    const struct {
        const char* file;
        std::optional<UiLanguage> override;
        UiLanguage expected;
    } cases[] = {
        {R"(<AppConfig Language="eng"/>)", std::nullopt, UiLanguage::English},
        {R"(<AppConfig Language="English"/>)", std::nullopt, UiLanguage::Chinese},
        {"", std::nullopt, UiLanguage::Chinese},
        {R"(<AppConfig Language="ENG"/>)", UiLanguage::Chinese, UiLanguage::Chinese},
    };
    for (const auto& c : cases) {
        QFile::remove(FolderPath("appConfig.xml"));
        if (*c.file)
            WriteSettingsFile(c.file);
        XMLParser document;
        CSettingsFile settings(document, FolderPath("appConfig.xml").toStdString());
        AppOptions options;
        options.seconds = 0;
        options.language = c.override;
        options.screenshotPath = FolderPath("shot.png");
        CVetra_Tivane_PeloToolApp app(settings, options, m_folder.path().toStdString());
        EXPECT_EQ(app.InitInstance(), 0) << c.file;
        EXPECT_EQ(StringTable::language(), c.expected) << c.file;
        const QString saved = SettingsText();
        EXPECT_EQ(AttributeNames(saved).mid(AttributeNames(saved).indexOf("BaudRate")), kSavedAttributes) << c.file;
        EXPECT_EQ(saved.contains("Language"), *c.file != 0) << "Language is never written: " << c.file;
        EXPECT_FALSE(QImage(FolderPath("shot.png")).isNull()) << c.file;
        QFile::remove(FolderPath("shot.png"));
    }
    StringTable::setLanguage(UiLanguage::English);
    SetSimulatedPortDisplayNameW(nullptr);
}

// Scripts learn from the exit code whether the run did what they asked.
TEST_F(MainWindowStartup, ScriptedRunsReportWhetherAcquisitionStarted)
{
    const struct {
        const char* what;
        QStringList arguments;
        int exitCode;
        std::size_t errorBoxes;
        bool recorded;
    } cases[] = {
        {"simulated module", {"--simulate", "--start", "--seconds", "1"}, 0, 0, true},
        {"missing device", {"--port", "/nonexistent/ttyVETRA1", "--start", "--seconds", "1"}, 3, 1, false},
        // Connected and idle: nothing is recorded until acquisition starts.
        {"connect only", {"--simulate", "--connect", "--seconds", "1"}, 0, 0, false},
        {"connect to a missing device", {"--port", "/nonexistent/ttyVETRA1", "--connect", "--seconds", "1"}, 3, 1, false},
    };
    for (const auto& c : cases) {
        m_watcher->Clear();
        QDir(FolderPath("Log")).removeRecursively();
        const AppOptionsResult options = ParseAppOptions(c.arguments);
        ASSERT_TRUE(options) << c.what;
        XMLParser document;
        CSettingsFile settings(document, FolderPath("appConfig.xml").toStdString());
        CVetra_Tivane_PeloToolApp app(settings, *options, m_folder.path().toStdString());
        EXPECT_EQ(app.InitInstance(), c.exitCode) << c.what;
        EXPECT_EQ(Boxes().size(), c.errorBoxes) << c.what;
        const QStringList recordings = QDir(FolderPath("Log")).entryList({"*.dat"}, QDir::Files);
        EXPECT_EQ(!recordings.isEmpty(), c.recorded) << c.what;
    }
    StringTable::setLanguage(UiLanguage::English);
    SetSimulatedPortDisplayNameW(nullptr);
}

}  // namespace
