#pragma once
#include <QObject>

#include "AcquisitionSession.h"
#include "IAcquisitionDisplay.h"
#include "ControlRules.h"
#include "HealthMonitor.h"
#include "LinkController.h"
#include "ModuleLink.h"
#include "ReplayRunner.h"
#include "ReportFanOut.h"
#include "ReportFrameDecoder.h"
#include "ToolMode.h"

// The application model the window and radarcli drive: it owns the module link, the
// report decoder with the acquisition session and the replay runner in front of it, and
// says what the tool is doing as one ToolMode. Views read its state and send it their
// intents.
//
// Threads: user-interface thread (the window's, radarcli's main thread), except what the
// decoder calls on the acquisition and replay threads, which goes through the fan-out
// alone (see CReportFanOut). The signals are emitted synchronously, from the command
// that changed the state.
class CToolSession : public QObject {
    Q_OBJECT
public:
    // view: what shows each report (see IReportSink); display: what a stopped run resets
    // (see IAcquisitionDisplay). Both outlive the session's threads.
    CToolSession(IReportSink& view, IAcquisitionDisplay& display, QObject* parent = nullptr);
    // A session that shows nothing (radarcli, tests).
    explicit CToolSession(QObject* parent = nullptr);
    ~CToolSession() override;

    CModuleLink& Link() { return m_link; }
    const CModuleLink& Link() const { return m_link; }
    // Connect, disconnect, the link watch and reconnecting.
    CLinkController& Links() { return m_links; }
    const CLinkController& Links() const { return m_links; }
    // The stall watch, the rates and the disk room of a run.
    CHealthMonitor& Health() { return m_health; }
    const CHealthMonitor& Health() const { return m_health; }

    // The one decoder of live and replayed reports, and what it feeds.
    CReportFrameDecoder& Decoder() { return m_decoder; }
    const CReportFrameDecoder& Decoder() const { return m_decoder; }
    CReportFanOut& FanOut() { return m_fanOut; }
    CRunInsight& Insight() { return m_fanOut.Insight(); }
    const CRunInsight& Insight() const { return m_fanOut.Insight(); }
    // The acquisition worker and its raw recording.
    CAcquisitionSession& Acquisition() { return m_acquisition; }
    const CAcquisitionSession& Acquisition() const { return m_acquisition; }
    // A recording delivered again through the same decoder.
    CReplayRunner& Replay() { return m_replay; }
    const CReplayRunner& Replay() const { return m_replay; }

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
    // In this order: the threads that feed the decoder stop before it and the fan-out go.
    CReportFanOut m_fanOut;
    CReportFrameDecoder m_decoder{m_fanOut};
    CReplayRunner m_replay{m_decoder};
    CAcquisitionSession m_acquisition;
};
