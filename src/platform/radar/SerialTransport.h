#pragma once
// A serial port (real device or pseudo-terminal) as the module's link.
//
// Threads: the port lives on the library's private serial I/O thread (CSerialIoThread).
// Open, Write and the destructor run on the caller's thread and hand their work to
// the I/O thread as jobs, waiting for it within their time-outs. Incoming bytes go
// from the I/O thread straight into the CIncomingByteQueue.
//
// Qt runs the I/O thread's event loop only when a QCoreApplication (or QApplication)
// exists in the process; Open fails with a clear reason otherwise.
#include <memory>
#include <string>

#include "RadarTransport.h"
#include "SerialLineSettings.h"

class CIncomingByteQueue;
class CSerialIoThread;

class CSerialTransport final : public IRadarTransport {
public:
    explicit CSerialTransport(CIncomingByteQueue& incoming);
    ~CSerialTransport() override;
    CSerialTransport(const CSerialTransport&) = delete;
    CSerialTransport& operator=(const CSerialTransport&) = delete;

    // Opens path (a device path such as /dev/ttyUSB0 or /dev/pts/3) with settings. One
    // attempt; error receives the reason on failure.
    bool Open(const std::string& path, const SerialLineSettings& settings, std::string* error);
    bool Write(const std::uint8_t* data, std::size_t size, int timeoutMs) override;

private:
    std::unique_ptr<CSerialIoThread> m_io;
};
