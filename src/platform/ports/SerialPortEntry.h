#pragma once
#include <cstdint>
#include <string>

// Where a serial device sits in the port list: USB bridges first (what a module is
// plugged in through), then other real devices, then the legacy on-board ports.
enum class SerialPortKind { Usb, Other, Legacy };

// One serial device as the system describes it. Nothing here comes from opening it.
struct SerialPortEntry {
    std::string path;          // "/dev/ttyUSB0"
    std::string description;   // the USB product text, empty when unknown
    std::string manufacturer;  // empty when unknown
    std::string serialNumber;  // the USB serial number, empty when unknown
    std::uint16_t vendorId = 0;   // 0 when not a USB device
    std::uint16_t productId = 0;
    std::string byIdLink;      // its link under /dev/serial/by-id, empty when none
    SerialPortKind kind = SerialPortKind::Other;
};
