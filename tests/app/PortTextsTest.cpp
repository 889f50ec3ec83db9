// The port list's tooltips and the connection doctor's advice, as the operator reads them.
#include <gtest/gtest.h>

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
         "(sudo usermod -aG dialout $USER), then log out and in again."},
        {afterLogin, UiLanguage::English,
         "Permission denied: you are in group \"dialout\", but this login session is not yet. Log out and in again "
         "to open /dev/ttyUSB%2."},
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

}  // namespace
