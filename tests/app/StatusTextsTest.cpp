// Texts the operator reads about ports and the link: the port list's tooltips, the
// connection doctor's advice and the health strip's status line.
#include <gtest/gtest.h>

#include "HealthStrip.h"
#include "PortTexts.h"
#include "StringTable.h"

namespace {

TEST(PortTexts, AdviceNamesTheDeviceTheGroupAndTheHolderInEitherLanguage)
{
    struct BackToEnglish {
        ~BackToEnglish() { StringTable::setLanguage(UiLanguage::English); }
    } restore;
    OpenFailureDiagnosis denied;
    denied.reason = OpenFailureReason::PermissionDenied;
    denied.group = "dialout";
    OpenFailureDiagnosis ownerOnly;
    ownerOnly.reason = OpenFailureReason::PermissionDenied;
    ownerOnly.owner = "root";
    OpenFailureDiagnosis afterLogin = denied;
    afterLogin.memberAfterNextLogin = true;
    OpenFailureDiagnosis held;
    held.reason = OpenFailureReason::Busy;
    held.holderProgram = "minicom";
    held.holderPid = 4242;
    OpenFailureDiagnosis heldUnseen;
    heldUnseen.reason = OpenFailureReason::Busy;
    OpenFailureDiagnosis grabbed;
    grabbed.reason = OpenFailureReason::Vanished;
    grabbed.brlttyClaims = true;
    grabbed.modemManagerRunning = true;
    const QString path = QStringLiteral("/dev/ttyUSB%2");  // a marker in the path is text, not a marker
    const struct {
        const OpenFailureDiagnosis& diagnosis;
        UiLanguage language;
        const char* advice;
    } cases[] = {
        {denied, UiLanguage::English,
         "Permission denied: /dev/ttyUSB%2 belongs to group \"dialout\", and you are not in it. Join the group "
         "(sudo usermod -aG dialout $USER), then log out and in again.\nInstalled from its package, the tool's access rule (70-tivanepelotool.rules) opens USB serial bridges "
         "to the user at the computer without any group: unplug /dev/ttyUSB%2 and plug it in again."},
        {afterLogin, UiLanguage::English,
         "Permission denied: you are in group \"dialout\", but this login session is not yet. Log out and in again "
         "to open /dev/ttyUSB%2.\nInstalled from its package, the tool's access rule (70-tivanepelotool.rules) opens USB serial bridges "
         "to the user at the computer without any group: unplug /dev/ttyUSB%2 and plug it in again."},
        {ownerOnly, UiLanguage::English,
         "Permission denied: only the owner of /dev/ttyUSB%2 (user \"root\") may open it, so joining a group would "
         "not help. Ask an administrator to give the device to a group of yours, for example with a udev rule.\n"
         "Installed from its package, the tool's access rule (70-tivanepelotool.rules) opens USB serial bridges "
         "to the user at the computer without any group: unplug /dev/ttyUSB%2 and plug it in again."},
        {ownerOnly, UiLanguage::Chinese,
         "没有权限:只有 /dev/ttyUSB%2 的所有者(用户\"root\")可以打开它,加入用户组也无济于事。请让管理员把该设备交给您所在的用户组,"
         "例如通过 udev 规则。\n从软件包安装时,本工具的访问规则(70-tivanepelotool.rules)让使用这台电脑的用户无需加入任何用户组即可打开 "
         "USB 串口:请拔下 /dev/ttyUSB%2 后重新插入。"},
        {held, UiLanguage::English, "/dev/ttyUSB%2 is in use by minicom (PID 4242). Close that program and connect again."},
        {heldUnseen, UiLanguage::English, "/dev/ttyUSB%2 is in use by another program. Close it and connect again."},
        {grabbed, UiLanguage::English,
         "/dev/ttyUSB%2 is gone: the device was unplugged or renamed after the list was made. Plug it in and press "
         "Refresh.\nbrltty is installed and takes over USB serial adapters like this one. Remove it (sudo apt remove "
         "brltty) and plug the adapter in again.\nModemManager is running; it probes new serial ports for several "
         "seconds. Wait a moment and connect again, or stop it."},
        {held, UiLanguage::Chinese, "/dev/ttyUSB%2 正被 minicom(进程号 4242)占用。请关闭该程序后重新连接。"},
        {OpenFailureDiagnosis{}, UiLanguage::English, ""},
    };
    for (const auto& c : cases) {
        StringTable::setLanguage(c.language);
        EXPECT_EQ(ConnectionFailureAdvice(c.diagnosis, path), QString::fromUtf8(c.advice));
    }
}

TEST(PortTexts, ToolTipShowsWhatTheSystemKnows)
{
    SerialPortEntry usb;
    usb.path = "/dev/ttyUSB0";
    usb.manufacturer = "QinHeng Electronics";
    usb.vendorId = 0x1a86;
    usb.productId = 0x7523;
    usb.serialNumber = "0001";
    EXPECT_EQ(PortToolTip(usb), "Manufacturer: QinHeng Electronics\nUSB ID: 1a86:7523\nSerial number: 0001");
    SerialPortEntry legacy;
    legacy.path = "/dev/ttyS0";
    EXPECT_TRUE(PortToolTip(legacy).isEmpty());
}

TEST(HealthStripText, SaysWhatMattersInTheStateTheLinkIsIn)
{
    struct BackToEnglish {
        ~BackToEnglish() { StringTable::setLanguage(UiLanguage::English); }
    } restore;
    HealthSnapshot running;
    running.link = LinkState::Running;
    running.reportsPerSecond = 19.96;
    running.silenceMs = 120;
    running.recordedBytes = 123456;
    running.recordingPath = "/x/TivanePeloTOOL_1.dat";
    HealthSnapshot stalled = running;
    stalled.silenceMs = 3400;
    stalled.stalled = true;
    stalled.reportsPerSecond = 0.4;
    stalled.brokenTails = 2;
    stalled.skippedBytes = 9;
    stalled.recordedBytes = 12345678;
    stalled.lowDiskFreeMb = 42;
    HealthSnapshot silentModule;
    silentModule.link = LinkState::Connected;
    silentModule.moduleSilent = true;
    HealthSnapshot away;
    away.link = LinkState::Reconnecting;
    away.recordedBytes = 999;
    const struct {
        const HealthSnapshot& snapshot;
        UiLanguage language;
        const char* text;
    } cases[] = {
        {HealthSnapshot{}, UiLanguage::English, "Disconnected"},
        {running, UiLanguage::English,
         "Running · 20 reports/s · last report 0 s ago · broken tails 0 · skipped bytes 0 · recorded 123 kB"},
        {stalled, UiLanguage::English,
         "Running · 0.4 reports/s · no report for 3 s · broken tails 2 · skipped bytes 9 · recorded 12.3 MB · "
         "Low disk space: 42 MB free"},
        {silentModule, UiLanguage::English, "Connected · No answer from the module: check the baud rate and the wiring."},
        {away, UiLanguage::English, "Reconnecting · recorded 999 B"},
        {stalled, UiLanguage::Chinese,
         "采集中 · 0.4 帧/秒 · 已 3 秒无报告 · 帧尾错误 2 · 跳过字节 9 · 已记录 12.3 MB · 磁盘空间不足:剩余 42 MB"},
    };
    for (const auto& c : cases) {
        StringTable::setLanguage(c.language);
        EXPECT_EQ(HealthStripText(c.snapshot), QString::fromUtf8(c.text));
    }
}

}  // namespace
