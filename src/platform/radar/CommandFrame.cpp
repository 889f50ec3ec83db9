#include "CommandFrame.h"

#include "Crc16.h"
#include "ModuleProtocol.h"

using namespace ModuleProtocol;

std::vector<std::uint8_t> EncodeCommandFrame(std::uint16_t word, const std::uint8_t* payload, std::size_t payloadSize,
                                             bool corruptCrc)
{
    if (payloadSize > kMaxPayloadSize || (payloadSize > 0 && !payload))
        return {};
    const std::size_t length = 2 + payloadSize;
    std::vector<std::uint8_t> frame(kFrameOverhead + length);
    frame[0] = kCommandHead0;
    frame[1] = kCommandHead1;
    WriteU16(&frame[2], std::uint16_t(length));
    WriteU16(&frame[4], word);
    for (std::size_t i = 0; i < payloadSize; ++i)
        frame[6 + i] = payload[i];
    // The CRC covers length, command word and payload: everything after the header.
    std::uint16_t crc = Crc16CcittFalse(&frame[2], 2 + length);
    if (corruptCrc)
        crc = std::uint16_t(~crc);
    WriteU16(&frame[4 + length], crc);
    return frame;
}
