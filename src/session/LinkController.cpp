#include "LinkController.h"

#include <algorithm>

#include "SerialPortNames.h"
#include "ToolSession.h"

CLinkController::CLinkController(CModuleLink& link, CToolSession& session) : m_link(link), m_session(session)
{
    m_watch.setInterval(kWatchIntervalMs);
    connect(&m_watch, &QTimer::timeout, this, &CLinkController::CheckLink);
    m_reconnectWatch.setInterval(kReconnectIntervalMs);
    connect(&m_reconnectWatch, &QTimer::timeout, this, &CLinkController::TryReconnect);
}

bool CLinkController::Connect(int portNumber, int baud, const SerialPortEntry* listed)
{
    if (!m_link.OpenPortNumber(portNumber, baud))
        return false;
    m_session.SetLinkMode(ToolMode::Connected);
    m_moduleAnswered = m_link.ReadFirmwareVersion(m_firmware);
    m_link.Remember(SerialPortPathFromNumber(portNumber), listed);
    StartWatch();
    return true;
}

void CLinkController::Disconnect()
{
    m_watch.stop();
    Abandon();
}

void CLinkController::Abandon()
{
    m_link.Close();
    m_session.SetLinkMode(ToolMode::Disconnected);
    m_firmware.Set("Unknown");
    m_moduleAnswered = false;
}

std::string CLinkController::FirmwareText() const
{
    return std::string(m_firmware.GetString(), std::size_t(m_firmware.GetLength()));
}

void CLinkController::StartWatch()
{
    m_watch.start();
}

void CLinkController::StopWatch()
{
    m_watch.stop();
}

void CLinkController::CheckLink()
{
    // The watch runs only while the link is shown open: Connected or Running, also
    // beneath a replay.
    const ToolMode link = m_session.LinkMode();
    if ((link == ToolMode::Connected || link == ToolMode::Running) && !m_link.IsConnected())
        emit linkLost();
    else
        emit linkWatched();
}

void CLinkController::BeginReconnect()
{
    m_watch.stop();
    m_link.Close();
    m_session.SetLinkMode(ToolMode::Reconnecting);
    m_gapStarted = QDateTime::currentDateTime();
    m_gapTimer.start();
    m_gapIntervalsShown = 0;
    m_reconnectWatch.start();
}

void CLinkController::EndReconnect()
{
    m_reconnectWatch.stop();
}

std::int32_t CLinkController::TakeGapSteps(long long reportIntervalMs, long long limit)
{
    const long long due = GapElapsedMs() / (reportIntervalMs > 0 ? reportIntervalMs : 1);
    if (due <= m_gapIntervalsShown)
        return 0;
    const auto steps = std::int32_t(std::min(due - m_gapIntervalsShown, limit));
    m_gapIntervalsShown = due;
    return steps;
}

void CLinkController::TryReconnect()
{
    if (m_session.LinkMode() != ToolMode::Reconnecting)
        return;
    emit gapGoesOn();
    const std::string path = m_link.FindAgain();
    if (path.empty())
        return;
    const int portNumber = path == kSimulatedPortPath ? kSimulatedPortNumber : RegisterSerialPortPath(path);
    if (!m_link.OpenPortNumber(portNumber, m_link.Baud()))
        return;  // not ready yet: the next look tries again
    m_link.SendStartBracket();
    emit gapGoesOn();
    EndReconnect();
    ++m_reconnects;
    m_session.SetLinkMode(ToolMode::Running);
    emit linkBack(path);
}
