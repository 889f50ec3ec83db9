#pragma once
#include <cstdint>
#include <limits>

#include "WinTypes.h"

// A pixel point travels through the chart's point lists as one pointer-sized item:
// x in the low 32 bits, y in the high 32 bits, both absolute client coordinates.
static_assert(sizeof(void*) >= 8, "packed wave points need 64-bit pointer-sized items");

inline void* PackWavePoint(int x, int y)
{
    const std::uint64_t packed = std::uint64_t(std::uint32_t(x)) | (std::uint64_t(std::uint32_t(y)) << 32);
    return reinterpret_cast<void*>(std::uintptr_t(packed));
}

inline POINT UnpackWavePoint(const void* item)
{
    const auto packed = std::uint64_t(reinterpret_cast<std::uintptr_t>(item));
    return POINT{LONG(std::int32_t(std::uint32_t(packed & 0xFFFFFFFFu))), LONG(std::int32_t(std::uint32_t(packed >> 32)))};
}

// A break in a wave's points: the samples between two runs are missing (the module's
// link was down), so the line stops before the break and starts again after it. It is
// never a drawn point and never two in a row, first or last in a list.
inline void* WaveBreakPoint()
{
    return PackWavePoint(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::min());
}

inline bool IsWaveBreak(const void* item)
{
    return item == WaveBreakPoint();
}
