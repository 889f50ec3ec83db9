#pragma once

// How the device library configures a serial line: 8 data bits, no parity and no flow
// control always; the rest as the caller of Serial_OpenByPortNum asks.
struct SerialLineSettings {
    int baudRate = 256000;
    int stopBits = 1;        // 1 or 2
    bool assertDtr = true;   // raise DTR and RTS after opening
};
