#include "RadarCliProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline)
{
    return int(std::max<long long>(
        0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count()));
}

}  // namespace

std::string RadarCliProcess::ExecutablePath()
{
    return RADARCLI_PATH;
}

RadarCliProcess::RadarCliProcess(const std::vector<std::string>& args, const std::string& cwd)
{
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return;
    }
    std::vector<std::string> all{ExecutablePath()};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    if (!cwd.empty())
        posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    m_out = out[0];
    m_err = err[0];
}

RadarCliProcess::~RadarCliProcess()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    for (int fd : {m_out, m_err}) {
        if (fd >= 0)
            ::close(fd);
    }
}

bool RadarCliProcess::Pump(int ms)
{
    pollfd fds[2] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
    if (m_out < 0 && m_err < 0)
        return false;
    if (::poll(fds, 2, ms) <= 0)
        return true;
    std::string* sinks[2] = {&m_result.out, &m_result.err};
    int* ends[2] = {&m_out, &m_err};
    for (int i = 0; i < 2; ++i) {
        if (fds[i].revents == 0)
            continue;
        char buffer[4096];
        const ssize_t n = ::read(*ends[i], buffer, sizeof buffer);
        if (n > 0) {
            sinks[i]->append(buffer, std::size_t(n));
        } else {
            ::close(*ends[i]);
            *ends[i] = -1;
        }
    }
    return m_out >= 0 || m_err >= 0;
}

bool RadarCliProcess::WaitForOutput(const std::string& text, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_result.out.find(text) == std::string::npos) {
        if (MsLeft(deadline) == 0 || !Pump(MsLeft(deadline)))
            return m_result.out.find(text) != std::string::npos;
    }
    return true;
}

void RadarCliProcess::Signal(int signal)
{
    if (m_pid > 0)
        ::kill(m_pid, signal);
}

CliResult RadarCliProcess::Finish(int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (MsLeft(deadline) > 0 && Pump(MsLeft(deadline))) {
    }
    if (m_pid <= 0)
        return m_result;
    int status = 0;
    while (::waitpid(m_pid, &status, WNOHANG) == 0) {
        if (MsLeft(deadline) == 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
            break;
        }
        ::usleep(5000);
    }
    m_pid = -1;
    m_result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return m_result;
}

CliResult RunRadarCli(const std::vector<std::string>& args, const std::string& cwd, int timeoutMs)
{
    RadarCliProcess process(args, cwd);
    return process.Finish(timeoutMs);
}
