#pragma once
#include <vector>

#include "SerialPortEntry.h"

// The serial devices of this machine, in the order of OrderSerialPorts, without the
// legacy ports that have no UART behind them. Reads udev and sysfs only: no port is
// opened. Any thread.
std::vector<SerialPortEntry> ListSerialPorts();
