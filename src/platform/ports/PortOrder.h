#pragma once
#include <string>
#include <vector>

#include "SerialPortEntry.h"

// Legacy on-board ports are /dev/ttyS*; USB devices are those with a vendor id.
SerialPortKind ClassifySerialPort(const SerialPortEntry& entry);

// Sorts the list the way the operator wants to choose from it: USB devices by
// description, then path; then other real devices; then legacy ports; each group by
// path. Sets each entry's kind.
void OrderSerialPorts(std::vector<SerialPortEntry>& entries);

// False for a legacy port the kernel lists although no UART answers behind it: its
// "type" in sysfsRoot/<name>/type reads 0 (unknown). True for every other path, and
// when the kernel says nothing about it.
bool LegacyPortHasUart(const std::string& path, const std::string& sysfsRoot = "/sys/class/tty");
