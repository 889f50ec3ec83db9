// radarcli: connects to a module (the built-in simulated module unless --port names a
// serial device), prints its firmware version and the reports it sends for a while.
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "RadarDevice.h"
#include "ReportFrameReader.h"
#include "SerialPortNames.h"

namespace {

struct CliOptions {
    std::string port;  // empty: the simulated module
    int seconds = 3;
    int baudRate = 256000;
};

const char* kUsage =
    "Usage: radarcli [--port PATH] [--baud N] [--seconds N]\n"
    "Prints the module's firmware version and its reports for N seconds (default 3).\n"
    "Without --port the built-in simulated module is used.\n";

bool ParseOptions(int argc, char** argv, CliOptions* options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        const bool hasValue = i + 1 < argc;
        if (name == "--port" && hasValue) {
            options->port = argv[++i];
        } else if ((name == "--seconds" || name == "--baud") && hasValue) {
            char* end = nullptr;
            const long value = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || value < 0 || value > 1000000000)
                return false;
            (name == "--seconds" ? options->seconds : options->baudRate) = int(value);
        } else {
            return false;
        }
    }
    return true;
}

const char* StateName(int state)
{
    switch (state) {
    case 1: return "moving";
    case 2: return "motionless";
    default: return "nobody";
    }
}

}  // namespace

int main(int argc, char** argv)
{
    // Serial ports are served by a Qt event loop on the library's own thread.
    QCoreApplication app(argc, argv);
    CliOptions options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const int port = options.port.empty() ? kSimulatedPortNumber : RegisterSerialPortPath(options.port);
    const char* portName = options.port.empty() ? "the simulated module" : options.port.c_str();

    VetraRadarHandle device = Vetra_Interface_RadarDevice_Serial_Create();
    if (!Vetra_Interface_RadarDevice_Serial_OpenByPortNum(device, port, options.baudRate, 2, 1, 1, 150)) {
        std::fprintf(stderr, "radarcli: cannot open %s\n", portName);
        Vetra_Interface_RadarDevice_Serial_Destroy(device);
        return 1;
    }
    CBaseStringA version("Unknown");
    Vetra_Interface_RadarDevice_GetVersion(device, &version);
    std::printf("Firmware: %s\n", version.GetString());

    Vetra_Interface_RadarDevice_StartCmdMode(device, 2, 150);
    Vetra_Interface_RadarDevice_CleanCmdBuffer(device, 500);
    Vetra_Interface_RadarDevice_Start(device);
    Vetra_Interface_RadarDevice_StopCmdMode(device);

    CReportFrameReader reader;
    std::vector<std::uint8_t> block(std::size_t(Vetra_Interface_RadarDevice_GetReadBlockBufferSize(device)));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(options.seconds);
    int exitCode = 0;
    while (std::chrono::steady_clock::now() < end) {
        const int n = Vetra_Interface_RadarDevice_ReadData(device, block.data(), int(block.size()), 200, 0);
        if (n < 0) {
            std::fprintf(stderr, "radarcli: the link to %s was lost\n", portName);
            exitCode = 1;
            break;
        }
        reader.Feed(block.data(), std::size_t(n), [](int state, int distance) {
            std::printf("State=%d (%s), distance=%d cm\n", state, StateName(state), distance);
        });
        std::fflush(stdout);
    }
    Vetra_Interface_RadarDevice_Stop(device);
    Vetra_Interface_RadarDevice_Serial_Close(device);
    Vetra_Interface_RadarDevice_Serial_Destroy(device);
    return exitCode;
}
