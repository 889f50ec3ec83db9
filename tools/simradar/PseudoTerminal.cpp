#include "PseudoTerminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

CPseudoTerminal::~CPseudoTerminal()
{
    Close();
}

bool CPseudoTerminal::Open(std::string* error)
{
    auto fail = [&](const char* what) {
        *error = std::string(what) + ": " + std::strerror(errno);
        Close();
        return false;
    };
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0)
        return fail("posix_openpt");
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0)
        return fail("grantpt/unlockpt");
    const char* name = ptsname(m_master);
    if (!name)
        return fail("ptsname");
    m_slavePath = name;
    m_slaveKeeper = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_slaveKeeper < 0)
        return fail("open slave");
    // Raw: no echo (the host would read its own commands back), no line editing, no
    // translation of CR/LF or of any other byte.
    termios settings{};
    if (tcgetattr(m_slaveKeeper, &settings) != 0)
        return fail("tcgetattr");
    cfmakeraw(&settings);
    if (tcsetattr(m_slaveKeeper, TCSANOW, &settings) != 0)
        return fail("tcsetattr");
    return true;
}

void CPseudoTerminal::Close()
{
    if (m_slaveKeeper >= 0)
        ::close(m_slaveKeeper);
    if (m_master >= 0)
        ::close(m_master);
    m_slaveKeeper = -1;
    m_master = -1;
}

std::size_t CPseudoTerminal::WriteSome(const std::uint8_t* data, std::size_t size)
{
    std::size_t written = 0;
    while (m_master >= 0 && written < size) {
        const ssize_t n = ::write(m_master, data + written, size - written);
        if (n > 0) {
            written += std::size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;  // EAGAIN: the terminal is full
    }
    return written;
}
