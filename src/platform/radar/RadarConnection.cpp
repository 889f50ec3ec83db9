#include "RadarConnection.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "../common/DbgOutput.h"
#include "SerialPortNames.h"
#include "CommandFrame.h"
#include "CommandFrameScanner.h"
#include "ModuleProtocol.h"
#include "RadarDevice.h"
#include "SerialTransport.h"
#include "SimulatedModuleOptions.h"
#include "SimulatedTransport.h"

using namespace ModuleProtocol;
using Clock = std::chrono::steady_clock;

namespace {

// The line counts as silent once nothing has come for this long (CleanInput).
constexpr int kSilenceMs = 20;

int MsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

}  // namespace

CRadarConnection::~CRadarConnection()
{
    Close();
}

bool CRadarConnection::Open(int portNumber, const SerialLineSettings& settings, int attempts, int retryDelayMs)
{
    std::lock_guard lock(m_linkMutex);
    CloseLocked();
    if (settings.baudRate <= 0 || (settings.stopBits != 1 && settings.stopBits != 2)) {
        DbgOutputA(3, "radar: cannot open port %d: baud rate %d, stop bits %d\r\n", portNumber, settings.baudRate,
                   settings.stopBits);
        return false;
    }
    attempts = std::max(attempts, 1);
    std::string error;
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        m_incoming.Reset();
        m_transport = OpenTransport(portNumber, settings, &error);
        if (m_transport) {
            m_open = true;
            return true;
        }
        if (attempt < attempts)
            std::this_thread::sleep_for(std::chrono::milliseconds(std::max(retryDelayMs, 0)));
    }
    m_incoming.Shut();
    DbgOutputA(3, "radar: cannot open port %d: %s\r\n", portNumber, error.c_str());
    return false;
}

std::unique_ptr<IRadarTransport> CRadarConnection::OpenTransport(int portNumber, const SerialLineSettings& settings,
                                                                 std::string* error)
{
    std::string path = portNumber == kSimulatedPortNumber ? kSimulatedPortPath : SerialPortPathFromNumber(portNumber);
    if (path.empty()) {
        *error = "no device has this port number";
        return nullptr;
    }
    if (path == kSimulatedPortPath)
        return std::make_unique<CSimulatedTransport>(m_incoming, GetInProcessSimulatedModuleOptions());
    auto serial = std::make_unique<CSerialTransport>(m_incoming);
    if (!serial->Open(path, settings, error)) {
        *error = path + ": " + *error;
        return nullptr;
    }
    return serial;
}

void CRadarConnection::Close()
{
    std::lock_guard lock(m_linkMutex);
    CloseLocked();
}

void CRadarConnection::CloseLocked()
{
    m_open = false;
    m_protocolVersion = 0;  // the next module may be another one
    // Shut first: a reader waiting in ReadData returns -1 at once instead of after its time-out.
    m_incoming.Shut();
    m_transport.reset();
}

bool CRadarConnection::IsConnected() const
{
    return m_open && !m_incoming.HasFailed();
}

int CRadarConnection::ReadData(std::uint8_t* buffer, int capacity, int timeoutMs)
{
    return m_incoming.Read(buffer, capacity, timeoutMs);
}

void CRadarConnection::CleanInput(int maxMs)
{
    std::lock_guard lock(m_linkMutex);
    if (!m_transport)
        return;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(maxMs, 0));
    std::uint8_t scratch[512];
    for (int left = MsUntil(deadline); left > 0; left = MsUntil(deadline)) {
        if (m_incoming.Read(scratch, int(sizeof scratch), std::min(kSilenceMs, left)) <= 0)
            break;
    }
}

CommandReply CRadarConnection::Exchange(std::uint16_t word, const std::uint8_t* payload, std::size_t payloadSize,
                                        int timeoutMs)
{
    std::lock_guard lock(m_linkMutex);
    if (!m_transport)
        return {kVetraStatusNotOpen, {}};
    if (m_incoming.HasFailed())
        return {kVetraStatusWriteFailed, {}};
    const std::vector<std::uint8_t> request = EncodeCommandFrame(word, payload, payloadSize);
    if (request.empty())
        return {kVetraStatusBadArgument, {}};
    m_incoming.Discard();
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    if (!m_transport->Write(request.data(), request.size(), MsUntil(deadline)))
        return {kVetraStatusWriteFailed, {}};

    const std::uint16_t expected = std::uint16_t(word | kReplyFlag);
    CCommandFrameScanner scanner;
    std::uint8_t chunk[1024];
    for (;;) {
        const int count = m_incoming.Read(chunk, int(sizeof chunk), MsUntil(deadline));
        if (count < 0) {
            DbgOutputA(3, "radar: link lost while waiting for the reply to 0x%04X\r\n", word);
            return {kVetraStatusWriteFailed, {}};
        }
        if (count == 0)
            break;
        scanner.Append(chunk, std::size_t(count));
        while (auto frame = scanner.Next()) {
            if (frame->word != expected)
                continue;  // a late reply to an earlier command
            const std::vector<std::uint8_t> rest = scanner.TakeRemainder();
            m_incoming.Unread(rest.data(), rest.size());
            return {kVetraStatusOk, std::move(frame->payload)};
        }
    }
    DbgOutputA(3, "radar: no valid reply to 0x%04X within %d ms (%zu with a wrong CRC)\r\n", word, timeoutMs,
               scanner.RejectedFrames());
    return {kVetraStatusTimeout, {}};
}
