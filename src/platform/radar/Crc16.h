#pragma once
#include <cstddef>
#include <cstdint>

// CRC-16/CCITT-FALSE: polynomial 0x1021, initial value 0xFFFF, no reflection, no
// final xor. The module protects command and reply frames with it.
std::uint16_t Crc16CcittFalse(const std::uint8_t* data, std::size_t size);
