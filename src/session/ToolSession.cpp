#include "ToolSession.h"

namespace {

// What a session without a view shows: nothing.
class NoView : public IReportSink, public IAcquisitionDisplay {
public:
    void PostRadarReport() override {}
    void FeedChart(const std::int32_t*, std::int32_t) override {}
    void DiscardQueuedReports() override {}
    void ResetPresenceIndicator() override {}
    void ShowStartButtonText() override {}
};

NoView& Nothing()
{
    static NoView nothing;
    return nothing;
}

}  // namespace

CToolSession::CToolSession(IReportSink& view, IAcquisitionDisplay& display, QObject* parent)
    : QObject(parent), m_fanOut(view), m_acquisition(m_decoder, display)
{
    m_fanOut.Attach(m_decoder, m_replay);
}

CToolSession::CToolSession(QObject* parent) : CToolSession(Nothing(), Nothing(), parent) {}

// The members go in reverse order: the acquisition session and the replay runner stop
// their threads before the decoder and the fan-out they feed, and before the link.
CToolSession::~CToolSession() = default;

ConnectionControls CToolSession::Controls() const
{
    return ControlsFor(Mode(), m_stoppedByParamDialog, m_linkMode);
}

void CToolSession::SetLinkMode(ToolMode link)
{
    const ToolMode modeBefore = Mode();
    const ConnectionControls controlsBefore = Controls();
    m_linkMode = link;
    if (link != ToolMode::Connected)
        m_stoppedByParamDialog = false;
    Changed(modeBefore, controlsBefore);
}

void CToolSession::SetReplaying(bool replaying)
{
    const ToolMode modeBefore = Mode();
    const ConnectionControls controlsBefore = Controls();
    m_replaying = replaying;
    Changed(modeBefore, controlsBefore);
}

void CToolSession::NoteStoppedByParamDialog()
{
    const ToolMode modeBefore = Mode();
    const ConnectionControls controlsBefore = Controls();
    m_linkMode = ToolMode::Connected;
    m_stoppedByParamDialog = true;
    Changed(modeBefore, controlsBefore);
}

void CToolSession::Changed(ToolMode modeBefore, const ConnectionControls& controlsBefore)
{
    if (Mode() != modeBefore)
        emit modeChanged(Mode());
    if (!(Controls() == controlsBefore))
        emit controlsChanged();
}
