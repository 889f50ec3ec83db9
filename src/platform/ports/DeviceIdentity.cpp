#include "DeviceIdentity.h"

#include <sys/stat.h>

#include <cstdio>

#include "PortListing.h"

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

std::string FindDeviceOfIdentity(const std::string& identity, const std::string& path)
{
    if (identity.rfind("usb:", 0) == 0) {
        for (const SerialPortEntry& entry : ListSerialPorts())
            if (DeviceIdentityOf(entry) == identity)
                return entry.path;
        return {};
    }
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISCHR(status.st_mode) ? path : std::string();
}
