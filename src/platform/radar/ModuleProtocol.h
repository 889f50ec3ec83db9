#pragma once
// Constants of the module's serial protocol, shared by the device library (host
// side) and the simulated module (module side).
#include <cstddef>
#include <cstdint>

namespace ModuleProtocol {

// Report frame: AA AA, state, distance (u16 LE, cm), 55 55.
constexpr std::size_t kReportFrameSize = 7;
constexpr std::uint8_t kReportHead = 0xAA;
constexpr std::uint8_t kReportTail = 0x55;

// Command and reply frames: C5 3A, length L (u16), command word (u16), payload, CRC (u16).
constexpr std::uint8_t kCommandHead0 = 0xC5;
constexpr std::uint8_t kCommandHead1 = 0x3A;
constexpr std::size_t kFrameOverhead = 6;           // header, length and CRC
constexpr std::uint16_t kMaxFrameLength = 1024;     // largest L either side accepts
constexpr std::size_t kMaxPayloadSize = kMaxFrameLength - 2;
constexpr std::uint16_t kReplyFlag = 0x8000;        // a reply carries the request's word | 0x8000

enum Command : std::uint16_t {
    kEnterCommandMode = 0x00FF,
    kLeaveCommandMode = 0x00FE,
    kReadVersion = 0x00A0,
    kReportingOn = 0x0061,
    kReportingOff = 0x0060,
    kReadParameters = 0x0073,
    kSetParameters = 0x0067
};

// The u16 status every reply payload starts with.
enum Status : std::uint16_t {
    kSuccess = 0,
    kUnknownCommand = 1,
    kBadLength = 2,
    kBadParameterId = 3,
    kNotInCommandMode = 4
};

// What enter-command-mode answers after its status: 1 for a module that sets only the
// basic five parameters, 2 for one that sets all 18.
constexpr std::uint16_t kBasicProtocolVersion = 1;
constexpr std::uint16_t kProtocolVersion = 2;
constexpr std::size_t kMaxVersionTextSize = 32;
// Read-parameters payload after the status word.
constexpr std::size_t kParameterBlockSize = 50;
// One entry of a set-parameters payload: u16 identifier, i32 value (a float field's
// value travels as the bits of its 32-bit float).
constexpr std::size_t kParameterEntrySize = 6;
// Identifiers 0 to 4 (the basic five) are settable in every version; 5 to 17 from version 2 on.
constexpr std::uint16_t kHighestBasicParameterId = 4;
constexpr std::uint16_t kHighestParameterId = 17;

inline std::uint16_t ReadU16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
inline void WriteU16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = std::uint8_t(v & 0xFF);
    p[1] = std::uint8_t(v >> 8);
}
inline std::uint32_t ReadU32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
inline void WriteU32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

}  // namespace ModuleProtocol
