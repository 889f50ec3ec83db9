#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>
#include "CaptureIndex.h"
#include "GroundTruthLabel.h"

// One hand-over of .dat bytes to the decoder during a replay, at timeUs after the
// replay's start. resetReassembly: drop the bytes kept from earlier deliveries first,
// as the live worker did when it started again after a reconnect.
struct ReplayDelivery {
    std::int64_t timeUs = 0;
    std::int64_t offset = 0;
    std::int64_t length = 0;
    bool resetReassembly = false;
    bool operator==(const ReplayDelivery&) const = default;
};

// What a replay of a recording hands to the decoder, and when. With a capture index
// that matches the .dat, the deliveries are the recorded blocks at their recorded
// times (bytes the index passes over go with the block after them), and whatever the
// .dat holds beyond the last block follows in 7-byte chunks, one per report interval.
// Without a usable index the whole .dat goes that way from t = 0, and the timeline
// says it is paced by the fallback. The deliveries cover the .dat exactly once, in
// order. They are computed on demand: a fallback-paced .dat of 100 MB has 15 million.
class CReplayTimeline {
public:
    static constexpr std::int64_t kFallbackChunkBytes = 7;  // one report frame
    // Longer intervals (a damaged setting) are paced at this.
    static constexpr std::int64_t kLongestReportTimeMs = 3600000;

    // index: as read (it is checked against datSize here); reportTimeMs: the pacing of
    // bytes the index does not cover, 0 or less meaning 50 ms, at most an hour.
    CReplayTimeline(CaptureIndex index, std::int64_t datSize, std::int64_t reportTimeMs);
    // A recording without an index.
    CReplayTimeline(std::int64_t datSize, std::int64_t reportTimeMs);

    std::size_t Size() const { return m_index.blocks.size() + m_tailCount; }
    // Delivery i, 0 <= i < Size().
    ReplayDelivery At(std::size_t i) const;

    // True when no usable index paces the replay (the window says so).
    bool PacedByFallback() const { return !m_index.outcome.Usable(); }
    // Where the report-interval pacing begins: the .dat size when the index covers it all.
    std::int64_t FallbackFromOffset() const { return m_tailOffset; }
    // Why the index was not used (status Missing when there was none), or Ok.
    const ReadOutcome& IndexOutcome() const { return m_index.outcome; }
    // The index's header, kept even when its records could not be used.
    const std::optional<CaptureHeader>& Header() const { return m_index.header; }

    // Labels and link events (lost, back) in time order; blocksBefore is the number of
    // deliveries that come before each.
    const std::vector<TimedCaptureEvent>& Events() const { return m_events; }
    // The label events alone.
    std::vector<LabelChange> LabelChanges() const;
    // When the link was lost, rising: the reports around each have nothing observed between them.
    std::vector<std::int64_t> LinkLostTimes() const;
    // The time of the last delivery or event: the replay's length.
    std::int64_t EndUs() const;

private:
    void Build(std::int64_t datSize, std::int64_t reportTimeMs);
    bool ResetsAt(std::size_t delivery) const;

    CaptureIndex m_index;
    std::vector<TimedCaptureEvent> m_events;
    std::vector<std::size_t> m_resets;  // deliveries that start a fresh reassembly, rising
    std::int64_t m_datSize = 0;
    std::int64_t m_intervalUs = 0;
    std::int64_t m_tailOffset = 0;
    std::int64_t m_tailStartUs = 0;
    std::size_t m_tailCount = 0;
};
