#pragma once
#include <string>

#include "SerialPortEntry.h"

// How a device is known again after it comes back, perhaps under another /dev name: a
// USB device by vendor, product and serial number (by its /dev/serial/by-id link when
// it has no serial number), any other device by its path.
std::string DeviceIdentityOf(const SerialPortEntry& entry);
