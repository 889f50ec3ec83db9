#include "RecordCommand.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "DbgOutput.h"
#include "DiagnosticLog.h"
#include "ExitCodes.h"
#include "PortRecorder.h"
#include "RecordingCheck.h"
#include "StopSignal.h"
#include "CLocaleFormat.h"

namespace {

using Clock = std::chrono::steady_clock;
using Recorders = std::vector<std::unique_ptr<CPortRecorder>>;

constexpr auto kProgressInterval = std::chrono::seconds(1);
// As often as the window looks at its link.
constexpr auto kLinkCheckInterval = std::chrono::milliseconds(250);

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// On a terminal only: a pipe or a file gets the start and end lines alone.
class ProgressLine {
public:
    ProgressLine() : m_enabled(::isatty(STDOUT_FILENO) == 1) {}

    void Show(double elapsedS, const Recorders& recorders)
    {
        std::uint64_t frames = 0;
        long long bytes = 0;
        for (const auto& recorder : recorders) {
            frames += recorder->Frames();
            bytes += recorder->Bytes();
        }
        const double rate = elapsedS > m_lastElapsedS ? double(frames - m_lastFrames) / (elapsedS - m_lastElapsedS) : 0;
        m_lastElapsedS = elapsedS;
        m_lastFrames = frames;
        if (!m_enabled)
            return;
        CLocaleFprintf(stdout, "\r%6.0f s  %9llu frames  %11lld bytes  %7.1f frames/s", elapsedS,
                    static_cast<unsigned long long>(frames), bytes, rate);
        std::fflush(stdout);
        m_shown = true;
    }

    void End()
    {
        if (m_shown)
            std::printf("\n");
        m_shown = false;
    }

private:
    bool m_enabled;
    bool m_shown = false;
    double m_lastElapsedS = 0;
    std::uint64_t m_lastFrames = 0;
};

bool ConnectAll(const RecordOptions& options, const CStopSignal& stop, Recorders& recorders)
{
    for (const std::string& port : options.ports) {
        recorders.push_back(std::make_unique<CPortRecorder>(port));
        recorders.back()->SetStopCheck([&stop] { return stop.Requested(); });
        std::string error;
        if (!recorders.back()->Connect(options.baud, error)) {
            std::fprintf(stderr, "radarcli record: %s\n", error.c_str());
            return false;
        }
        if (stop.Requested()) {
            std::fprintf(stderr, "radarcli record: stopped by %s before the recording began\n", stop.SignalName());
            return false;
        }
        if (!recorders.back()->ModuleAnswered())
            std::fprintf(stderr, "radarcli record: %s: the module does not answer (check the baud rate and the "
                                 "wiring); recording whatever arrives\n", port.c_str());
    }
    return true;
}

bool StartAll(const RecordOptions& options, Recorders& recorders)
{
    for (const auto& recorder : recorders) {
        std::string error;
        if (!recorder->Start(options.outFolder, error)) {
            std::fprintf(stderr, "radarcli record: %s: %s\n", recorder->Port().c_str(), error.c_str());
            return false;
        }
        std::printf("%s: recording into %s (firmware %s)\n", recorder->Port().c_str(), recorder->RawPath().c_str(),
                    recorder->Firmware().empty() ? "unknown" : recorder->Firmware().c_str());
    }
    std::fflush(stdout);
    return true;
}

// Until the time is up, a stop is requested or no link is left; a lost link stops
// its own recorder at once, keeping what it recorded.
void RunUntilDone(const RecordOptions& options, const CStopSignal& stop, Recorders& recorders)
{
    const Clock::time_point started = Clock::now();
    const Clock::time_point deadline = started + std::chrono::seconds(options.seconds);
    ProgressLine progress;
    Clock::time_point nextProgress = started + kProgressInterval;
    for (;;) {
        Clock::time_point wakeAt = std::min(Clock::now() + kLinkCheckInterval, nextProgress);
        if (options.seconds > 0)
            wakeAt = std::min(wakeAt, deadline);
        const auto waitMs = std::chrono::duration_cast<std::chrono::milliseconds>(wakeAt - Clock::now()).count();
        if (stop.WaitFor(int(std::max<long long>(waitMs, 0)))) {
            progress.End();
            DbgOutputA(2, "Stopped by %s after %.1f s\r\n", stop.SignalName(), SecondsSince(started));
            return;
        }
        bool anyRunning = false;
        for (const auto& recorder : recorders) {
            if (recorder->IsRunning() && !recorder->LinkStands()) {
                progress.End();
                CLocaleFprintf(stderr, "radarcli record: the link to %s was lost after %.1f s; its recording is kept\n",
                             recorder->Port().c_str(), SecondsSince(started));
                recorder->StopAfterLostLink();
            }
            anyRunning = anyRunning || recorder->IsRunning();
        }
        if (!anyRunning || (options.seconds > 0 && Clock::now() >= deadline)) {
            progress.End();
            return;
        }
        if (Clock::now() >= nextProgress) {
            progress.Show(SecondsSince(started), recorders);
            nextProgress += kProgressInterval;
        }
    }
}

// The totals of each port, and whether its files came out whole.
bool ReportAll(const Recorders& recorders)
{
    bool whole = true;
    for (const auto& recorder : recorders) {
        std::printf("%s: %llu frames, %lld bytes in %s\n", recorder->Port().c_str(),
                    static_cast<unsigned long long>(recorder->Frames()), recorder->Bytes(),
                    recorder->RawPath().c_str());
        if (recorder->Frames() == 0)
            std::fprintf(stderr, "radarcli record: %s sent no reports\n", recorder->Port().c_str());
        const std::string problem = CheckFinishedRecording(recorder->RawPath(), recorder->IndexPath());
        if (!problem.empty()) {
            std::fprintf(stderr, "radarcli record: %s\n", problem.c_str());
            whole = false;
        }
    }
    std::fflush(stdout);
    return whole;
}

}  // namespace

int RunRecordCommand(const RecordOptions& options, const CStopSignal& stop)
{
    // First: the log should hold the connection too, and a folder that takes no files
    // is best found out before any module is touched.
    CDiagnosticLog log;
    if (!log.Open(options.outFolder)) {
        std::fprintf(stderr, "radarcli record: cannot write the diagnostic log into %s\n", options.outFolder.c_str());
        return kExitFailed;
    }
    DbgOutputA(2, "radarcli %s: record, %zu port(s) at %d baud into %s\r\n", TIVANE_VERSION, options.ports.size(),
               options.baud, options.outFolder.c_str());
    std::printf("diagnostic log: %s\n", log.GetPath().c_str());
    std::fflush(stdout);  // a script may wait for it while the modules are asked

    Recorders recorders;
    // All or none: a half-started set of recordings is not what was asked for.
    if (!ConnectAll(options, stop, recorders) || !StartAll(options, recorders)) {
        for (const auto& recorder : recorders)
            recorder->Stop();
        return kExitFailed;
    }
    RunUntilDone(options, stop, recorders);
    bool linkLost = false;
    for (const auto& recorder : recorders) {
        recorder->Stop();
        linkLost = linkLost || recorder->LinkWasLost();
    }
    const bool whole = ReportAll(recorders);
    DbgOutputA(2, "radarcli record finished\r\n");
    log.Close();
    return whole && !linkLost ? kExitOk : kExitFailed;
}
