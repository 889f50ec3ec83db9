#include "Crc16.h"

#include <array>

namespace {

constexpr std::array<std::uint16_t, 256> MakeTable()
{
    std::array<std::uint16_t, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        std::uint16_t crc = std::uint16_t(byte << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? std::uint16_t((crc << 1) ^ 0x1021) : std::uint16_t(crc << 1);
        table[byte] = crc;
    }
    return table;
}

constexpr auto kTable = MakeTable();

}  // namespace

std::uint16_t Crc16CcittFalse(const std::uint8_t* data, std::size_t size)
{
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < size; ++i)
        crc = std::uint16_t((crc << 8) ^ kTable[((crc >> 8) ^ data[i]) & 0xFF]);
    return crc;
}
