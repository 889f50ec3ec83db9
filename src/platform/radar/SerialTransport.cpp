#include "SerialTransport.h"

#include <QCoreApplication>
#include <algorithm>
#include <vector>

#include "SerialIoThread.h"
#include "SerialPortWorker.h"

namespace {

// How long the caller waits for the I/O thread to open a port. Opening a real device
// can take a moment (USB bridges); a healthy I/O thread never needs this long.
constexpr int kOpenTimeoutMs = 5000;

}  // namespace

CSerialTransport::CSerialTransport(CIncomingByteQueue& incoming) : m_io(std::make_unique<CSerialIoThread>(incoming))
{
}

CSerialTransport::~CSerialTransport() = default;  // the I/O thread closes the port and ends

bool CSerialTransport::Open(const std::string& path, const SerialLineSettings& settings, std::string* error)
{
    if (!QCoreApplication::instance()) {
        *error = "serial ports need a QCoreApplication in the process";
        return false;
    }
    if (!m_io->Launch()) {
        *error = "cannot start the serial I/O thread";
        return false;
    }
    auto reason = std::make_shared<std::string>();
    const std::optional<bool> opened = m_io->Call<bool>(
        [path, settings, reason](CSerialPortWorker& worker) {
            return worker.Open(QString::fromStdString(path), settings, reason.get());
        },
        kOpenTimeoutMs);
    if (opened.value_or(false))
        return true;
    *error = opened.has_value() ? *reason : "the serial I/O thread did not answer";
    m_io->Stop();
    return false;
}

bool CSerialTransport::Write(const std::uint8_t* data, std::size_t size, int timeoutMs)
{
    std::vector<std::uint8_t> bytes(data, data + size);
    return m_io->Call<bool>([bytes](CSerialPortWorker& worker) { return worker.Write(bytes.data(), bytes.size()); },
                            std::max(timeoutMs, 1))
        .value_or(false);
}
