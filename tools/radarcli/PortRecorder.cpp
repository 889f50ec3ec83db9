#include "PortRecorder.h"

#include <filesystem>

#include "DbgOutput.h"
#include "OpenFailureText.h"
#include "RunCaptureHeader.h"

namespace {
constexpr const char* kLinkLostReason = "the port closed";
}  // namespace

CPortRecorder::CPortRecorder(std::string port) : m_port(std::move(port)) {}

CPortRecorder::~CPortRecorder()
{
    Stop();
}

bool CPortRecorder::Connect(int baud, std::string& error)
{
    m_baud = baud;
    if (!OpenModuleLink(m_link, m_port, baud, error))
        return false;
    m_moduleAnswered = m_link.ReadFirmwareVersion(m_firmware);
    // A module that ignored the version request would only make the read wait for its time-out.
    if (m_moduleAnswered) {
        const std::uint16_t status = m_link.ReadParameters(m_parameters);
        m_hasParameters = status == 0;
        if (!m_hasParameters)
            DbgOutputA(2, "The parameters of %s could not be read: %s\r\n", m_port.c_str(),
                       CommandStatusText(status).c_str());
    }
    DbgOutputA(2, "Connected to %s (%s) at %d baud; firmware %s\r\n", m_link.Path().c_str(), m_link.Identity().c_str(),
               baud, m_moduleAnswered ? m_firmware.c_str() : "unknown (no answer)");
    return true;
}

bool CPortRecorder::Start(const std::string& folder, std::string& error)
{
    m_link.SendStartBracket();
    m_session.SetDevice(m_link.Handle());
    m_session.SetRecordFolder(folder);
    m_session.SetCaptureHeader(
        RunCaptureHeader(m_link, m_baud, kReportIntervalMs, m_firmware, m_hasParameters ? &m_parameters : nullptr));
    const bool started = m_session.StartWorker();
    m_running = true;
    // The session goes on without files; a recorder without them has nothing to do.
    std::error_code noSize;
    const std::string indexPath = m_session.GetIndexPath();
    const bool haveIndex = !indexPath.empty() && std::filesystem::file_size(indexPath, noSize) > 0 && !noSize;
    if (!started || m_session.GetRawFilePath().empty() || !haveIndex) {
        error = !started ? "the acquisition thread could not be started"
                         : "cannot create a recording in " + folder;
        Stop();
        return false;
    }
    m_session.SetRunningFlag();
    DbgOutputA(2, "Recording %s into %s\r\n", m_port.c_str(), m_session.GetRawFilePath().c_str());
    return true;
}

void CPortRecorder::StopAfterLostLink()
{
    if (!m_running)
        return;
    m_linkLost = true;
    DbgOutputA(2, "The link to %s was lost\r\n", m_port.c_str());
    m_session.AddCaptureEvent(CaptureEvent::LinkLost(kLinkLostReason));
    Stop();
}

void CPortRecorder::Stop()
{
    if (m_running) {
        m_session.StopAcquisition();
        m_running = false;
        DbgOutputA(2, "Recording of %s stopped: %llu frames, %lld bytes\r\n", m_port.c_str(),
                   static_cast<unsigned long long>(Frames()), Bytes());
    }
    m_session.SetDevice(nullptr);
    m_link.Close();
}
