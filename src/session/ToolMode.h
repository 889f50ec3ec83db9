#pragma once

// What the tool is doing, as one value: every enable and label rule of the connection and
// run controls is a function of it (see ControlRules.h), and every view switches on it.
//
//   Disconnected  no link open (after start-up, a disconnect, a link that did not come back)
//   Connected     a link is open, no run goes on
//   Running       a run goes on: the worker reads the module into the raw recording
//   Reconnecting  a run whose link was lost waits for the same device to come back
//   Replaying     a recording is replayed; the connection controls rest meanwhile
enum class ToolMode { Disconnected, Connected, Running, Reconnecting, Replaying };

// "Disconnected", "Connected", ... for logs and test failures.
const char* ToolModeName(ToolMode mode);
