#include "PtyPeer.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

PtyPeer::PtyPeer()
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
        return;
    const char* name = ptsname(m_master);
    if (!name)
        return;
    m_slavePath = name;
    m_slave = open(name, O_RDWR | O_NOCTTY);
    if (m_slave < 0)
        return;
    termios raw{};
    tcgetattr(m_slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(m_slave, TCSANOW, &raw);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
}

PtyPeer::~PtyPeer()
{
    if (m_slave >= 0)
        close(m_slave);
    if (m_master >= 0)
        close(m_master);
}

bool PtyPeer::Write(const std::vector<std::uint8_t>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(m_master, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno != EINTR && errno != EAGAIN)
            return false;
        if (n > 0)
            done += std::size_t(n);
    }
    return true;
}

void PtyPeer::DrainHostBytes()
{
    std::uint8_t buffer[1024];
    while (read(m_master, buffer, sizeof buffer) > 0) {
    }
}

std::vector<std::uint8_t> PtyPeer::ReportFrame(std::uint8_t state, std::uint16_t distance)
{
    return {0xAA, 0xAA, state, std::uint8_t(distance & 0xFF), std::uint8_t(distance >> 8), 0x55, 0x55};
}
