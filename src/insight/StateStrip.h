#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

#include "PresenceState.h"

// One step of the state strip: what the display showed for one report interval.
struct StripSample {
    static constexpr std::int8_t kNoData = -1;
    std::int64_t timeUs = 0;      // when the report came (µs since the run began)
    std::int64_t runBeganUs = 0;  // when the run of this state that it belongs to began
    std::int8_t state = kNoData;  // a PresenceState, or kNoData (nothing received)
};

// The states behind the distance chart, one per step of its history: the band under
// the chart draws exactly the samples the chart plots, so the two stay aligned. Each
// sample remembers when its run began, so a run that began before the oldest sample
// still tells its true start.
//
// The strip is its own record of what was received: the chart's set-up clears the
// curve but only resizes the strip, so "no data" always means nothing came.
//
// Threads: the decoding thread (acquisition or replay) pushes; the user-interface
// thread replaces or resizes it (at a new run, with the chart's set-up) and copies it to
// paint. One mutex.
class CStateStrip {
public:
    // `length` samples of no data; below 1 leaves an empty strip.
    void Replace(std::int32_t length);
    // `length` samples that keep the newest ones held now (no data before them when the
    // strip grows); below 1 leaves an empty strip.
    void Resize(std::int32_t length);
    // A report with the state as sent (values other than 0, 1, 2 count as nobody).
    void PushReport(std::int64_t timeUs, std::int32_t sentState);
    // `count` steps in which nothing was received (a link gap), at most the length.
    void PushMissing(std::int32_t count, std::int64_t timeUs);
    // Oldest first, into out (its storage is reused).
    void CopyTo(std::vector<StripSample>& out) const;
    std::int32_t Length() const;

private:
    void Push(const StripSample& sample);

    mutable std::mutex m_mutex;
    std::vector<StripSample> m_ring;  // guarded
    std::size_t m_oldest = 0;         // guarded: index of the oldest sample
};

// The run of equal samples around samples[index]: its first and last index, its state,
// when it began and how long it lasted (to the first sample after it, or to its own
// last sample when it reaches the newest one: then it still goes on).
struct StateRun {
    int first = 0;
    int last = 0;
    std::int8_t state = StripSample::kNoData;
    std::int64_t beganUs = 0;
    std::int64_t lastedUs = 0;
    bool goesOn = false;
};
// False when index lies outside samples.
bool FindStateRun(const std::vector<StripSample>& samples, int index, StateRun& run);
