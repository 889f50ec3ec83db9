#pragma once
// What a device handle of the radar device library stands for: one link to a module
// (serial port or built-in simulated module), its incoming bytes, and the
// request/reply exchange of the command protocol.
//
// Threads: Open, Close, CleanInput and Exchange come from the user-interface thread
// and are serialised by m_linkMutex. ReadData comes from the acquisition thread and
// touches only the incoming queue, so it never waits for a command exchange's lock.
// IsConnected may be called from any thread.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "IncomingByteQueue.h"
#include "RadarTransport.h"
#include "SerialLineSettings.h"

struct CommandReply {
    // kVetraStatusOk when a reply came; otherwise the VetraCommandStatus of the failure.
    std::uint16_t outcome = 0;
    // The reply payload, module status word first.
    std::vector<std::uint8_t> payload;
};

class CRadarConnection {
public:
    CRadarConnection() = default;
    ~CRadarConnection();
    CRadarConnection(const CRadarConnection&) = delete;
    CRadarConnection& operator=(const CRadarConnection&) = delete;

    // Opens the port with this number (SerialPortNames.h), trying up to attempts times
    // with retryDelayMs between tries. Closes what was open first.
    bool Open(int portNumber, const SerialLineSettings& settings, int attempts, int retryDelayMs);
    void Close();
    bool IsConnected() const;

    // See Vetra_Interface_RadarDevice_ReadData.
    int ReadData(std::uint8_t* buffer, int capacity, int timeoutMs);
    // Discards input until the line has been silent for 20 ms, or for at most maxMs in all.
    void CleanInput(int maxMs);
    // Sends one command and waits up to timeoutMs for the reply carrying word | 0x8000.
    // Input that came before the command was sent is dropped (it cannot be the reply),
    // and bytes after the reply stay queued for ReadData.
    CommandReply Exchange(std::uint16_t word, const std::uint8_t* payload, std::size_t payloadSize, int timeoutMs);

    // The protocol version the module gave at the last successful enter-command-mode
    // since the port was opened; 0 before any. Any thread.
    int ProtocolVersion() const { return m_protocolVersion; }
    void NoteProtocolVersion(int version) { m_protocolVersion = version; }

private:
    std::unique_ptr<IRadarTransport> OpenTransport(int portNumber, const SerialLineSettings& settings,
                                                   std::string* error);
    void CloseLocked();

    std::mutex m_linkMutex;
    std::unique_ptr<IRadarTransport> m_transport;  // guarded by m_linkMutex
    std::atomic<bool> m_open{false};
    std::atomic<int> m_protocolVersion{0};
    CIncomingByteQueue m_incoming;  // thread-safe on its own
};
