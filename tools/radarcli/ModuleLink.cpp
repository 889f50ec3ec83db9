#include "ModuleLink.h"

#include <algorithm>

#include "CliOptions.h"
#include "ConnectionDoctor.h"
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

// What the machine shows about a device that did not open, with the fix.
std::string OpenFailureAdvice(const std::string& path, const SerialPortEntry* entry)
{
    const OpenFailureDiagnosis diagnosis = DiagnoseOpenFailure(path, entry);
    std::string advice;
    switch (diagnosis.reason) {
    case OpenFailureReason::PermissionDenied: {
        const std::string group = diagnosis.group.empty() ? "dialout" : diagnosis.group;
        if (diagnosis.group.empty() && !diagnosis.owner.empty()) {
            advice = "permission denied: only the owner of " + path + " (user " + diagnosis.owner +
                     ") may open it, so joining a group would not help; ask an administrator to give the device to "
                     "a group of yours, for example with a udev rule";
            break;
        }
        advice = diagnosis.memberAfterNextLogin
                     ? "permission denied: you were added to the group " + group + ", which takes effect at the next login"
                     : "permission denied: join the group " + group + " (sudo usermod -aG " + group +
                           " $USER) and log in again";
        break;
    }
    case OpenFailureReason::Busy:
        advice = diagnosis.holderPid > 0 ? "held by " + diagnosis.holderProgram + " (pid " +
                                               std::to_string(diagnosis.holderPid) + ")"
                                         : "held by another program";
        break;
    case OpenFailureReason::Vanished: advice = "no such device (unplugged, or a mistyped path)"; break;
    case OpenFailureReason::NotSerial: advice = "not a serial device"; break;
    case OpenFailureReason::Unknown: advice = "the system gave no reason"; break;
    }
    if (diagnosis.brlttyClaims)
        advice += "; brltty is installed and grabs USB serial adapters like this one (remove it)";
    if (diagnosis.modemManagerRunning)
        advice += "; ModemManager is running and probes new serial ports for a while";
    return advice;
}

}  // namespace

CModuleLink::CModuleLink() : m_device(Vetra_Interface_RadarDevice_Serial_Create()) {}

CModuleLink::~CModuleLink()
{
    Vetra_Interface_RadarDevice_Serial_Destroy(m_device);
}

bool CModuleLink::Open(const std::string& port, int baud, std::string& error)
{
    const bool simulated = port == kSimulatedPortOption;
    const int portNumber = simulated ? kSimulatedPortNumber : RegisterSerialPortPath(port);
    m_path = simulated ? kSimulatedPortPath : port;
    // The same identity the window writes into its capture index.
    const std::vector<SerialPortEntry> listed = simulated ? std::vector<SerialPortEntry>{} : ListSerialPorts();
    const auto entry = std::find_if(listed.begin(), listed.end(), [&](const SerialPortEntry& e) { return e.path == port; });
    m_identity = entry != listed.end() ? DeviceIdentityOf(*entry) : "path:" + m_path;
    if (Vetra_Interface_RadarDevice_Serial_OpenByPortNum(m_device, portNumber, baud, HostLink::kOpenAttempts,
                                                         HostLink::kStopBits, HostLink::kAssertDtr,
                                                         HostLink::kOpenRetryDelayMs))
        return true;
    error = simulated ? "cannot start the simulated module"
                      : "cannot open " + port + ": " + OpenFailureAdvice(port, entry != listed.end() ? &*entry : nullptr);
    return false;
}

void CModuleLink::Close()
{
    Vetra_Interface_RadarDevice_Serial_Close(m_device);
}

bool CModuleLink::IsConnected() const
{
    return Vetra_Interface_RadarDevice_IsConnected(m_device) != 0;
}

bool CModuleLink::ReadFirmwareVersion(std::string& version)
{
    CBaseStringA text;
    if (Stopped() || !Vetra_Interface_RadarDevice_GetVersion(m_device, &text))
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

void CModuleLink::SendStartBracket()
{
    // As in the window, the results are not examined: a module that missed it shows as
    // a run without reports, which the command reports at its end.
    // After a stop, command mode (if it was entered) is still left.
    EnterCommandMode();
    if (!Stopped())
        Vetra_Interface_RadarDevice_Start(m_device);
    Vetra_Interface_RadarDevice_StopCmdMode(m_device);
}

std::uint16_t CModuleLink::ReadParameters(DetectionParams& params)
{
    if (Stopped())
        return kVetraStatusTimeout;
    EnterCommandMode();
    const std::uint16_t status =
        Stopped() ? std::uint16_t(kVetraStatusTimeout)
                  : Vetra_Interface_RadarDevice_Protocol_SendCommand(m_device, kReadDetectionParamsCommand, nullptr, 0,
                                                                     &ParseReply, &params, kExchangeTimeoutMs);
    Vetra_Interface_RadarDevice_StopCmdMode(m_device);
    return status;
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
