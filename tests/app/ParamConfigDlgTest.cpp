// The parameter dialog against the simulated module, in-process and over a pseudo-terminal.
#include <QLineEdit>
#include <QTest>

#include <cstring>

#include "MainWindowFixture.h"
#include "SerialPortNames.h"
#include "SimModuleProcess.h"
#include "StringTable.h"

namespace {

using Dlg = CVetra_Tivane_PeloToolDlg;
using Param = CParamConfigDlg;

constexpr int kEdits[] = {Param::kMotionlessRangeMinEdit, Param::kMotionlessRangeMaxEdit, Param::kMotionRangeMinEdit,
                          Param::kMotionRangeMaxEdit, Param::kOffTimeEdit};

class ParamConfigDialog : public MainWindowFixture {
protected:
    Param& Dialog() { return m_window->ParamDialog(); }

    void Type(int id, const QString& text) { Dialog().Controls().item<QLineEdit>(id)->setText(text); }
    QStringList EditTexts()
    {
        QStringList texts;
        for (int id : kEdits)
            texts.append(Dialog().Controls().GetDlgItemText(id));
        return texts;
    }
    void ExpectBox(std::size_t index, const QString& text, const QString& caption)
    {
        ASSERT_GT(Boxes().size(), index);
        EXPECT_EQ(Boxes()[index].text, text);
        EXPECT_EQ(Boxes()[index].caption, caption);
        // The button speaks the window's language too, with or without Qt's translations.
        EXPECT_EQ(Boxes()[index].okText, StringTable::language() == UiLanguage::English ? QStringLiteral("OK")
                                                                                         : QStringLiteral("确定"));
        const bool error = caption == "Error" || caption == QStringLiteral("错误");
        EXPECT_EQ(Boxes()[index].icon, error ? QMessageBox::Critical : QMessageBox::Information) << text.toStdString();
        EXPECT_EQ(Boxes()[index].onTop, error) << text.toStdString();
        EXPECT_EQ(Boxes()[index].owner, &Dialog());
    }
    // The module's own values, read back through the dialog's Read.
    DetectionParams ReadFromModule()
    {
        const std::size_t before = Boxes().size();
        Dialog().OnRead();
        EXPECT_EQ(Boxes().size(), before + 1);
        return m_window->Settings().params;
    }
};

TEST_F(ParamConfigDialog, IsHiddenUntilConfigAndHidesOnCloseKeepingTheTexts)
{
    Start();
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_EQ(EditTexts(), QStringList({"30", "425", "30", "717", "20"}));
    m_window->OnConfig();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dialog()));
    EXPECT_EQ(Dialog().windowTitle(), "Configuration");
    Type(Param::kOffTimeEdit, "typed, not sent");
    EXPECT_TRUE(Dialog().close());
    EXPECT_FALSE(Dialog().isVisible());
    m_window->OnConfig();
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_EQ(Dialog().Controls().GetDlgItemText(Param::kOffTimeEdit), "typed, not sent");
    QTest::keyClick(&Dialog(), Qt::Key_Escape);
    EXPECT_FALSE(Dialog().isVisible()) << "Escape hides the dialog like its close box";
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ParamConfigDialog, SetConvertsTheTextsAndTheModuleTakesThem)
{
    Start();
    ConnectToSimulatedModule();
    Type(Param::kMotionRangeMinEdit, "12.9");
    Type(Param::kMotionRangeMaxEdit, "1e3");
    Type(Param::kMotionlessRangeMinEdit, " 40");
    Type(Param::kMotionlessRangeMaxEdit, "abc");
    Type(Param::kOffTimeEdit, "-5");
    Dialog().OnSet();
    ExpectBox(0, "Succeed setting config.", "Prompt");
    const DetectionParams& record = m_window->Settings().params;
    EXPECT_EQ(record.nMotionRangeMin, 12);
    EXPECT_EQ(record.nMotionRangeMax, 1000);
    EXPECT_EQ(record.nMotionlessRangeMin, 40);
    EXPECT_EQ(record.nMotionlessRangeMax, 0);
    EXPECT_EQ(record.nOffTime, -5);
    EXPECT_EQ(Dialog().Controls().GetDlgItemText(Param::kMotionRangeMinEdit), "12.9") << "the typed texts stay";
    // The read-back after the Set finds the one value the module's 16 bits cannot hold.
    ExpectBox(1, QStringLiteral("The module did not keep these values (sent → held): nOffTime -5 → 65531"), "Error");

    // The module stored what was sent; its reply carries each in 16 bits, unsigned.
    const DetectionParams module = ReadFromModule();
    ExpectBox(2, "Succeed reading config.", "Prompt");
    EXPECT_EQ(module.nMotionRangeMin, 12);
    EXPECT_EQ(module.nMotionRangeMax, 1000);
    EXPECT_EQ(module.nMotionlessRangeMin, 40);
    EXPECT_EQ(module.nMotionlessRangeMax, 0);
    EXPECT_EQ(module.nOffTime, 65531);
    EXPECT_EQ(EditTexts(), QStringList({"40", "0", "12", "1000", "65531"})) << "a read refreshes the boxes";
}

