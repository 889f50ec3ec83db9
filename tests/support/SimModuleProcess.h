#pragma once
// Runs the stand-alone simulated module (simradar) for a test: starts it with the
// given options, reads the pseudo-terminal path it prints, and stops it (SIGTERM,
// then SIGKILL if it lingers) when the object goes away.
#include <sys/types.h>

#include <string>
#include <vector>

class SimModuleProcess {
public:
    // Starts simradar with options, e.g. {"--interval", "20", "--mute"}, and waits up
    // to 5 s for its device path. Check IsStarted() before use.
    explicit SimModuleProcess(const std::vector<std::string>& options = {});
    ~SimModuleProcess();
    SimModuleProcess(const SimModuleProcess&) = delete;
    SimModuleProcess& operator=(const SimModuleProcess&) = delete;

    bool IsStarted() const { return !m_devicePath.empty(); }
    // The pseudo-terminal to open as a serial port, e.g. /dev/pts/4.
    const std::string& DevicePath() const { return m_devicePath; }
    // Registers the device path with the process's port table and returns its number
    // for Vetra_Interface_RadarDevice_Serial_OpenByPortNum.
    int PortNumber() const;
    pid_t Pid() const { return m_pid; }
    // Stops the process now and returns its exit code (-1 when killed or never started).
    int Stop();

    static std::string ExecutablePath();

private:
    pid_t m_pid = -1;
    std::string m_devicePath;
};
