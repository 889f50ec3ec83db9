#pragma once
#include <climits>
#include <cstdint>
#include <vector>
#include "BaseLock.h"

class IReportSink;

// The distance history that feeds the chart: the last N distances, oldest first.
// The chart set-up (user-interface thread) replaces it while the decoder (acquisition
// thread) may be stepping it, so both go through one lock. Lock order: the history
// lock is taken before any chart buffer lock, never while one is held.
class CDistanceHistory {
public:
    // A distance that was never received (the link was down): the chart breaks its line.
    static constexpr std::int32_t kNoDistance = INT32_MIN;

    // The history length for a report interval: the last 15 s of reports. An interval
    // of 0 counts as 50 ms. Intervals above 15000 ms or below 0 give a length below 1.
    static std::int32_t LengthForReportInterval(std::int32_t reportTimeMS);

    // Any thread (the chart set-up): a new history of `length` zeros; a length below 1
    // leaves no history. Waits for a step in progress.
    void Replace(std::int32_t length);

    // Acquisition thread: drops the oldest distance, appends `distance`, then hands the
    // whole history to sink.FeedChart, all under the lock. Does nothing and returns false
    // when there is no history.
    bool Advance(std::int32_t distance, IReportSink& sink);

    // Whichever thread decodes (the acquisition thread, or the user-interface thread
    // while the worker is paused during a reconnect): appends `count` missing distances
    // (at most the history's length) and feeds the chart as Advance does. False when
    // there is no history or count is below 1.
    bool AdvanceMissing(std::int32_t count, IReportSink& sink);

    // Any thread.
    std::int32_t GetLength() const;
    std::vector<std::int32_t> GetValues() const;

private:
    mutable CBaseLock m_lock;
    std::vector<std::int32_t> m_values;  // guarded by m_lock
};
