#include "DeviceIdentity.h"

#include <cstdio>

std::string DeviceIdentityOf(const SerialPortEntry& entry)
{
    if (entry.vendorId == 0)
        return "path:" + entry.path;
    char ids[16] = {};
    std::snprintf(ids, sizeof ids, "%04x:%04x", unsigned(entry.vendorId), unsigned(entry.productId));
    if (!entry.serialNumber.empty())
        return "usb:" + std::string(ids) + ":" + entry.serialNumber;
    if (!entry.byIdLink.empty())
        return "usb:" + std::string(ids) + ":" + entry.byIdLink;
    return "usb:" + std::string(ids) + ":" + entry.path;
}
