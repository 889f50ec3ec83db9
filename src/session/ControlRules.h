#pragma once
#include "ToolMode.h"

// How the connection and run controls stand in a mode. The texts are string-table ids,
// so that the rules stay free of the interface language.
struct ConnectionControls {
    bool refreshEnabled = true;   // 1100
    bool portEnabled = true;      // 1101
    bool baudEnabled = true;      // 1102
    bool connectEnabled = true;   // 1103
    int connectTextId = 0;        // 1103: "Connect" or "Disconn."
    bool configEnabled = false;   // 1104
    bool startEnabled = false;    // 1105
    int startTextId = 0;          // 1105: "Start" or "Stop"

    bool operator==(const ConnectionControls& other) const;
};

// stoppedByParamDialog: the parameter dialog stopped the last run; Connect stays disabled
// until the operator starts and stops a run again with Start. beneathReplay: what the
// link stands at while a replay rests the controls; their texts stay the link's.
ConnectionControls ControlsFor(ToolMode mode, bool stoppedByParamDialog,
                               ToolMode beneathReplay = ToolMode::Disconnected);
