#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "BaseStringA.h"
#include "DetectionParams.h"
#include "RadarDevice.h"
#include "SerialPortEntry.h"

// One module on one serial port (or the built-in simulated module): the one holder of the
// device handle. It opens with the host link settings, asks for the firmware version,
// sends the command-mode brackets and remembers how the device is known again after it
// comes back. The window and radarcli both talk to the module through it.
//
// Threads: made, opened, commanded and closed on one thread (the user-interface thread
// of the window, the main thread of radarcli). While an acquisition session runs, its
// worker alone reads the device through Handle(); the owner then only asks IsConnected,
// which the device library allows from any thread.
class CModuleLink {
public:
    CModuleLink() = default;
    ~CModuleLink();
    CModuleLink(const CModuleLink&) = delete;
    CModuleLink& operator=(const CModuleLink&) = delete;

    // Makes the device handle (once; Open makes it too when needed).
    void Create();
    // Closes the port and gives the handle back: Handle() is null afterwards.
    void Destroy();
    // Null before Create and after Destroy.
    VetraRadarHandle Handle() const { return m_device; }

    // Opens the port of this number (the numbers of the port list) with the host link
    // settings; true when it is open.
    bool OpenPortNumber(int portNumber, int baud);
    // The baud rate of the last open: a device that comes back is opened as it was.
    int Baud() const { return m_baud; }
    // port: a device path, or kSimulatedPortPath for the simulated module. Remembers the
    // device (see Remember) and opens it; false when it did not open.
    bool Open(const std::string& port, int baud);
    void Close();
    bool IsConnected() const;

    // The device of the link, to find it again: path is what the device library knows it
    // by; listed is its entry in the last port listing, or null when it is not listed
    // (the simulated module, a pseudo-terminal).
    void Remember(const std::string& path, const SerialPortEntry* listed);
    // The path the device library knows it by ("sim:module" for the simulated module).
    const std::string& Path() const { return m_path; }
    // USB vendor, product and serial number when it is a listed USB device, else
    // "path:" + Path().
    const std::string& Identity() const { return m_identity; }
    // Where the remembered device is now: its path, perhaps under another /dev name, or
    // empty while it is away. The built-in module is always there.
    std::string FindAgain() const;

    // Asked between the steps of every exchange below: once it says stop, the steps not
    // yet taken are skipped (each library call still runs to its own time-out, at most
    // about a second), so that a silent module cannot hold a stop up.
    void SetStopCheck(std::function<bool()> stopRequested) { m_stopRequested = std::move(stopRequested); }

    // Asks for the firmware version; false, leaving version alone, when the module did
    // not answer or a stop came first.
    bool ReadFirmwareVersion(CBaseStringA& version);
    bool ReadFirmwareVersion(std::string& version);
    // The start bracket: command mode, quiet line, reporting on, command mode left. The
    // results are not examined: a module that missed it shows as a run without reports.
    void SendStartBracket();
    // Command mode and a quiet line: the opening half of every bracket.
    void EnterCommandMode();
    void LeaveCommandMode();
    // One command and its reply, and one set-parameters command, inside a bracket the
    // caller has entered (the parameter dialog's own exchanges).
    std::uint16_t SendCommand(std::uint16_t command, const std::uint8_t* payload, int payloadLength,
                              VetraReplyCallback callback, void* user, int timeoutMs);
    // True when the module answered with status 0.
    bool SetParameters(std::uint16_t command, int count, const std::uint16_t* identifiers,
                       const std::int32_t* values, int timeoutMs);
    // Reads all 18 parameters in a command-mode bracket; 0, or the status that says why
    // not (kVetraStatusTimeout after a stop).
    std::uint16_t ReadParameters(DetectionParams& params);

private:
    bool Stopped() const { return m_stopRequested && m_stopRequested(); }

    VetraRadarHandle m_device = nullptr;
    int m_baud = 0;
    std::string m_path;
    std::string m_identity;
    std::function<bool()> m_stopRequested;
};

// A sentence for a status of ReadParameters ("no reply within 2000 ms").
std::string CommandStatusText(std::uint16_t status);
