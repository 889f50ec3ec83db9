#include "StopSignal.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>

namespace {

std::atomic<int> g_signal{0};
static_assert(std::atomic<int>::is_always_lock_free, "read and written by a signal handler");
// Written by the handler, read by the main thread; never closed while handlers are in.
int g_pipe[2] = {-1, -1};
struct sigaction g_previousInt {};
struct sigaction g_previousTerm {};

extern "C" void OnStopSignal(int signal)
{
    const int savedErrno = errno;
    g_signal.store(signal, std::memory_order_relaxed);
    const char byte = 1;
    // A full pipe already holds a wake-up; the result does not matter.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

}  // namespace

CStopSignal::CStopSignal()
{
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        g_pipe[0] = g_pipe[1] = -1;
    struct sigaction action {};
    action.sa_handler = &OnStopSignal;
    sigemptyset(&action.sa_mask);
    // Restarted: the device library's and Qt's blocking calls need not expect EINTR.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &g_previousInt);
    sigaction(SIGTERM, &action, &g_previousTerm);
}

CStopSignal::~CStopSignal()
{
    sigaction(SIGINT, &g_previousInt, nullptr);
    sigaction(SIGTERM, &g_previousTerm, nullptr);
    for (int& end : g_pipe) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

int CStopSignal::SignalNumber() const
{
    return g_signal.load(std::memory_order_relaxed);
}

const char* CStopSignal::SignalName() const
{
    switch (SignalNumber()) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    default: return "";
    }
}

bool CStopSignal::WaitFor(int ms) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!Requested()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            break;
        if (g_pipe[0] < 0) {
            // No pipe: poll the flag a little at a time instead.
            ::usleep(useconds_t(std::min<long long>(left, 50) * 1000));
            continue;
        }
        pollfd wake{g_pipe[0], POLLIN, 0};
        // The byte stays in the pipe: every later wait returns at once, as it should.
        ::poll(&wake, 1, int(left));
    }
    return Requested();
}
