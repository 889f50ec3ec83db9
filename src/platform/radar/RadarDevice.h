#pragma once
// The radar device library: the serial link to the presence-radar module and its
// command protocol. Every call takes the handle from Serial_Create first.
//
// Threads: ReadData and GetReadBlockBufferSize are meant for the acquisition thread,
// the rest for the user-interface thread; IsConnected is safe from any thread while
// ReadData runs. The serial port itself lives on a private I/O thread of the
// library; the calls below block (within their time-outs) until that thread answers.
// That thread runs a Qt event loop, which Qt allows only once a QCoreApplication (or
// QApplication) exists: create one before opening a serial port. The built-in
// simulated module needs none.
#include <cstdint>
#include "../common/BaseStringA.h"

using VetraRadarHandle = void*;

// Accepts or rejects one reply of Protocol_SendCommand. hasStatus: nonzero when the
// reply begins with the module's 16-bit status word (always so with this module).
// Returns 0 when it accepted the reply.
using VetraReplyCallback = std::uint16_t (*)(int hasStatus, const std::uint8_t* reply, int length, void* user);

// Statuses of Protocol_SendCommand besides the module's own (0 to 4) and the callback's.
enum VetraCommandStatus : std::uint16_t {
    kVetraStatusOk = 0,
    kVetraStatusNotOpen = 0xA001,     // no port open
    kVetraStatusTimeout = 0xA002,     // no valid reply within the time-out
    kVetraStatusWriteFailed = 0xA003, // the command could not be sent (link lost)
    kVetraStatusBadArgument = 0xA005, // payload too long or missing
    kVetraStatusBadReply = 0xA006     // the reply is too short to hold a status word
};

// A new handle with nothing open; never null.
VetraRadarHandle Vetra_Interface_RadarDevice_Serial_Create();
// Closes what is open and frees the handle; null is ignored.
void Vetra_Interface_RadarDevice_Serial_Destroy(VetraRadarHandle device);

// Opens the port with this number (see SerialPortNames.h; kSimulatedPortNumber opens
// the built-in simulated module) at baudRate (above 0), 8 data bits, no parity, no flow control.
// attempts: how many times to try to open (2); stopBits: 1 or 2 (1);
// assertDtr: nonzero raises DTR and RTS after opening, which USB bridges of such
// modules want (1); retryDelayMs: wait between attempts (150).
// Only opens and configures: a port with no module behind it opens. A port already
// open on this handle is closed first. Nonzero: open; 0: failed.
int Vetra_Interface_RadarDevice_Serial_OpenByPortNum(VetraRadarHandle device, int portNumber, int baudRate,
                                                     int attempts, int stopBits, int assertDtr, int retryDelayMs);
// Closes the port; harmless when nothing is open.
void Vetra_Interface_RadarDevice_Serial_Close(VetraRadarHandle device);
// Nonzero while a port is open and the link has not failed (a vanished device answers 0).
int Vetra_Interface_RadarDevice_IsConnected(VetraRadarHandle device);

// Enters command mode, reads the firmware version and leaves command mode.
// On success version holds the module's text; on failure it is left as it was. Nonzero on success.
int Vetra_Interface_RadarDevice_GetVersion(VetraRadarHandle device, CBaseStringA* version);

// Sends "enter command mode" up to retries times (2), waiting timeoutMs (150) for each
// reply. Nonzero when the module answered.
int Vetra_Interface_RadarDevice_StartCmdMode(VetraRadarHandle device, int retries, int timeoutMs);
// The protocol version the module answered at the last successful enter-command-mode
// (StartCmdMode, GetVersion, Stop) since the port was opened: 1 sets only parameters 0
// to 4, 2 sets all 18; 0 before any such answer or for a null handle.
int Vetra_Interface_RadarDevice_GetProtocolVersion(VetraRadarHandle device);
// Discards input until the line has been silent for 20 ms, at most maxMs (500) in all.
void Vetra_Interface_RadarDevice_CleanCmdBuffer(VetraRadarHandle device, int maxMs);
// Sends "leave command mode". Nonzero when the module answered.
int Vetra_Interface_RadarDevice_StopCmdMode(VetraRadarHandle device);
// Sends "reporting on" (the caller brackets it in command mode). Nonzero on success.
int Vetra_Interface_RadarDevice_Start(VetraRadarHandle device);
// Enters command mode, sends "reporting off" and leaves command mode. Harmless when
// never started or not open. Nonzero on success.
int Vetra_Interface_RadarDevice_Stop(VetraRadarHandle device);

// Bytes the caller should offer ReadData at a time.
int Vetra_Interface_RadarDevice_GetReadBlockBufferSize(VetraRadarHandle device);
// Copies the bytes that have arrived, at most capacity, into buffer. Returns as soon as
// any byte is there, or after timeoutMs with 0. Returns -1 at once when nothing is open
// or the link has failed (device gone) and every byte that came before the failure has
// been read; also -1 for a null buffer or a capacity below 1. flags: reserved, 0.
int Vetra_Interface_RadarDevice_ReadData(VetraRadarHandle device, std::uint8_t* buffer, int capacity,
                                         int timeoutMs, int flags);

// Sends command with payload (null and 0 for none) and waits up to timeoutMs for its
// reply; hands the reply payload (status word first) to callback when one is given,
// on the calling thread. Returns the callback's status; without a callback, the
// module's status word (0 = carried out); or one of VetraCommandStatus when no valid
// reply came.
std::uint16_t Vetra_Interface_RadarDevice_Protocol_SendCommand(VetraRadarHandle device, std::uint16_t command,
                                                               const std::uint8_t* payload, int payloadLength,
                                                               VetraReplyCallback callback, void* user,
                                                               int timeoutMs);
// Sends count (identifier, value) pairs with command (0x0067). Nonzero when the
// module answered with status 0.
int Vetra_Interface_RadarDevice_Protocol_SetParameter(VetraRadarHandle device, std::uint16_t command, int count,
                                                      const std::uint16_t* identifiers, const std::int32_t* values,
                                                      int timeoutMs);
