// The Vetra_Interface_RadarDevice_* functions: argument checks and the module's
// command sequences, on top of CRadarConnection.
#include "RadarDevice.h"

#include <algorithm>
#include <vector>

#include "ModuleProtocol.h"
#include "RadarConnection.h"

using namespace ModuleProtocol;

namespace {

// Reply time-outs of the commands the library sends on its own (GetVersion, Start,
// Stop, StopCmdMode). The module answers within a few ms; these leave room for a
// busy USB bridge without making a dead module stall the caller for long.
constexpr int kCommandTimeoutMs = 500;
constexpr int kLeaveTimeoutMs = 300;
// GetVersion and Stop enter command mode like the application's bracket does.
constexpr int kEnterRetries = 2;
constexpr int kEnterTimeoutMs = 150;
constexpr int kReadBlockSize = 4096;
constexpr int kMaxParameterCount = int(kMaxPayloadSize / kParameterEntrySize);

CRadarConnection* Connection(VetraRadarHandle device)
{
    return static_cast<CRadarConnection*>(device);
}

bool Succeeded(const CommandReply& reply)
{
    return reply.outcome == kVetraStatusOk && reply.payload.size() >= 2 && ReadU16(reply.payload.data()) == kSuccess;
}

bool EnterCommandMode(CRadarConnection& connection, int retries, int timeoutMs)
{
    for (int attempt = 0; attempt < std::max(retries, 1); ++attempt) {
        const CommandReply reply = connection.Exchange(kEnterCommandMode, nullptr, 0, timeoutMs);
        if (Succeeded(reply)) {
            // A reply without the version word comes from a module older than the
            // version field itself: it knows only the basic parameters.
            const bool hasVersion = reply.payload.size() >= 4;
            connection.NoteProtocolVersion(hasVersion ? ReadU16(&reply.payload[2]) : kBasicProtocolVersion);
            return true;
        }
        if (reply.outcome != kVetraStatusTimeout)
            return false;  // link lost or not open: another try cannot help
    }
    return false;
}

bool LeaveCommandMode(CRadarConnection& connection)
{
    return Succeeded(connection.Exchange(kLeaveCommandMode, nullptr, 0, kLeaveTimeoutMs));
}

// Enters command mode, runs one command and leaves again. Leaving is sent even when
// entering seemed to fail: the module may have entered and only its reply got lost,
// and a module left in command mode would send no more reports.
CommandReply RunBracketed(CRadarConnection& connection, std::uint16_t word)
{
    CommandReply reply{kVetraStatusTimeout, {}};
    if (EnterCommandMode(connection, kEnterRetries, kEnterTimeoutMs))
        reply = connection.Exchange(word, nullptr, 0, kCommandTimeoutMs);
    if (connection.IsConnected())
        LeaveCommandMode(connection);
    return reply;
}

}  // namespace

VetraRadarHandle Vetra_Interface_RadarDevice_Serial_Create()
{
    return new CRadarConnection();
}

void Vetra_Interface_RadarDevice_Serial_Destroy(VetraRadarHandle device)
{
    delete Connection(device);
}

int Vetra_Interface_RadarDevice_Serial_OpenByPortNum(VetraRadarHandle device, int portNumber, int baudRate,
                                                     int attempts, int stopBits, int assertDtr, int retryDelayMs)
{
    if (!device)
        return 0;
    SerialLineSettings settings;
    settings.baudRate = baudRate;
    settings.stopBits = stopBits;
    settings.assertDtr = assertDtr != 0;
    return Connection(device)->Open(portNumber, settings, attempts, retryDelayMs) ? 1 : 0;
}

void Vetra_Interface_RadarDevice_Serial_Close(VetraRadarHandle device)
{
    if (device)
        Connection(device)->Close();
}

int Vetra_Interface_RadarDevice_IsConnected(VetraRadarHandle device)
{
    return device && Connection(device)->IsConnected() ? 1 : 0;
}

