#include "ModuleExchange.h"

#include <algorithm>
#include <cstring>

#include "DetectionParamsReply.h"

namespace ModuleParams {

namespace {

constexpr std::uint16_t kReadVersionCommand = 0x00A0;
constexpr std::uint16_t kLeaveCommand = 0x00FE;
constexpr std::uint16_t kNotInCommandMode = 4;
constexpr std::size_t kMaxVersionText = 32;

std::uint16_t KeepVersionText(int hasStatus, const std::uint8_t* reply, int length, void* user)
{
    if (!hasStatus || length < 2)
        return kVetraStatusBadReply;
    const std::uint16_t status = std::uint16_t(reply[0] | (reply[1] << 8));
    if (status != 0)
        return status;
    const std::size_t size = std::size_t(length - 2);
    if (size < 1 || size > kMaxVersionText)
        return kVetraStatusBadReply;
    static_cast<std::string*>(user)->assign(reinterpret_cast<const char*>(reply + 2), size);
    return 0;
}

std::uint16_t ParseParameters(int hasStatus, const std::uint8_t* reply, int length, void* user)
{
    return ParseDetectionParamsReply(hasStatus, reply, length, static_cast<DetectionParams*>(user));
}

}  // namespace

std::string CommandStatusText(std::uint16_t status)
{
    switch (status) {
    case 0: return "done";
    case 1: return "the module refused it: unknown command";
    case 2: return "the module refused it: wrong length";
    case 3: return "the module refused it: unknown parameter identifier";
    case 4: return "the module refused it: not in command mode";
    case kVetraStatusNotOpen: return "the port is not open";
    case kVetraStatusTimeout: return "no reply";
    case kVetraStatusWriteFailed: return "the link is lost";
    case kVetraStatusBadArgument: return "the command could not be built";
    case kDetectionParamsWrongLength: return "the reply has the wrong length";
    case kExchangeStopped: return "not sent: stopped on request";
    case kVetraStatusBadReply: return "the reply is not one this command gives";
    default: return "status " + std::to_string(status);
    }
}

CModuleExchange::CModuleExchange(VetraRadarHandle device, const ExchangeTimings& timings)
    : m_device(device), m_timings(timings)
{
    m_timings.retries = std::max(m_timings.retries, 0);
}

CModuleExchange::~CModuleExchange()
{
    // A module left in command mode sends no more reports: close the bracket on every path.
    Leave();
}

bool CModuleExchange::Enter()
{
    m_open = true;
    m_left = false;
    for (int attempt = 0; attempt <= m_timings.retries && !StopRequested(); ++attempt) {
        if (attempt > 0)
            ++m_retries;
        if (Vetra_Interface_RadarDevice_StartCmdMode(m_device, 1, m_timings.enterTimeoutMs)) {
            m_entered = true;
            m_protocolVersion = Vetra_Interface_RadarDevice_GetProtocolVersion(m_device);
            Vetra_Interface_RadarDevice_CleanCmdBuffer(m_device, m_timings.cleanMs);
            return true;
        }
        if (!Vetra_Interface_RadarDevice_IsConnected(m_device))
            break;  // link lost: another try cannot help
    }
    return false;
}

std::string CModuleExchange::EnterError() const
{
    if (StopRequested())
        return "stopped on request before the module answered (enter command mode)";
    return Vetra_Interface_RadarDevice_IsConnected(m_device) ? "the module did not answer (enter command mode)"
                                                             : "the link to the module is lost";
}

CommandResult CModuleExchange::Send(std::uint16_t word, const std::uint8_t* payload, int payloadLength,
                                    VetraReplyCallback callback, void* user)
{
    CommandResult result;
    for (int attempt = 0; attempt <= m_timings.retries; ++attempt) {
        if (StopRequested()) {
            // Leaving command mode still goes out, once: the module would send no
            // reports otherwise.
            if (word != kLeaveCommand || attempt > 0) {
                if (result.tries == 0)
                    result.status = kExchangeStopped;
                break;
            }
        }
        if (attempt > 0)
            ++m_retries;
        ++result.tries;
        result.status = Vetra_Interface_RadarDevice_Protocol_SendCommand(m_device, word, payload, payloadLength,
                                                                         callback, user, m_timings.commandTimeoutMs);
        if (result.status != kVetraStatusTimeout)
            break;  // an answer, or a lost link that no retry can mend
    }
    return result;
}

CommandResult CModuleExchange::ReadFirmware(std::string& text)
{
    std::string read;
    const CommandResult result = Send(kReadVersionCommand, nullptr, 0, &KeepVersionText, &read);
    if (result.Ok())
        text = read;
    return result;
}

CommandResult CModuleExchange::ReadParameters(DetectionParams& params)
{
    DetectionParams read;
    const CommandResult result = Send(kReadDetectionParamsCommand, nullptr, 0, &ParseParameters, &read);
    if (result.Ok())
        params = read;
    return result;
}

CommandResult CModuleExchange::SetParameter(std::uint16_t id, std::int32_t raw)
{
    std::uint8_t entry[6];
    const auto value = std::uint32_t(raw);
    entry[0] = std::uint8_t(id & 0xFF);
    entry[1] = std::uint8_t(id >> 8);
    for (int i = 0; i < 4; ++i)
        entry[2 + i] = std::uint8_t(value >> (8 * i));
    return Send(kSetDetectionParamsCommand, entry, int(sizeof entry), nullptr, nullptr);
}

bool CModuleExchange::Leave()
{
    if (m_open) {
        m_open = false;
        CommandResult result;
        if (m_entered) {
            result = Send(kLeaveCommand, nullptr, 0, nullptr, nullptr);
        } else {
            result.status = Vetra_Interface_RadarDevice_Protocol_SendCommand(m_device, kLeaveCommand, nullptr, 0, nullptr,
                                                                             nullptr, m_timings.enterTimeoutMs);
        }
        m_left = result.Ok() || result.status == kNotInCommandMode;
    }
    return m_left;
}

}  // namespace ModuleParams
