#include "SerialPortWorker.h"

#include "../common/DbgOutput.h"
#include "IncomingByteQueue.h"

CSerialPortWorker::CSerialPortWorker(CIncomingByteQueue& incoming, QObject* parent)
    : QObject(parent), m_incoming(incoming)
{
}

CSerialPortWorker::~CSerialPortWorker()
{
    Close();
}

bool CSerialPortWorker::Open(const QString& path, const SerialLineSettings& settings, std::string* error)
{
    Close();
    m_failed = false;
    m_port = new QSerialPort(path, this);
    auto fail = [&](const char* what) {
        if (error)
            *error = std::string(what) + ": " + m_port->errorString().toStdString();
        Close();
        return false;
    };
    if (!m_port->open(QIODevice::ReadWrite))
        return fail("cannot open");
    // Line settings are real requirements: a port that refuses them cannot talk to the module.
    if (!m_port->setBaudRate(settings.baudRate))
        return fail("baud rate refused");
    if (!m_port->setDataBits(QSerialPort::Data8) || !m_port->setParity(QSerialPort::NoParity) ||
        !m_port->setStopBits(settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) ||
        !m_port->setFlowControl(QSerialPort::NoFlowControl))
        return fail("line settings refused");
    if (settings.assertDtr) {
        // Modem lines are a courtesy to USB bridges; pseudo-terminals and some adapters
        // have none and answer "unsupported", which must not stop the port from opening.
        m_port->setDataTerminalReady(true);
        m_port->setRequestToSend(true);
        m_port->clearError();
    }
    // What the driver buffered before we opened is stale module output.
    m_port->clear(QSerialPort::Input);
    connect(m_port, &QSerialPort::readyRead, this, &CSerialPortWorker::OnReadyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, &CSerialPortWorker::OnErrorOccurred);
    return true;
}

bool CSerialPortWorker::Write(const std::uint8_t* data, std::size_t size)
{
    if (!m_port || m_failed)
        return false;
    return m_port->write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size);
}

void CSerialPortWorker::Close()
{
    if (!m_port)
        return;
    m_port->disconnect(this);
    m_port->close();
    delete m_port;
    m_port = nullptr;
}

void CSerialPortWorker::OnReadyRead()
{
    if (!m_port)
        return;
    const QByteArray bytes = m_port->readAll();
    m_incoming.Push(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
}

void CSerialPortWorker::OnErrorOccurred(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ResourceError:  // USB device unplugged
    case QSerialPort::ReadError:      // pty whose other end closed: read gives EIO
    case QSerialPort::WriteError:
        FailLink(m_port ? m_port->errorString() : QString());
        break;
    default:
        // Time-outs and unsupported settings leave the link usable.
        break;
    }
}

void CSerialPortWorker::FailLink(const QString& reason)
{
    if (m_failed)
        return;
    m_failed = true;
    // Bytes that came in before the failure still belong to the readers.
    OnReadyRead();
    m_incoming.MarkFailed();
    DbgOutputA(3, "radar: serial link lost (%s)\r\n", reason.toUtf8().constData());
    // Closing inside the port's own signal would pull the port out from under the code
    // that emitted it; close on the next turn of the event loop instead.
    QMetaObject::invokeMethod(this, [this] { Close(); }, Qt::QueuedConnection);
}
