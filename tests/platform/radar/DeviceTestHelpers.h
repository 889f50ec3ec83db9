#pragma once
// Helpers for tests that drive the device library through its public functions.
#include <chrono>
#include <cstdint>
#include <vector>

#include "RadarDevice.h"

class Stopwatch {
public:
    long long ElapsedMs() const
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_start)
            .count();
    }

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

// Everything ReadData delivers during ms milliseconds.
inline std::vector<std::uint8_t> ReadFor(VetraRadarHandle device, int ms)
{
    std::vector<std::uint8_t> all;
    std::vector<std::uint8_t> block(std::size_t(Vetra_Interface_RadarDevice_GetReadBlockBufferSize(device)));
    Stopwatch watch;
    while (watch.ElapsedMs() < ms) {
        const int n = Vetra_Interface_RadarDevice_ReadData(device, block.data(), int(block.size()), 50, 0);
        if (n < 0)
            break;
        all.insert(all.end(), block.begin(), block.begin() + n);
    }
    return all;
}

// The command bracket the application wraps Start in.
inline int StartReporting(VetraRadarHandle device)
{
    Vetra_Interface_RadarDevice_StartCmdMode(device, 2, 150);
    Vetra_Interface_RadarDevice_CleanCmdBuffer(device, 500);
    const int started = Vetra_Interface_RadarDevice_Start(device);
    Vetra_Interface_RadarDevice_StopCmdMode(device);
    return started;
}

// A reply callback that keeps the reply.
inline std::uint16_t KeepReply(int hasStatus, const std::uint8_t* reply, int length, void* user)
{
    auto* kept = static_cast<std::vector<std::uint8_t>*>(user);
    kept->assign(reply, reply + length);
    return hasStatus ? 0 : 0xBAD;
}

// Sets the five basic parameters and reads all back, as the parameter dialog does.
inline bool SetAndReadParameters(VetraRadarHandle device, const std::int32_t values[5],
                                 std::vector<std::uint8_t>* readBack)
{
    const std::uint16_t ids[5] = {0, 1, 2, 3, 4};
    Vetra_Interface_RadarDevice_StartCmdMode(device, 2, 150);
    Vetra_Interface_RadarDevice_CleanCmdBuffer(device, 500);
    const int set = Vetra_Interface_RadarDevice_Protocol_SetParameter(device, 0x0067, 5, ids, values, 2000);
    const std::uint16_t read =
        Vetra_Interface_RadarDevice_Protocol_SendCommand(device, 0x0073, nullptr, 0, KeepReply, readBack, 2000);
    Vetra_Interface_RadarDevice_StopCmdMode(device);
    return set != 0 && read == 0;
}
