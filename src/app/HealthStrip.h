#pragma once
#include <QString>
#include <QWidget>

class QCheckBox;
class QLabel;

// What the link looks like from the window.
enum class LinkState { Disconnected, Connected, Running, Reconnecting };

// One look at the link's health, taken by the main window.
struct HealthSnapshot {
    LinkState link = LinkState::Disconnected;
    double reportsPerSecond = 0.0;
    long long silenceMs = -1;  // since the last valid report while running; -1 otherwise
    bool stalled = false;
    unsigned long long brokenTails = 0;
    unsigned long long skippedBytes = 0;
    long long recordedBytes = -1;  // -1: no recording
    QString recordingPath;         // empty: no recording
    bool moduleSilent = false;     // connected, but the module never answered
    long long lowDiskFreeMb = -1;  // 0 or more: the recording's disk is running out
    QString replay;                // a replay on show: what it is, first in the line
};

// The status line of a snapshot, in the interface language.
QString HealthStripText(const HealthSnapshot& snapshot);

// A thin strip along the bottom of the main window: link state, report rate, time since
// the last report, stream damage, bytes recorded, and the recording's file name, which
// opens its folder when clicked. User-interface thread only.
class CHealthStrip : public QWidget {
public:
    explicit CHealthStrip(QWidget* parent = nullptr);

    // Shows the snapshot; only texts that changed are set.
    void Show(const HealthSnapshot& snapshot);

    // "Reconnect automatically", at the strip's left end.
    QCheckBox* ReconnectBox() const { return m_reconnect; }

    // For tests: what the two parts say (the status in full, however much fits).
    QString StatusText() const { return m_statusText; }
    QString FileText() const;

protected:
    // Refits the status whenever the layout gives it another width.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Cuts the status to the room left beside the file name; the whole text is its tooltip.
    void FitStatus();

    QCheckBox* m_reconnect = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_file = nullptr;
    QString m_statusText;
    QString m_shownPath;
};
