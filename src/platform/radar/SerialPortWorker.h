#pragma once
// The serial port and its event handlers. CSerialIoThread makes, uses and destroys
// this object on the library's serial I/O thread only; a QSerialPort must only be
// used from the thread it belongs to.
#include <QObject>
#include <QSerialPort>
#include <cstddef>
#include <cstdint>
#include <string>

#include "SerialLineSettings.h"

class CIncomingByteQueue;

class CSerialPortWorker : public QObject {
public:
    explicit CSerialPortWorker(CIncomingByteQueue& incoming, QObject* parent = nullptr);
    ~CSerialPortWorker() override;

    // Opens and configures path; on failure closes it again and fills error.
    bool Open(const QString& path, const SerialLineSettings& settings, std::string* error);
    // Queues bytes for sending; false when the port is closed, failed or refuses them.
    bool Write(const std::uint8_t* data, std::size_t size);
    void Close();

private:
    void OnReadyRead();
    void OnErrorOccurred(QSerialPort::SerialPortError error);
    // The device vanished: readers learn it at once, and the port is closed so that its
    // descriptor cannot keep waking the event loop with the same error.
    void FailLink(const QString& reason);

    CIncomingByteQueue& m_incoming;  // shared with the readers; thread-safe
    QSerialPort* m_port = nullptr;    // child of this object, I/O thread only
    bool m_failed = false;            // I/O thread only
};
