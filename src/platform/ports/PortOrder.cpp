#include "PortOrder.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <tuple>

namespace {

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

SerialPortKind ClassifySerialPort(const SerialPortEntry& entry)
{
    if (entry.vendorId != 0)
        return SerialPortKind::Usb;
    if (StartsWith(entry.path, "/dev/ttyS"))
        return SerialPortKind::Legacy;
    return SerialPortKind::Other;
}

void OrderSerialPorts(std::vector<SerialPortEntry>& entries)
{
    for (SerialPortEntry& entry : entries)
        entry.kind = ClassifySerialPort(entry);
    // Only USB devices are ordered by description: the product text is what the
    // operator recognises; for the others the path is all there is. "ttyS10" after
    // "ttyS9": a shorter path of the same group comes first.
    std::stable_sort(entries.begin(), entries.end(), [](const SerialPortEntry& a, const SerialPortEntry& b) {
        static const std::string none;
        const std::string& aText = a.kind == SerialPortKind::Usb ? a.description : none;
        const std::string& bText = b.kind == SerialPortKind::Usb ? b.description : none;
        return std::make_tuple(int(a.kind), std::cref(aText), a.path.size(), std::cref(a.path)) <
               std::make_tuple(int(b.kind), std::cref(bText), b.path.size(), std::cref(b.path));
    });
}

bool LegacyPortHasUart(const std::string& path, const std::string& sysfsRoot)
{
    if (!StartsWith(path, "/dev/ttyS"))
        return true;
    std::ifstream type(sysfsRoot + "/" + path.substr(5) + "/type");
    int value = -1;
    if (!(type >> value))
        return true;
    return value != 0;  // PORT_UNKNOWN
}
