#pragma once

// The display steps of CAcquisitionSession::StopAcquisition, done by the window that
// owns the session. All run on the user-interface thread after the worker has ended,
// in this order (the session clears its running flag between the last two).
class IAcquisitionDisplay {
public:
    virtual ~IAcquisitionDisplay() = default;

    // Remove every report notification still queued for the window, so that no report
    // from before the stop is shown after it.
    virtual void DiscardQueuedReports() = 0;

    // Show the nobody picture on the presence indicator and uncheck both indicator radios.
    virtual void ResetPresenceIndicator() = 0;

    // Label the start/stop button "Start" (in the interface language).
    virtual void ShowStartButtonText() = 0;
};
