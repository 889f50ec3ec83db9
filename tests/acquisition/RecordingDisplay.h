#pragma once
#include <string>
#include <vector>
#include "AcquisitionSession.h"
#include "IAcquisitionDisplay.h"
#include "RecordingSink.h"

// The window's side of a stop, recorded: each step with the session's running flag
// and the number of reports posted so far at that moment. User-interface thread only.
class RecordingDisplay : public IAcquisitionDisplay {
public:
    struct Step {
        std::string name;
        bool running;
        int postsSoFar;
    };

    void Attach(const CAcquisitionSession* session, const RecordingSink* sink)
    {
        m_session = session;
        m_sink = sink;
    }

    void DiscardQueuedReports() override { Record("discard"); }
    void ResetPresenceIndicator() override { Record("reset"); }
    void ShowStartButtonText() override { Record("button"); }

    std::vector<Step> steps;

private:
    void Record(const char* name)
    {
        steps.push_back({name, m_session && m_session->IsRunningFlagSet(), m_sink ? m_sink->PostCount() : 0});
    }

    const CAcquisitionSession* m_session = nullptr;
    const RecordingSink* m_sink = nullptr;
};
