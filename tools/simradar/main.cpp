// simradar: the simulated presence-radar module on a pseudo-terminal.
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "PseudoTerminal.h"
#include "SimRadarOptions.h"
#include "SimRadarServer.h"

namespace {

int g_stopPipe[2] = {-1, -1};

extern "C" void RequestStop(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_stopPipe[1], &byte, 1);
}

bool InstallStopHandlers()
{
    if (::pipe2(g_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    SimRadarOptions options;
    std::string error;
    if (!options.Parse(argc, argv, &error)) {
        std::fprintf(stderr, "simradar: %s\n%s", error.c_str(), SimRadarOptions::Usage());
        return 2;
    }
    if (options.showHelp) {
        std::fputs(SimRadarOptions::Usage(), stdout);
        return 0;
    }
    if (!InstallStopHandlers()) {
        std::perror("simradar: pipe");
        return 1;
    }
    CPseudoTerminal terminal;
    if (!terminal.Open(&error)) {
        std::fprintf(stderr, "simradar: %s\n", error.c_str());
        return 1;
    }
    CSimRadarServer server(terminal, options.module);
    if (!options.recordPath.empty() && !server.OpenRecording(options.recordPath, &error)) {
        std::fprintf(stderr, "simradar: %s\n", error.c_str());
        return 1;
    }
    if (!options.stampPath.empty() && !server.OpenStamps(options.stampPath, &error)) {
        std::fprintf(stderr, "simradar: %s\n", error.c_str());
        return 1;
    }
    // The only line ever written to standard output: whoever started us reads it.
    std::printf("%s\n", terminal.SlavePath().c_str());
    std::fflush(stdout);
    return server.Run(g_stopPipe[0]);
}
