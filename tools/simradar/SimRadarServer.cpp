#include "SimRadarServer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

CSimRadarServer::CSimRadarServer(CPseudoTerminal& terminal, const SimulatedModuleOptions& options)
    : m_terminal(terminal), m_module(options), m_hangupAfterMs(options.hangupAfterMs)
{
}

CSimRadarServer::~CSimRadarServer()
{
    if (m_recordFd >= 0)
        ::close(m_recordFd);
    if (m_stamps)
        std::fclose(m_stamps);
}

bool CSimRadarServer::OpenStamps(const std::string& path, std::string* error)
{
    m_stamps = std::fopen(path.c_str(), "w");
    if (!m_stamps) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool CSimRadarServer::OpenRecording(const std::string& path, std::string* error)
{
    m_recordFd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (m_recordFd < 0) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

int CSimRadarServer::Run(int stopFd)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    auto elapsedMs = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    };
    std::vector<std::uint8_t> out;
    for (;;) {
        const bool open = m_terminal.IsOpen();
        int timeoutMs = -1;  // after a hang-up only the stop request is awaited
        if (open) {
            std::int64_t wakeAt = m_module.NextDueMs();
            if (m_hangupAfterMs >= 0)
                wakeAt = std::min<std::int64_t>(wakeAt, m_hangupAfterMs);
            timeoutMs = int(std::max<std::int64_t>(wakeAt - elapsedMs(), 0));
        }
        pollfd fds[2] = {{stopFd, POLLIN, 0}, {open ? m_terminal.MasterFd() : -1, POLLIN, 0}};
        if (poll(fds, 2, timeoutMs) < 0 && errno != EINTR) {
            std::fprintf(stderr, "simradar: poll: %s\n", std::strerror(errno));
            return 1;
        }
        if (fds[0].revents != 0)
            return 0;
        if (!open)
            continue;
        out.clear();
        const std::int64_t nowMs = elapsedMs();
        if (fds[1].revents & POLLIN)
            ReadCommands(nowMs, out);
        if (m_hangupAfterMs >= 0 && nowMs >= m_hangupAfterMs) {
            m_terminal.Close();
            std::fprintf(stderr, "simradar: hung up after %lld ms\n", static_cast<long long>(nowMs));
            continue;
        }
        m_module.AdvanceTo(nowMs, out);
        Send(out);
    }
}

void CSimRadarServer::ReadCommands(std::int64_t nowMs, std::vector<std::uint8_t>& out)
{
    std::uint8_t buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_terminal.MasterFd(), buffer, sizeof buffer);
        if (n > 0) {
            m_module.ReceiveFromHost(buffer, std::size_t(n), nowMs, out);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return;  // EAGAIN: all read
    }
}

void CSimRadarServer::Send(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.empty())
        return;
    const std::size_t written = m_terminal.WriteSome(bytes.data(), bytes.size());
    m_bytesWritten += written;
    if (m_stamps && written > 0) {
        // Taken after the write returned: the bytes are in the terminal from this time on.
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        // Buffered, and closed at the stop: the stamps must not slow the module down.
        std::fprintf(m_stamps, "%lld %llu\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                     static_cast<unsigned long long>(m_bytesWritten));
    }
    // The recording holds exactly what went into the terminal, written through at once.
    std::size_t recorded = 0;
    while (m_recordFd >= 0 && recorded < written) {
        const ssize_t n = ::write(m_recordFd, bytes.data() + recorded, written - recorded);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            std::fprintf(stderr, "simradar: recording failed: %s\n", std::strerror(errno));
            ::close(m_recordFd);
            m_recordFd = -1;
            break;
        }
        recorded += std::size_t(n);
    }
}