TEST_F(ParamConfigDialog, SetNamesTheFieldsAModuleAcknowledgedButDidNotKeep)
{
    m_simOptions.ignoredParameterIds = {2, 4};  // nMotionlessRangeMax, nOffTime
    Start();
    ConnectToSimulatedModule();
    Type(Param::kMotionlessRangeMaxEdit, "333");
    Type(Param::kOffTimeEdit, "44");
    Type(Param::kMotionRangeMaxEdit, "600");
    Dialog().OnSet();
    ASSERT_EQ(Boxes().size(), 2u);
    ExpectBox(0, "Succeed setting config.", "Prompt");
    ExpectBox(1,
              QStringLiteral("The module did not keep these values (sent → held): nMotionlessRangeMax 333 → 425, "
                             "nOffTime 44 → 20"),
              "Error");
    EXPECT_EQ(ReadFromModule().nMotionRangeMax, 600) << "the field it kept";
}

TEST_F(ParamConfigDialog, SetSaysWhenItCouldNotCheckWhatTheModuleKept)
{
    m_simOptions.commandFaults = {{CommandFaultKind::Unanswered, Param::kReadParametersCommand, 0, 0, -1}};
    Start();
    ConnectToSimulatedModule();
    Dialog().OnSet();
    ASSERT_EQ(Boxes().size(), 2u);
    ExpectBox(0, "Succeed setting config.", "Prompt");
    ExpectBox(1, "The parameters could not be read back to check that the module kept them.", "Error");
    EXPECT_EQ(Boxes()[1].detail, "the parameters could not be read (no reply)");
}

TEST_F(ParamConfigDialog, ReadReplacesAllFieldsButNotTheReportInterval)
{
    WriteSettingsFile(R"(<AppConfig nDistanceCalibration="-12" fKalman1="0.9" ReportTimeMS="100" nMotionIIR="77"/>)");
    Start();
    ConnectToSimulatedModule();
    const DetectionParams read = ReadFromModule();
    const DetectionParams defaults = DetectionParams::Defaults();
    EXPECT_EQ(std::memcmp(&read, &defaults, sizeof read), 0) << "the module holds its power-up values";
    EXPECT_EQ(m_window->Settings().reportTimeMS, 100);
}

TEST_F(ParamConfigDialog, ResetRestoresTheDefaultsHereAndInTheModule)
{
    WriteSettingsFile(R"(<AppConfig nDistanceCalibration="-12" nOffTime="99"/>)");
    Start();
    ConnectToSimulatedModule();
    Type(Param::kMotionRangeMaxEdit, "600");
    Dialog().OnSet();
    ASSERT_EQ(ReadFromModule().nMotionRangeMax, 600);

    Dialog().OnReset();
    ExpectBox(2, "Succeed resetting config.", "Prompt");
    EXPECT_EQ(EditTexts(), QStringList({"30", "425", "30", "717", "20"}));
    EXPECT_EQ(m_window->Settings().params.nDistanceCalibration, 0);
    EXPECT_EQ(ReadFromModule().nMotionRangeMax, 717);
}