int Vetra_Interface_RadarDevice_GetVersion(VetraRadarHandle device, CBaseStringA* version)
{
    if (!device || !version || !Connection(device)->IsConnected())
        return 0;
    const CommandReply reply = RunBracketed(*Connection(device), kReadVersion);
    if (!Succeeded(reply))
        return 0;
    const std::size_t textSize = reply.payload.size() - 2;
    if (textSize < 1 || textSize > kMaxVersionTextSize)
        return 0;  // not a version text this protocol allows
    version->Set(reinterpret_cast<const char*>(reply.payload.data() + 2), int(textSize));
    return 1;
}

int Vetra_Interface_RadarDevice_StartCmdMode(VetraRadarHandle device, int retries, int timeoutMs)
{
    return device && EnterCommandMode(*Connection(device), retries, timeoutMs) ? 1 : 0;
}

int Vetra_Interface_RadarDevice_GetProtocolVersion(VetraRadarHandle device)
{
    return device ? Connection(device)->ProtocolVersion() : 0;
}

void Vetra_Interface_RadarDevice_CleanCmdBuffer(VetraRadarHandle device, int maxMs)
{
    if (device)
        Connection(device)->CleanInput(maxMs);
}

int Vetra_Interface_RadarDevice_StopCmdMode(VetraRadarHandle device)
{
    return device && LeaveCommandMode(*Connection(device)) ? 1 : 0;
}

int Vetra_Interface_RadarDevice_Start(VetraRadarHandle device)
{
    return device && Succeeded(Connection(device)->Exchange(kReportingOn, nullptr, 0, kCommandTimeoutMs)) ? 1 : 0;
}

int Vetra_Interface_RadarDevice_Stop(VetraRadarHandle device)
{
    if (!device || !Connection(device)->IsConnected())
        return 0;
    return Succeeded(RunBracketed(*Connection(device), kReportingOff)) ? 1 : 0;
}

int Vetra_Interface_RadarDevice_GetReadBlockBufferSize(VetraRadarHandle device)
{
    return device ? kReadBlockSize : 0;
}

int Vetra_Interface_RadarDevice_ReadData(VetraRadarHandle device, std::uint8_t* buffer, int capacity, int timeoutMs,
                                         int /*flags*/)
{
    return device ? Connection(device)->ReadData(buffer, capacity, timeoutMs) : -1;
}

std::uint16_t Vetra_Interface_RadarDevice_Protocol_SendCommand(VetraRadarHandle device, std::uint16_t command,
                                                               const std::uint8_t* payload, int payloadLength,
                                                               VetraReplyCallback callback, void* user, int timeoutMs)
{
    if (!device)
        return kVetraStatusNotOpen;
    if (payloadLength < 0 || std::size_t(payloadLength) > kMaxPayloadSize || (payloadLength > 0 && !payload))
        return kVetraStatusBadArgument;
    const CommandReply reply = Connection(device)->Exchange(command, payload, std::size_t(payloadLength), timeoutMs);
    if (reply.outcome != kVetraStatusOk)
        return reply.outcome;
    if (reply.payload.size() < 2)
        return kVetraStatusBadReply;
    if (callback)
        return callback(1, reply.payload.data(), int(reply.payload.size()), user);
    return ReadU16(reply.payload.data());
}

int Vetra_Interface_RadarDevice_Protocol_SetParameter(VetraRadarHandle device, std::uint16_t command, int count,
                                                      const std::uint16_t* identifiers, const std::int32_t* values,
                                                      int timeoutMs)
{
    if (!device || count < 1 || count > kMaxParameterCount || !identifiers || !values)
        return 0;
    std::vector<std::uint8_t> payload(std::size_t(count) * kParameterEntrySize);
    for (int i = 0; i < count; ++i) {
        std::uint8_t* entry = &payload[std::size_t(i) * kParameterEntrySize];
        WriteU16(entry, identifiers[i]);
        WriteU32(entry + 2, std::uint32_t(values[i]));
    }
    return Succeeded(Connection(device)->Exchange(command, payload.data(), payload.size(), timeoutMs)) ? 1 : 0;
}
