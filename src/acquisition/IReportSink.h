#pragma once
#include <cstdint>

// What the owner of the display does for each valid report frame. The decoder calls
// these on the acquisition thread, per frame and in stream order:
//   1. it stores the state and distance (atomics, see CReportFrameDecoder);
//   2. PostRadarReport;
//   3. it writes the diagnostic line;
//   4. it steps the distance history and, under the history lock, calls FeedChart.
// Neither call may wait for the user-interface thread.
class IReportSink {
public:
    virtual ~IReportSink() = default;

    // Queue the report notification for the user-interface thread (never deliver it
    // synchronously); its handler shows the decoder's current state and distance.
    virtual void PostRadarReport() = 0;

    // The history after this frame's step: `length` (at least 1) distances, oldest
    // first. When the chart has waves, push them into wave 0 and queue one repaint
    // unless one is already pending. Runs with the history lock held: the array stays
    // valid for the call only, and the callee must not take the history lock itself.
    virtual void FeedChart(const std::int32_t* history, std::int32_t length) = 0;
};
