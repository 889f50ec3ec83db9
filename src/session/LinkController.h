#pragma once
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <string>

#include "BaseStringA.h"
#include "ModuleLink.h"
#include "SerialPortEntry.h"

class CToolSession;

// The link to the module over time: connect and disconnect, the watch on a link that is
// shown open, and the wait for a lost device to come back (found again by its identity),
// with the timing of the gap. What a lost link means for a run (pause the worker, note
// it in the capture index, resume) is the run's owner's; this says when.
//
// Threads: user-interface thread only, like its timers and the session it reports to.
class CLinkController : public QObject {
    Q_OBJECT
public:
    // How often the link that is shown open is looked at.
    static constexpr int kWatchIntervalMs = 250;
    // How often a lost device is looked for while reconnecting.
    static constexpr int kReconnectIntervalMs = 500;

    CLinkController(CModuleLink& link, CToolSession& session);

    // Opens the port of this number, reads the firmware version and starts the watch;
    // listed is the port's entry in the last listing (null when not listed). False, with
    // nothing changed, when the port did not open.
    bool Connect(int portNumber, int baud, const SerialPortEntry* listed);
    // Closes the link the operator asked to close.
    void Disconnect();
    // Closes a link that is gone for good.
    void Abandon();

    // Firmware as the module told it at Connect, "Unknown" otherwise.
    const CBaseStringA& Firmware() const { return m_firmware; }
    std::string FirmwareText() const;
    // The module answered the version request at the last Connect.
    bool ModuleAnswered() const { return m_moduleAnswered; }

    void StartWatch();
    void StopWatch();

    // The link was lost during a run that goes on: the port is closed and the device
    // looked for until it is back (linkBack) or EndReconnect.
    void BeginReconnect();
    void EndReconnect();
    // When the gap began, and how long it lasted so far.
    const QDateTime& GapStarted() const { return m_gapStarted; }
    long long GapElapsedMs() const { return m_gapTimer.isValid() ? m_gapTimer.elapsed() : 0; }
    // Report intervals of the gap not yet shown, at most limit; counts them as shown.
    std::int32_t TakeGapSteps(long long reportIntervalMs, long long limit);
    // Completed reconnects since the controller was made.
    int Reconnects() const { return m_reconnects; }

signals:
    // The watch found the link shown open closed under it.
    void linkLost();
    // The watch found the link standing (4 times a second).
    void linkWatched();
    // A look for the lost device found nothing yet; the gap goes on.
    void gapGoesOn();
    // The device is open again at path and reporting was started; the mode is Running.
    void linkBack(const std::string& path);

private:
    void CheckLink();
    void TryReconnect();

    CModuleLink& m_link;
    CToolSession& m_session;
    CBaseStringA m_firmware{"Unknown"};
    bool m_moduleAnswered = false;
    QTimer m_watch;
    QTimer m_reconnectWatch;
    QDateTime m_gapStarted;
    QElapsedTimer m_gapTimer;
    long long m_gapIntervalsShown = 0;
    int m_reconnects = 0;
};
