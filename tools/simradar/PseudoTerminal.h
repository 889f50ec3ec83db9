#pragma once
// The module's end of a pseudo-terminal: the master side, in raw mode, non-blocking.
// The slave device path is what a host opens as its serial port.
#include <cstddef>
#include <cstdint>
#include <string>

class CPseudoTerminal {
public:
    CPseudoTerminal() = default;
    ~CPseudoTerminal();
    CPseudoTerminal(const CPseudoTerminal&) = delete;
    CPseudoTerminal& operator=(const CPseudoTerminal&) = delete;

    // Creates the terminal; false with a message in error on failure.
    bool Open(std::string* error);
    // Closes both ends: the host's reads then fail as with an unplugged device.
    void Close();
    bool IsOpen() const { return m_master >= 0; }
    int MasterFd() const { return m_master; }
    const std::string& SlavePath() const { return m_slavePath; }

    // Writes what the terminal takes without blocking and returns how many bytes that
    // was. A full terminal (nobody reading) drops the rest, like a UART with no listener.
    std::size_t WriteSome(const std::uint8_t* data, std::size_t size);

private:
    int m_master = -1;
    // Held open so that the master does not report a hang-up (and wake poll without
    // end) while no host has the slave open.
    int m_slaveKeeper = -1;
    std::string m_slavePath;
};
