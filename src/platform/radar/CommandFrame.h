#pragma once
// One command or reply frame of the module protocol, decoded or to be encoded.
#include <cstddef>
#include <cstdint>
#include <vector>

struct CommandFrame {
    std::uint16_t word = 0;
    std::vector<std::uint8_t> payload;
};

// The bytes of a frame carrying word and payload. corruptCrc: the CRC is inverted,
// which only the simulated module's fault injection asks for. Payloads longer than
// ModuleProtocol::kMaxPayloadSize yield an empty vector.
std::vector<std::uint8_t> EncodeCommandFrame(std::uint16_t word, const std::uint8_t* payload, std::size_t payloadSize,
                                             bool corruptCrc = false);
