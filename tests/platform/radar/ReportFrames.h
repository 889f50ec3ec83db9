#pragma once
// Test-side helpers: pick report frames out of a byte stream and talk to a simulated
// module engine frame by frame.
#include <cstdint>
#include <optional>
#include <vector>

#include "CommandFrame.h"
#include "CommandFrameScanner.h"
#include "ModuleProtocol.h"
#include "SimulatedModule.h"

struct ReportSample {
    int state = 0;
    int distance = 0;
    bool operator==(const ReportSample&) const = default;
};

// Every intact AA AA s d d 55 55 in bytes, in order.
inline std::vector<ReportSample> FindReportFrames(const std::vector<std::uint8_t>& bytes)
{
    std::vector<ReportSample> frames;
    for (std::size_t i = 0; i + 7 <= bytes.size();) {
        if (bytes[i] == 0xAA && bytes[i + 1] == 0xAA && bytes[i + 5] == 0x55 && bytes[i + 6] == 0x55) {
            frames.push_back({bytes[i + 2], bytes[i + 3] | (bytes[i + 4] << 8)});
            i += 7;
        } else {
            ++i;
        }
    }
    return frames;
}

// Sends one command to the engine and returns its decoded reply, if it gave one.
inline std::optional<CommandFrame> SendToModule(CSimulatedModule& module, std::uint16_t word,
                                                const std::vector<std::uint8_t>& payload = {})
{
    const std::vector<std::uint8_t> request = EncodeCommandFrame(word, payload.data(), payload.size());
    std::vector<std::uint8_t> out;
    module.ReceiveFromHost(request.data(), request.size(), out);
    CCommandFrameScanner scanner;
    scanner.Append(out.data(), out.size());
    return scanner.Next();
}

inline int StatusOf(const CommandFrame& reply)
{
    return reply.payload.size() >= 2 ? ModuleProtocol::ReadU16(reply.payload.data()) : -1;
}
