#include "ControlRules.h"

#include "StringIds.h"

const char* ToolModeName(ToolMode mode)
{
    switch (mode) {
    case ToolMode::Disconnected: return "Disconnected";
    case ToolMode::Connected: return "Connected";
    case ToolMode::Running: return "Running";
    case ToolMode::Reconnecting: return "Reconnecting";
    case ToolMode::Replaying: return "Replaying";
    }
    return "?";
}

bool ConnectionControls::operator==(const ConnectionControls& other) const
{
    return refreshEnabled == other.refreshEnabled && portEnabled == other.portEnabled &&
           baudEnabled == other.baudEnabled && connectEnabled == other.connectEnabled &&
           connectTextId == other.connectTextId && configEnabled == other.configEnabled &&
           startEnabled == other.startEnabled && startTextId == other.startTextId;
}

ConnectionControls ControlsFor(ToolMode mode, bool stoppedByParamDialog, ToolMode beneathReplay)
{
    ConnectionControls controls;
    controls.connectTextId = StringId::kConnectText;
    controls.startTextId = StringId::kStartText;
    switch (mode) {
    case ToolMode::Disconnected:
        break;
    case ToolMode::Connected:
        controls.connectTextId = StringId::kDisconnectText;
        controls.connectEnabled = !stoppedByParamDialog;
        controls.configEnabled = true;
        controls.startEnabled = true;
        break;
    case ToolMode::Running:
    case ToolMode::Reconnecting:
        // While the link is away the run goes on: Stop ends the wait, and the parameter
        // dialog may still be opened (it stops the run before it talks to the module).
        controls.connectTextId = StringId::kDisconnectText;
        controls.connectEnabled = false;
        controls.configEnabled = true;
        controls.startEnabled = true;
        controls.startTextId = StringId::kStopText;
        break;
    case ToolMode::Replaying:
        if (beneathReplay != ToolMode::Replaying)
            controls = ControlsFor(beneathReplay, stoppedByParamDialog);
        controls.refreshEnabled = controls.portEnabled = controls.baudEnabled = false;
        controls.connectEnabled = controls.configEnabled = controls.startEnabled = false;
        break;
    }
    return controls;
}
