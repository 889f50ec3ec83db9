#include "SimulatedCommandSet.h"

#include <algorithm>

#include "ModuleProtocol.h"

using namespace ModuleProtocol;

namespace {

std::vector<std::uint8_t> StatusOnly(std::uint16_t status)
{
    std::vector<std::uint8_t> reply(2);
    WriteU16(reply.data(), status);
    return reply;
}

}  // namespace

CSimulatedCommandSet::CSimulatedCommandSet(std::string version, int protocolVersion,
                                           std::vector<std::uint16_t> ignoredIds)
    : m_version(std::move(version)),
      m_protocolVersion(protocolVersion <= int(kBasicProtocolVersion) ? kBasicProtocolVersion : kProtocolVersion),
      m_ignoredIds(std::move(ignoredIds))
{
    // The protocol allows 1 to 32 bytes of version text.
    if (m_version.empty())
        m_version.push_back('?');
    if (m_version.size() > kMaxVersionTextSize)
        m_version.resize(kMaxVersionTextSize);
}

std::vector<std::uint8_t> CSimulatedCommandSet::Execute(const CommandFrame& request)
{
    if (request.word == kEnterCommandMode) {
        if (!request.payload.empty())
            return StatusOnly(kBadLength);
        m_commandMode = true;
        std::vector<std::uint8_t> reply = StatusOnly(kSuccess);
        reply.resize(4);
        WriteU16(&reply[2], m_protocolVersion);
        return reply;
    }
    if (!m_commandMode)
        return StatusOnly(kNotInCommandMode);
    return ExecuteInCommandMode(request);
}

std::vector<std::uint8_t> CSimulatedCommandSet::ExecuteInCommandMode(const CommandFrame& request)
{
    const bool noPayload = request.payload.empty();
    switch (request.word) {
    case kLeaveCommandMode:
        if (!noPayload)
            return StatusOnly(kBadLength);
        m_commandMode = false;
        return StatusOnly(kSuccess);
    case kReadVersion: {
        if (!noPayload)
            return StatusOnly(kBadLength);
        std::vector<std::uint8_t> reply = StatusOnly(kSuccess);
        reply.insert(reply.end(), m_version.begin(), m_version.end());
        return reply;
    }
    case kReportingOn:
    case kReportingOff:
        if (!noPayload)
            return StatusOnly(kBadLength);
        m_reportingOn = request.word == kReportingOn;
        return StatusOnly(kSuccess);
    case kReadParameters: {
        if (!noPayload)
            return StatusOnly(kBadLength);
        std::vector<std::uint8_t> reply = StatusOnly(kSuccess);
        const auto block = m_parameters.Encode();
        reply.insert(reply.end(), block.begin(), block.end());
        return reply;
    }
    case kSetParameters:
        return SetParameters(request.payload);
    default:
        return StatusOnly(kUnknownCommand);
    }
}

std::vector<std::uint8_t> CSimulatedCommandSet::SetParameters(const std::vector<std::uint8_t>& payload)
{
    if (payload.size() % kParameterEntrySize != 0)
        return StatusOnly(kBadLength);
    // All or nothing: one bad identifier leaves every parameter as it was.
    for (std::size_t at = 0; at < payload.size(); at += kParameterEntrySize) {
        if (!SimulatedParameters::IsSettable(ReadU16(&payload[at]), m_protocolVersion))
            return StatusOnly(kBadParameterId);
    }
    for (std::size_t at = 0; at < payload.size(); at += kParameterEntrySize) {
        const std::uint16_t id = ReadU16(&payload[at]);
        // A faulty module acknowledges these and keeps the old value: only a read-back tells.
        if (std::find(m_ignoredIds.begin(), m_ignoredIds.end(), id) == m_ignoredIds.end())
            m_parameters.Set(id, std::int32_t(ReadU32(&payload[at + 2])));
    }
    return StatusOnly(kSuccess);
}
