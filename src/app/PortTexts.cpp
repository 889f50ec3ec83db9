#include "PortTexts.h"

#include <QStringList>

#include "StringTable.h"

namespace {
constexpr int kManufacturerText = 50102;
constexpr int kUsbIdText = 50103;
constexpr int kSerialNumberText = 50104;
constexpr int kNotInGroupText = 50105;
constexpr int kGroupAfterLoginText = 50106;
constexpr int kAccessRuleText = 50167;
constexpr int kOwnerOnlyText = 50400;
constexpr int kHeldByText = 50107;
constexpr int kHeldText = 50108;
constexpr int kVanishedText = 50109;
constexpr int kNotSerialText = 50110;
constexpr int kBrlttyText = 50111;
constexpr int kModemManagerText = 50112;
}  // namespace

QString PortToolTip(const SerialPortEntry& entry)
{
    QStringList lines;
    if (!entry.manufacturer.empty())
        lines << StringTable::load(kManufacturerText).arg(QString::fromStdString(entry.manufacturer));
    if (entry.vendorId != 0)
        lines << StringTable::load(kUsbIdText)
                     .arg(QStringLiteral("%1:%2")
                              .arg(entry.vendorId, 4, 16, QLatin1Char('0'))
                              .arg(entry.productId, 4, 16, QLatin1Char('0')));
    if (!entry.serialNumber.empty())
        lines << StringTable::load(kSerialNumberText).arg(QString::fromStdString(entry.serialNumber));
    return lines.join(QLatin1Char('\n'));
}

QString ConnectionFailureAdvice(const OpenFailureDiagnosis& diagnosis, const QString& path)
{
    QStringList lines;
    // QString::arg with several arguments replaces each marker once, whatever the texts hold.
    const QString group = QString::fromStdString(diagnosis.group);
    switch (diagnosis.reason) {
    case OpenFailureReason::PermissionDenied:
        // Without a group that may open the device, only its owner may: no group to join.
        if (group.isEmpty() && !diagnosis.owner.empty())
            lines << StringTable::load(kOwnerOnlyText).arg(path, QString::fromStdString(diagnosis.owner));
        else
            lines << StringTable::load(diagnosis.memberAfterNextLogin ? kGroupAfterLoginText : kNotInGroupText)
                         .arg(path, group.isEmpty() ? QStringLiteral("dialout") : group);
        // The rule covers the USB bridges only, and takes effect when the device appears.
        if (path.contains(QLatin1String("/ttyUSB")) || path.contains(QLatin1String("/ttyACM")))
            lines << StringTable::load(kAccessRuleText).arg(path);
        break;
    case OpenFailureReason::Busy:
        if (diagnosis.holderPid > 0)
            lines << StringTable::load(kHeldByText)
                         .arg(path, QString::fromStdString(diagnosis.holderProgram), QString::number(diagnosis.holderPid));
        else
            lines << StringTable::load(kHeldText).arg(path);
        break;
    case OpenFailureReason::Vanished:
        lines << StringTable::load(kVanishedText).arg(path);
        break;
    case OpenFailureReason::NotSerial:
        lines << StringTable::load(kNotSerialText).arg(path);
        break;
    case OpenFailureReason::Unknown:
        break;
    }
    if (diagnosis.brlttyClaims)
        lines << StringTable::load(kBrlttyText);
    if (diagnosis.modemManagerRunning)
        lines << StringTable::load(kModemManagerText);
    return lines.join(QLatin1Char('\n'));
}
