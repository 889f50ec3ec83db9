#pragma once
#include <cstdint>
#include <mutex>

#include "PresenceStatistics.h"
#include "StateStrip.h"

// The state strip and the figures of the run or replay on show, fed with every report
// the display gets.
//
// Threads: the decoding thread (acquisition or replay) adds reports; the thread that
// steps the chart through a link gap (either one, never both at once) adds the gap;
// the user-interface thread resets, and reads copies. The strip has its own lock; the
// figures are guarded by m_mutex.
class CRunInsight {
public:
    CStateStrip& Strip() { return m_strip; }
    const CStateStrip& Strip() const { return m_strip; }

    // A new run or replay: the figures and the strip start again (the strip keeps its
    // length, which follows the chart's).
    void ResetFigures(std::int64_t stallThresholdUs);
    void AddReport(std::int64_t timeUs, std::int32_t sentState, std::int32_t distance);
    // `steps` report intervals went by with nothing received.
    void AddLinkGap(std::int32_t steps, std::int64_t timeUs);
    PresenceFigures Figures() const;
    // Changes with every report and reset: a reader can tell that nothing changed.
    std::uint64_t Generation() const;

private:
    CStateStrip m_strip;
    mutable std::mutex m_mutex;
    CPresenceStatistics m_statistics;  // guarded
    std::uint64_t m_generation = 0;    // guarded
};
