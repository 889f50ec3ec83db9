#pragma once
#include <QObject>

#include "ControlRules.h"
#include "HealthMonitor.h"
#include "LinkController.h"
#include "ModuleLink.h"
#include "ToolMode.h"

// The application model the window and radarcli drive: it owns the module link and says
// what the tool is doing as one ToolMode. The link, run, replay and health controllers
// join it one by one; views read its state and send it their intents.
//
// Threads: user-interface thread (the window's, radarcli's main thread) only. The signals
// are emitted synchronously, from the command that changed the state.
class CToolSession : public QObject {
    Q_OBJECT
public:
    explicit CToolSession(QObject* parent = nullptr) : QObject(parent) {}

    CModuleLink& Link() { return m_link; }
    const CModuleLink& Link() const { return m_link; }
    // Connect, disconnect, the link watch and reconnecting.
    CLinkController& Links() { return m_links; }
    const CLinkController& Links() const { return m_links; }
    // The stall watch, the rates and the disk room of a run.
    CHealthMonitor& Health() { return m_health; }
    const CHealthMonitor& Health() const { return m_health; }

    // Replaying while a replay goes on, else what the link and the run stand at.
    ToolMode Mode() const { return m_replaying ? ToolMode::Replaying : m_linkMode; }
    // What the link and the run stand at, also beneath a replay.
    ToolMode LinkMode() const { return m_linkMode; }
    bool StoppedByParamDialog() const { return m_stoppedByParamDialog; }
    // The connection and run controls as the state wants them.
    ConnectionControls Controls() const;

    // link: Disconnected, Connected, Running or Reconnecting. A link that goes away ends
    // what the parameter dialog's stop left behind; a Start does too.
    void SetLinkMode(ToolMode link);
    void SetReplaying(bool replaying);
    // The parameter dialog stopped a run: Connect waits for a Start and a Stop.
    void NoteStoppedByParamDialog();

signals:
    void modeChanged(ToolMode mode);
    // The connection and run controls should be shown anew (the mode, the texts beneath a
    // replay, or the parameter dialog's stop changed).
    void controlsChanged();

private:
    // Emits what changed since before.
    void Changed(ToolMode modeBefore, const ConnectionControls& controlsBefore);

    CModuleLink m_link;
    CLinkController m_links{m_link, *this};
    CHealthMonitor m_health;
    ToolMode m_linkMode = ToolMode::Disconnected;
    bool m_replaying = false;
    bool m_stoppedByParamDialog = false;
};
