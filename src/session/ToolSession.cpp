#include "ToolSession.h"

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