TEST_F(ParamConfigDialog, WithoutADeviceReadAndSetSayUnconnectedResetRestoresAndFails)
{
    WriteSettingsFile(R"(<AppConfig nOffTime="99" nMotionRangeMax="500"/>)");
    Start();
    EXPECT_EQ(EditTexts(), QStringList({"30", "425", "30", "500", "99"}));
    Dialog().OnRead();
    ExpectBox(0, "Device unconnected", "Error");
    Type(Param::kOffTimeEdit, "44");
    Dialog().OnSet();
    ExpectBox(1, "Device unconnected", "Error");
    EXPECT_EQ(m_window->Settings().params.nOffTime, 99) << "a refused Set changes nothing";

    Dialog().OnReset();
    ExpectBox(2, "Fail to set basic config.", "Error");
    EXPECT_EQ(EditTexts(), QStringList({"30", "425", "30", "717", "20"}));
    CloseAndDestroy();
    EXPECT_TRUE(SettingsText().contains(R"(nOffTime="20")")) << "the defaults reach the file at the next save";
}

TEST_F(ParamConfigDialog, AModuleThatDoesNotAnswerLeavesTheRecordAlone)
{
    m_simOptions.mute = true;
    Start();
    ConnectToSimulatedModule();
    const DetectionParams before = m_window->Settings().params;
    Dialog().OnRead();
    ExpectBox(0, "Fail to Read Configuration", "Error");
    Type(Param::kMotionRangeMaxEdit, "600");
    Dialog().OnSet();
    ExpectBox(1, "Fail to set basic config.", "Error");
    EXPECT_EQ(std::memcmp(&m_window->Settings().params, &before, sizeof before), 0);
    EXPECT_EQ(Dialog().Controls().GetDlgItemText(Param::kMotionRangeMaxEdit), "600");
}

TEST_F(ParamConfigDialog, ReadWhileRunningStopsAcquisitionAndLeavesItStopped)
{
    Start();
    ConnectToSimulatedModule();
    m_window->OnStartStop();
    ASSERT_TRUE(WaitForRecordedBytes());
    Dialog().OnRead();
    ExpectBox(0, "Succeed reading config.", "Prompt");
    EXPECT_FALSE(m_window->IsRunning());
    EXPECT_EQ(ControlText(Dlg::kStartButton), "Start");
    QTest::qWait(300);
    EXPECT_FALSE(m_window->IsRunning());
}

TEST_F(ParamConfigDialog, MessagesAndCaptionsInChinese)
{
    struct BackToEnglish {
        ~BackToEnglish() { StringTable::setLanguage(UiLanguage::English); }
    } restore;
    StringTable::setLanguage(UiLanguage::Chinese);
    Start();
    EXPECT_EQ(Dialog().windowTitle(), QStringLiteral("参数配置"));
    EXPECT_EQ(ControlText(Dlg::kStartButton), QStringLiteral("开始"));
    EXPECT_EQ(ControlText(Dlg::kFirmwareLabel), QStringLiteral("固件版本:Unknown"));
    Dialog().OnRead();
    ExpectBox(0, QStringLiteral("设备未连接"), QStringLiteral("错误"));
    Dialog().OnReset();
    ExpectBox(1, QStringLiteral("写入普通参数失败"), QStringLiteral("错误"));
    ConnectToSimulatedModule();
    EXPECT_EQ(ControlText(Dlg::kConnectButton), QStringLiteral("断开设备"));
    Dialog().OnSet();
    ExpectBox(2, QStringLiteral("设置参数成功"), QStringLiteral("信息"));
}

TEST_F(ParamConfigDialog, SetAndReadOverASerialPort)
{
    SimModuleProcess sim;
    ASSERT_TRUE(sim.IsStarted());
    ASSERT_NO_FATAL_FAILURE(StartAndConnectTo(sim.DevicePath()));
    m_window->OnStartStop();
    ASSERT_TRUE(WaitForRecordedBytes());

    Type(Param::kMotionlessRangeMaxEdit, "333");
    Dialog().OnSet();
    ExpectBox(0, "Succeed setting config.", "Prompt");
    EXPECT_FALSE(m_window->IsRunning());
    EXPECT_EQ(ReadFromModule().nMotionlessRangeMax, 333);
    ExpectBox(1, "Succeed reading config.", "Prompt");
}

}  // namespace
