#include "PortListing.h"

#include <QDir>
#include <QFileInfo>
#include <QtSerialPort/QSerialPortInfo>

#include "PortOrder.h"

namespace {

// The /dev/serial/by-id link that points at path, if any: the name stays the same
// whichever /dev/ttyUSB number the device gets.
std::string ByIdLinkOf(const QString& path)
{
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    const QString target = QFileInfo(path).canonicalFilePath();
    for (const QFileInfo& link : byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        if (link.isSymLink() && link.canonicalFilePath() == target)
            return link.absoluteFilePath().toStdString();
    }
    return {};
}

}  // namespace

std::vector<SerialPortEntry> ListSerialPorts()
{
    std::vector<SerialPortEntry> entries;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports) {
        SerialPortEntry entry;
        entry.path = info.systemLocation().toStdString();
        if (!LegacyPortHasUart(entry.path))
            continue;
        entry.description = info.description().toStdString();
        entry.manufacturer = info.manufacturer().toStdString();
        entry.serialNumber = info.serialNumber().toStdString();
        entry.vendorId = info.hasVendorIdentifier() ? info.vendorIdentifier() : 0;
        entry.productId = info.hasProductIdentifier() ? info.productIdentifier() : 0;
        if (entry.vendorId != 0)
            entry.byIdLink = ByIdLinkOf(info.systemLocation());
        entries.push_back(std::move(entry));
    }
    OrderSerialPorts(entries);
    return entries;
}
