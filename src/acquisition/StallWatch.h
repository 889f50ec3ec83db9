#pragma once
#include <chrono>
#include <cstdint>

// How long without a report counts as a stall at this report interval (any value; the
// interval is taken as 0 when negative): three intervals, and at least a second.
// Constant: any thread may call it.
std::chrono::milliseconds StallThreshold(std::int64_t reportIntervalMs);

// Tells when a running module has gone quiet: no valid report for three report
// intervals, and at least a second. A module that stops sending looks exactly like a
// room where nothing changes, so the display must say its data is old.
//
// Thread: one owner (the user-interface thread in the tool), fed with the decoder's
// frame count at each look.
class CStallWatch {
public:
    using Clock = std::chrono::steady_clock;
    enum class Change { None, Started, Ended };

    // StallThreshold(reportTimeMs).
    static std::chrono::milliseconds Threshold(int reportTimeMs) { return StallThreshold(reportTimeMs); }

    // A run starts (now): the silence is measured from here until the first report.
    void Start(std::uint64_t frames, Clock::time_point now);
    // Looks at the frame count at now; says whether a stall started or ended.
    Change Update(std::uint64_t frames, Clock::time_point now, int reportTimeMs);
    // The run ended: no stall any more, and none until the next Start.
    void Stop();

    bool Running() const { return m_running; }
    bool Stalled() const { return m_stalled; }
    // Since the last report (or the start); zero when not running.
    Clock::duration Silence(Clock::time_point now) const;

private:
    bool m_running = false;
    bool m_stalled = false;
    std::uint64_t m_frames = 0;
    Clock::time_point m_lastReport{};
};
