#pragma once
#include <QLabel>
#include <QPoint>
#include <QString>

// The chart's hover read-out window: a tool-tip styled label owned by the chart.
// Unlike QToolTip it has no timers and no global instance, so the chart alone
// decides when it shows, moves and hides. UI thread only.
class CWaveToolTip : public QLabel {
public:
    explicit CWaveToolTip(QWidget* owner);

    // An inactive tip is hidden and stays hidden until activated again.
    void Activate(bool on);
    bool IsActive() const { return m_active; }
    void SetTipText(const QString& text);
    // Shows the tip beside the pointer, given in the owner's coordinates, if active.
    void RelayMouseMove(const QPoint& point);

private:
    QWidget* m_owner = nullptr;
    bool m_active = false;
};
