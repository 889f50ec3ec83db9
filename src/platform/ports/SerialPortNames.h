#pragma once
// Serial port listing and the port numbers the device library opens by.
//
// Port numbers on this platform: the process keeps one table that gives every
// serial device path a number the first time it is seen (listed or registered),
// counting from 1; the number stays the path's number for the life of the process.
// The built-in simulated module has the fixed number kSimulatedPortNumber. A name
// of the form COM<n> stands for number n.
#include <string>
#include "PtrListCtrl.h"

constexpr int kSimulatedPortNumber = 0x10000;
// The device path under which the simulated module is known to the device library.
inline constexpr const char* kSimulatedPortPath = "sim:module";

// Lists the serial devices in the order the operator chooses from (USB devices by
// description, then other real devices, then legacy on-board ports that have a UART),
// then the simulated module last. Each item of `names` is a new char16_t[] text: the device
// path, followed by " (description)" when the system knows one; the simulated
// module shows its display name. Returns the count. Never opens a port.
int EnumSerialPortNameW(CPtrListCtrl* names);
// Frees the texts of EnumSerialPortNameW and empties the list.
void FreeSerialPortNameA(CPtrListCtrl* names);

// The display name of the simulated module in the list ("Simulated module" by default).
void SetSimulatedPortDisplayNameW(const char16_t* name);
std::u16string GetSimulatedPortDisplayNameW();

// Gives path a port number (the existing one when already known) and returns it;
// 0 for an empty path.
int RegisterSerialPortPath(const std::string& path);
// The port number of a listed name: for "COM<n>..." the digits right after the first
// three characters (0 when there are none); for any other name the number of its
// device path (the name up to " (") or of the simulated module's display name; 0 when unknown.
int SerialPortNumberFromNameW(const char16_t* name);
// The device path of a port number; empty when the number is not known.
std::string SerialPortPathFromNumber(int portNumber);
