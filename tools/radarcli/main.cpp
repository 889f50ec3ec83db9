// radarcli: the tool's command-line companion. Records modules on serial ports into the
// same files as the window, replays and exports recordings, and reads, writes and
// resets the module's basic parameters; see HelpText for the commands and exit codes.
//
// Threads: main() and every command run on the main thread. The device library serves
// each serial port on its own I/O thread, each recording has its acquisition worker,
// and SIGINT/SIGTERM only raise the stop request the main thread waits on.
#include <QCoreApplication>

#include <cstdio>
#include <string>
#include <vector>

#include "CliHelp.h"
#include "CliOptions.h"
#include "ExitCodes.h"
#include "ParamsCommand.h"
#include "RecordCommand.h"
#include "ReplayCommand.h"
#include "StopSignal.h"
#include "WatchCommand.h"

int main(int argc, char** argv)
{
    const CliRequest request = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!request.error.empty()) {
        const std::string command = CommandName(request.command);
        std::fprintf(stderr, "radarcli: %s\nTry 'radarcli %s%s--help'.\n", request.error.c_str(), command.c_str(),
                     command.empty() ? "" : " ");
        return kExitUsage;
    }
    if (request.help) {
        std::fputs(HelpText(request.command), stdout);
        return kExitOk;
    }
    // Files only, and a CSV is written aside before it replaces anything: SIGINT may end
    // it at any moment.
    if (request.command == CliCommand::Replay)
        return RunReplayCommand(request.replay);
    // Before any port opens: the library's I/O thread runs a Qt event loop, which needs
    // an application object; and a stop request must find its handler in place, so that
    // no module is left in command mode or recording half-closed.
    QCoreApplication app(argc, argv);
    CStopSignal stop;
    switch (request.command) {
    case CliCommand::Watch: return RunWatchCommand(request.watch, stop);
    case CliCommand::Record: return RunRecordCommand(request.record, stop);
    case CliCommand::Params: return RunParamsCommand(request.params, stop);
    case CliCommand::Replay:
    case CliCommand::None: break;
    }
    std::fputs(HelpText(CliCommand::None), stdout);
    return kExitOk;
}
