#pragma once

// SIGINT and SIGTERM ask the running command to stop cleanly instead of ending the
// process, so that workers are joined, the module is told to stop and files close
// whole. The handler does nothing but note the signal and write one byte into a pipe
// (both async-signal-safe); the main thread sleeps on that pipe between its chores.
//
// Threads: the handler may run on any thread of the process (the device library's
// I/O thread, an acquisition worker, the main thread); it touches only an atomic and
// the pipe's write end. Everything else here runs on the main thread.
class CStopSignal {
public:
    // Installs the handlers; one object per process, made before any port is opened.
    CStopSignal();
    // Puts the earlier handlers back.
    ~CStopSignal();
    CStopSignal(const CStopSignal&) = delete;
    CStopSignal& operator=(const CStopSignal&) = delete;

    bool Requested() const { return SignalNumber() != 0; }
    // The signal that asked for the stop, 0 before one came.
    int SignalNumber() const;
    // "SIGINT", "SIGTERM" or "" before one came.
    const char* SignalName() const;
    // Sleeps up to ms, waking at once when a stop is (or was already) requested.
    // True when a stop is requested.
    bool WaitFor(int ms) const;
};
