#include "PortHotplugWatch.h"

#include <algorithm>

#include "PortListing.h"

namespace {

std::vector<std::string> ListedPaths()
{
    std::vector<std::string> paths;
    for (const SerialPortEntry& entry : ListSerialPorts())
        paths.push_back(entry.path);
    return paths;
}

}  // namespace

CPortHotplugWatch::CPortHotplugWatch(QObject* parent, const QString& folder, Lister lister)
    : QObject(parent), m_lister(lister ? std::move(lister) : Lister(&ListedPaths))
{
    m_lastPorts = m_lister();
    std::sort(m_lastPorts.begin(), m_lastPorts.end());
    m_settle.setSingleShot(true);
    // A coarse timer may fire 5 % early, which would make two signals closer than a second.
    m_settle.setTimerType(Qt::PreciseTimer);
    connect(&m_settle, &QTimer::timeout, this, &CPortHotplugWatch::CheckPorts);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &CPortHotplugWatch::OnFolderChanged);
    m_watcher.addPath(folder);
}

void CPortHotplugWatch::OnFolderChanged()
{
    if (m_settle.isActive())
        return;  // a check is already due; it will see this change too
    const auto now = std::chrono::steady_clock::now();
    const auto earliest = std::max(now + kSettleTime, m_lastSignal + kMinimumInterval);
    m_settle.start(std::chrono::ceil<std::chrono::milliseconds>(earliest - now));
}

void CPortHotplugWatch::CheckPorts()
{
    std::vector<std::string> ports = m_lister();
    std::sort(ports.begin(), ports.end());
    if (ports == m_lastPorts)
        return;
    m_lastPorts = std::move(ports);
    m_lastSignal = std::chrono::steady_clock::now();
    emit portsChanged();
}
