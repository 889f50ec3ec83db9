#include "SimModuleProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "SerialPortNames.h"

extern char** environ;

namespace {

constexpr int kStartTimeoutMs = 5000;
constexpr int kStopTimeoutMs = 3000;

// Reads one line from fd, waiting at most timeoutMs in all.
std::string ReadFirstLine(int fd, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string line;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        pollfd pfd{fd, POLLIN, 0};
        if (left <= 0 || poll(&pfd, 1, int(left)) <= 0)
            return {};
        char c = 0;
        if (::read(fd, &c, 1) != 1)
            return {};
        if (c == '\n')
            return line;
        line.push_back(c);
    }
}

}  // namespace

std::string SimModuleProcess::ExecutablePath()
{
    return SIMRADAR_PATH;
}

SimModuleProcess::SimModuleProcess(const std::vector<std::string>& options)
{
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return;
    std::vector<std::string> args{ExecutablePath()};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    const int spawned = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        m_pid = -1;
        ::close(out[0]);
        return;
    }
    m_devicePath = ReadFirstLine(out[0], kStartTimeoutMs);
    // simradar writes nothing more to standard output; closing our end is safe.
    ::close(out[0]);
    if (m_devicePath.empty())
        std::fprintf(stderr, "SimModuleProcess: %s printed no device path\n", argv[0]);
}

SimModuleProcess::~SimModuleProcess()
{
    Stop();
}

int SimModuleProcess::PortNumber() const
{
    return RegisterSerialPortPath(m_devicePath);
}

int SimModuleProcess::Stop()
{
    if (m_pid <= 0)
        return -1;
    ::kill(m_pid, SIGTERM);
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStopTimeoutMs);
    pid_t done = 0;
    while ((done = ::waitpid(m_pid, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (done == 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, &status, 0);
    }
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
