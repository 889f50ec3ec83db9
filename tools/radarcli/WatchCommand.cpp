#include "WatchCommand.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "ExitCodes.h"
#include "ModuleLink.h"
#include "OpenFailureText.h"
#include "ReportFrameReader.h"
#include "StopSignal.h"

namespace {

// Short, so that a stop request is seen quickly between reads.
constexpr int kReadTimeoutMs = 200;

const char* StateName(int state)
{
    switch (state) {
    case 1: return "moving";
    case 2: return "motionless";
    default: return "nobody";
    }
}

}  // namespace

int RunWatchCommand(const WatchOptions& options, const CStopSignal& stop)
{
    const std::string portName = options.port.empty() ? "the simulated module" : options.port;
    CModuleLink link;
    link.SetStopCheck([&stop] { return stop.Requested(); });
    std::string error;
    if (!OpenModuleLink(link, options.port.empty() ? kSimulatedPortOption : options.port, options.baud, error)) {
        std::fprintf(stderr, "radarcli: %s\n", error.c_str());
        return kExitFailed;
    }
    std::string version = "Unknown";
    link.ReadFirmwareVersion(version);
    std::printf("Firmware: %s\n", version.c_str());
    link.SendStartBracket();

    CReportFrameReader reader;
    const VetraRadarHandle device = link.Handle();
    std::vector<std::uint8_t> block(std::size_t(Vetra_Interface_RadarDevice_GetReadBlockBufferSize(device)));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(options.seconds);
    int exitCode = kExitOk;
    while (std::chrono::steady_clock::now() < end && !stop.Requested()) {
        const int n = Vetra_Interface_RadarDevice_ReadData(device, block.data(), int(block.size()), kReadTimeoutMs, 0);
        if (n < 0) {
            std::fprintf(stderr, "radarcli: the link to %s was lost\n", portName.c_str());
            exitCode = kExitFailed;
            break;
        }
        reader.Feed(block.data(), std::size_t(n), [](int state, int distance) {
            std::printf("State=%d (%s), distance=%d cm\n", state, StateName(state), distance);
        });
        std::fflush(stdout);
    }
    Vetra_Interface_RadarDevice_Stop(device);
    link.Close();
    return exitCode;
}
