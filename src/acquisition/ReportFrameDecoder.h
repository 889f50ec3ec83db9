#pragma once
#include <atomic>
#include <cstdint>
#include "DistanceHistory.h"

class CBaseBuffer;
class IReportSink;

// Finds the module's 7-byte report frames (AA AA, state, distance u16 little-endian
// in cm, 55 55) in the bytes the acquisition worker gathers, and reports each one to
// its owner in stream order (see IReportSink). The frame has no checksum: header and
// tail are its only markers, so the scan resynchronises one byte at a time.
//
// Threads: DecodeReportFrames runs on the acquisition thread only. The state and
// distance are atomics, written there and read by the user-interface thread when it
// handles the notification. The history has its own lock (CDistanceHistory).
class CReportFrameDecoder {
public:
    static constexpr int kFrameSize = 7;

    explicit CReportFrameDecoder(IReportSink& sink) : m_sink(sink) {}
    CReportFrameDecoder(const CReportFrameDecoder&) = delete;
    CReportFrameDecoder& operator=(const CReportFrameDecoder&) = delete;

    // One pass over the unconsumed bytes of buffer: reports every valid frame, writes
    // "Tailer TAG Invalid!" for each header without its tail, and leaves in buffer only
    // the bytes that may still start a frame (at most 6, or all of a shorter buffer).
    void DecodeReportFrames(CBaseBuffer& buffer);

    // State byte (zero-extended) and distance of the last valid frame. Any thread.
    std::int32_t GetState() const { return m_state.load(std::memory_order_acquire); }
    std::int32_t GetDistance() const { return m_distance.load(std::memory_order_acquire); }
    // User-interface thread, while no worker runs (Connect and Start reset them to 0).
    void SetReport(std::int32_t state, std::int32_t distance);

    // Valid frames since construction whose state is stored, counted before the post.
    // Any thread; a reader that takes the count before the state sees that frame's
    // state or a later one's.
    std::uint64_t FramesReported() const { return m_framesReported.load(std::memory_order_acquire); }

    // Damage seen in the stream since construction: headers without their tail, and
    // bytes passed over while looking for a frame (a broken candidate's first byte
    // included). Any thread; they only grow.
    std::uint64_t BrokenTails() const { return m_brokenTails.load(std::memory_order_relaxed); }
    std::uint64_t SkippedBytes() const { return m_skippedBytes.load(std::memory_order_relaxed); }

    // The distance history this decoder steps; the chart set-up replaces it.
    CDistanceHistory& GetHistory() { return m_history; }

private:
    void HandleFrame(const std::uint8_t* frame);

    IReportSink& m_sink;
    std::atomic<std::int32_t> m_state{0};
    std::atomic<std::int32_t> m_distance{0};
    std::atomic<std::uint64_t> m_framesReported{0};
    std::atomic<std::uint64_t> m_brokenTails{0};
    std::atomic<std::uint64_t> m_skippedBytes{0};
    CDistanceHistory m_history;
};
