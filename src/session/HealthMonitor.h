#pragma once
#include <cstdint>
#include <string>

#include "StallWatch.h"

// The health of a run as its owner looks at it 4 times a second: whether the module has
// gone quiet (the stall watch), the report and byte rates over the last second or more,
// and whether the recording's disk is running out of room. Stalls that start and end go
// to the diagnostic log here; what the view makes of them is the caller's.
//
// Thread: one owner, the user-interface thread; it reads the decoder's and the
// session's counters (atomics) at each look.
class CHealthMonitor {
public:
    using Clock = CStallWatch::Clock;

    // A run starts, or goes on after a gap: silence and rates are measured from here.
    void Start(std::uint64_t frames, Clock::time_point now);
    // The stall watch alone starts again (a link that came back), the rates go on.
    void RestartStallWatch(std::uint64_t frames, Clock::time_point now);
    // One look at a running run; says whether a stall started or ended.
    CStallWatch::Change Look(std::uint64_t frames, long long recordedBytes, const std::string& recording,
                             int reportTimeMs, Clock::time_point now);
    // The run ended.
    void Stop();

    bool Stalled() const { return m_stallWatch.Stalled(); }
    long long SilenceMs(Clock::time_point now) const;
    double ReportsPerSecond() const { return m_reportsPerSecond; }
    double BytesPerSecond() const { return m_bytesPerSecond; }
    // Free megabytes of the recording's file system while that is low, else -1.
    long long LowDiskFreeMb() const { return m_lowDiskFreeMb; }

private:
    void CheckDiskRoom(const std::string& recording);

    CStallWatch m_stallWatch;
    std::uint64_t m_rateFrames = 0;
    long long m_rateBytes = 0;
    Clock::time_point m_rateSince{};
    double m_reportsPerSecond = 0.0;
    double m_bytesPerSecond = 0.0;
    int m_diskCheckTick = 0;
    long long m_lowDiskFreeMb = -1;
};
