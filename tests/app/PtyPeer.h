#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A pseudo-terminal whose far end the test plays itself: the tool opens SlavePath() as
// its serial port, and the test writes exactly the module bytes it wants through the
// master. Nothing answers commands, so command exchanges time out as with a silent module.
class PtyPeer {
public:
    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool IsOpen() const { return m_master >= 0 && m_slave >= 0; }
    const std::string& SlavePath() const { return m_slavePath; }

    bool Write(const std::vector<std::uint8_t>& bytes);
    // Discards what the tool has sent (its commands), so the pty buffer never fills.
    void DrainHostBytes();

    // One report frame: AA AA, state, distance little-endian, 55 55.
    static std::vector<std::uint8_t> ReportFrame(std::uint8_t state, std::uint16_t distance);

private:
    int m_master = -1;
    // Kept open in raw mode, so that bytes written before the tool opens the port are
    // neither echoed nor held for a line end, and the master never sees a hang-up.
    int m_slave = -1;
    std::string m_slavePath;
};
