#pragma once
#include <string>

#include "SerialPortEntry.h"

// How a device is known again after it comes back, perhaps under another /dev name: a
// USB device by vendor, product and serial number (by its /dev/serial/by-id link when
// it has no serial number), any other device by its path.
std::string DeviceIdentityOf(const SerialPortEntry& entry);

// Where the device of identity is now: for a USB identity the path of the listed device
// that has it, whatever its /dev name; for any other the path itself while it is a
// character device (a /dev/serial/by-id link keeps pointing at its device). Empty while
// the device is away. Reads udev, sysfs and the file system only. Any thread.
std::string FindDeviceOfIdentity(const std::string& identity, const std::string& path);
