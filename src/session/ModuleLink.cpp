#include "ModuleLink.h"

#include <algorithm>

#include "DetectionParamsReply.h"
#include "DeviceIdentity.h"
#include "HostLinkSettings.h"
#include "PortListing.h"
#include "SerialPortNames.h"

namespace {

constexpr int kExchangeTimeoutMs = 2000;

std::uint16_t ParseReply(int hasStatus, const std::uint8_t* reply, int length, void* params)
{
    return ParseDetectionParamsReply(hasStatus, reply, length, static_cast<DetectionParams*>(params));
}

}  // namespace

CModuleLink::~CModuleLink()
{
    Destroy();
}

void CModuleLink::Create()
{
    if (!m_device)
        m_device = Vetra_Interface_RadarDevice_Serial_Create();
}

void CModuleLink::Destroy()
{
    if (!m_device)
        return;
    Vetra_Interface_RadarDevice_Serial_Close(m_device);
    Vetra_Interface_RadarDevice_Serial_Destroy(m_device);
    m_device = nullptr;
}

bool CModuleLink::OpenPortNumber(int portNumber, int baud)
{
    m_baud = baud;
    return Vetra_Interface_RadarDevice_Serial_OpenByPortNum(m_device, portNumber, baud, HostLink::kOpenAttempts,
                                                           HostLink::kStopBits, HostLink::kAssertDtr,
                                                           HostLink::kOpenRetryDelayMs) != 0;
}

bool CModuleLink::Open(const std::string& port, int baud)
{
    Create();
    const bool simulated = port == kSimulatedPortPath;
    const std::string& path = port;
    const std::vector<SerialPortEntry> listed = simulated ? std::vector<SerialPortEntry>{} : ListSerialPorts();
    const auto entry = std::find_if(listed.begin(), listed.end(), [&](const SerialPortEntry& e) { return e.path == path; });
    Remember(path, entry != listed.end() ? &*entry : nullptr);
    return OpenPortNumber(simulated ? kSimulatedPortNumber : RegisterSerialPortPath(path), baud);
}

void CModuleLink::Close()
{
    Vetra_Interface_RadarDevice_Serial_Close(m_device);
}

bool CModuleLink::IsConnected() const
{
    return Vetra_Interface_RadarDevice_IsConnected(m_device) != 0;
}

void CModuleLink::Remember(const std::string& path, const SerialPortEntry* listed)
{
    m_path = path;
    m_identity = listed ? DeviceIdentityOf(*listed) : "path:" + path;
}

std::string CModuleLink::FindAgain() const
{
    return m_path == kSimulatedPortPath ? m_path : FindDeviceOfIdentity(m_identity, m_path);
}

bool CModuleLink::ReadFirmwareVersion(CBaseStringA& version)
{
    return !Stopped() && Vetra_Interface_RadarDevice_GetVersion(m_device, &version) != 0;
}

bool CModuleLink::ReadFirmwareVersion(std::string& version)
{
    CBaseStringA text;
    if (!ReadFirmwareVersion(text))
        return false;
    version.assign(text.GetString(), std::size_t(text.GetLength()));
    return true;
}

void CModuleLink::EnterCommandMode()
{
    if (Stopped())
        return;
    Vetra_Interface_RadarDevice_StartCmdMode(m_device, HostLink::kCommandModeRetries, HostLink::kCommandModeTimeoutMs);
    if (!Stopped())
        Vetra_Interface_RadarDevice_CleanCmdBuffer(m_device, HostLink::kCleanBufferMs);
}

void CModuleLink::LeaveCommandMode()
{
    Vetra_Interface_RadarDevice_StopCmdMode(m_device);
}

void CModuleLink::SendStartBracket()
{
    // After a stop, command mode (if it was entered) is still left.
    EnterCommandMode();
    if (!Stopped())
        Vetra_Interface_RadarDevice_Start(m_device);
    LeaveCommandMode();
}

std::uint16_t CModuleLink::ReadParameters(DetectionParams& params)
{
    if (Stopped())
        return kVetraStatusTimeout;
    EnterCommandMode();
    const std::uint16_t status =
        Stopped() ? std::uint16_t(kVetraStatusTimeout)
                  : SendCommand(kReadDetectionParamsCommand, nullptr, 0, &ParseReply, &params, kExchangeTimeoutMs);
    LeaveCommandMode();
    return status;
}

std::uint16_t CModuleLink::SendCommand(std::uint16_t command, const std::uint8_t* payload, int payloadLength,
                                       VetraReplyCallback callback, void* user, int timeoutMs)
{
    return Vetra_Interface_RadarDevice_Protocol_SendCommand(m_device, command, payload, payloadLength, callback, user,
                                                           timeoutMs);
}

bool CModuleLink::SetParameters(std::uint16_t command, int count, const std::uint16_t* identifiers,
                                const std::int32_t* values, int timeoutMs)
{
    return Vetra_Interface_RadarDevice_Protocol_SetParameter(m_device, command, count, identifiers, values,
                                                            timeoutMs) != 0;
}

std::string CommandStatusText(std::uint16_t status)
{
    switch (status) {
    case kVetraStatusOk: return "done";
    case 1: return "the module does not know the command";
    case 2: return "the module found the command's length wrong";
    case 3: return "the module does not know a parameter identifier";
    case 4: return "the module was not in command mode";
    case kVetraStatusNotOpen: return "the port is not open";
    case kVetraStatusTimeout:
        return "no reply within " + std::to_string(kExchangeTimeoutMs) + " ms (check the baud rate and the wiring)";
    case kVetraStatusWriteFailed: return "the command could not be sent (link lost)";
    case kDetectionParamsWrongLength: return "the reply has the wrong length";
    case kVetraStatusBadReply: return "the reply is too short";
    default: return "status " + std::to_string(status);
    }
}
