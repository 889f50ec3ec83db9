#pragma once
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// Tells when a serial device appears or disappears. The kernel reports every device
// node made or removed in the device folder (an inotify descriptor, no polling); the
// watch then lists the serial devices again and signals only when that list changed,
// never more often than once a second. It never opens a port.
//
// Thread: lives on the thread that made it (the user-interface thread in the tool).
class CPortHotplugWatch : public QObject {
    Q_OBJECT
public:
    using Lister = std::function<std::vector<std::string>()>;

    // folder: the device folder to watch; lister: the current serial device paths
    // (by default those of ListSerialPorts). Tests give both of their own.
    explicit CPortHotplugWatch(QObject* parent = nullptr, const QString& folder = QStringLiteral("/dev"),
                               Lister lister = {});

    // The shortest time between two signals.
    static constexpr std::chrono::milliseconds kMinimumInterval{1000};
    // How long a change settles first: udev adds the by-id link and the access rights
    // just after the node.
    static constexpr std::chrono::milliseconds kSettleTime{200};

signals:
    // The serial devices are not what they were at the last signal (or at the start).
    void portsChanged();

private:
    void OnFolderChanged();
    void CheckPorts();

    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    Lister m_lister;
    std::vector<std::string> m_lastPorts;
    std::chrono::steady_clock::time_point m_lastSignal{};
};
