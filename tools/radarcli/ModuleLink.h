#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "DetectionParams.h"
#include "RadarDevice.h"

// One module on one serial port (or the built-in simulated module), opened and
// commanded the way the window does it: the same open settings, the same command-mode
// brackets, the same time-outs.
//
// Threads: made, opened, commanded and closed on the main thread. While an acquisition
// session runs, its worker alone reads the device (through Handle()); the main thread
// then only asks IsConnected, which the device library allows from any thread.
class CModuleLink {
public:
    CModuleLink();
    ~CModuleLink();
    CModuleLink(const CModuleLink&) = delete;
    CModuleLink& operator=(const CModuleLink&) = delete;

    // port: a device path, or "sim" for the simulated module. False, with error saying
    // why and what to check, when it cannot be opened.
    bool Open(const std::string& port, int baud, std::string& error);
    void Close();

    // Asked between the steps of every exchange below: once it says stop, the steps not
    // yet taken are skipped (each library call still runs to its own time-out, at most
    // about a second), so that a silent module cannot hold a stop up.
    void SetStopCheck(std::function<bool()> stopRequested) { m_stopRequested = std::move(stopRequested); }

    VetraRadarHandle Handle() const { return m_device; }
    bool IsConnected() const;
    // The path the device library knows it by ("sim:module" for the simulated module).
    const std::string& Path() const { return m_path; }
    // How the window would know the device again: USB vendor, product and serial number
    // when it is a listed USB device, else "path:" + Path().
    const std::string& Identity() const { return m_identity; }

    // Asks for the firmware version; false, leaving version alone, when the module did
    // not answer or a stop came first.
    bool ReadFirmwareVersion(std::string& version);
    // The window's start bracket: command mode, quiet line, reporting on, command mode left.
    void SendStartBracket();
    // Reads all 18 parameters in a command-mode bracket; 0, or the status that says why
    // not (kVetraStatusTimeout after a stop).
    std::uint16_t ReadParameters(DetectionParams& params);

private:
    void EnterCommandMode();
    bool Stopped() const { return m_stopRequested && m_stopRequested(); }

    VetraRadarHandle m_device = nullptr;
    std::string m_path;
    std::string m_identity;
    std::function<bool()> m_stopRequested;
};

// A sentence for a status of ReadParameters ("no reply within 2000 ms").
std::string CommandStatusText(std::uint16_t status);
