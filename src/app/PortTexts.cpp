#include "PortTexts.h"

#include <QStringList>

#include "StringIds.h"
#include "StringTable.h"

QString PortToolTip(const SerialPortEntry& entry)
{
    QStringList lines;
    if (!entry.manufacturer.empty())
        lines << StringTable::load(StringId::kManufacturerText).arg(QString::fromStdString(entry.manufacturer));
    if (entry.vendorId != 0)
        lines << StringTable::load(StringId::kUsbIdText)
                     .arg(QStringLiteral("%1:%2")
                              .arg(entry.vendorId, 4, 16, QLatin1Char('0'))
                              .arg(entry.productId, 4, 16, QLatin1Char('0')));
    if (!entry.serialNumber.empty())
        lines << StringTable::load(StringId::kSerialNumberText).arg(QString::fromStdString(entry.serialNumber));
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
            lines << StringTable::load(StringId::kOwnerOnlyText).arg(path, QString::fromStdString(diagnosis.owner));
        else
            lines << StringTable::load(diagnosis.memberAfterNextLogin ? StringId::kGroupAfterLoginText : StringId::kNotInGroupText)
                         .arg(path, group.isEmpty() ? QStringLiteral("dialout") : group);
        // The rule covers the USB bridges only, and takes effect when the device appears.
        if (path.contains(QLatin1String("/ttyUSB")) || path.contains(QLatin1String("/ttyACM")))
            lines << StringTable::load(StringId::kAccessRuleText).arg(path);
        break;
    case OpenFailureReason::Busy:
        if (diagnosis.holderPid > 0)
            lines << StringTable::load(StringId::kHeldByText)
                         .arg(path, QString::fromStdString(diagnosis.holderProgram), QString::number(diagnosis.holderPid));
        else
            lines << StringTable::load(StringId::kHeldText).arg(path);
        break;
    case OpenFailureReason::Vanished:
        lines << StringTable::load(StringId::kVanishedText).arg(path);
        break;
    case OpenFailureReason::NotSerial:
        lines << StringTable::load(StringId::kNotSerialText).arg(path);
        break;
    case OpenFailureReason::Unknown:
        break;
    }
    if (diagnosis.brlttyClaims)
        lines << StringTable::load(StringId::kBrlttyText);
    if (diagnosis.modemManagerRunning)
        lines << StringTable::load(StringId::kModemManagerText);
    return lines.join(QLatin1Char('\n'));
}
