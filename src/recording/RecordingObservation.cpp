#include "RecordingObservation.h"

#include <algorithm>
#include <chrono>

#include "ReplayTimeline.h"
#include "StallWatch.h"

ObservationRule RecordingObservationRule(const CReplayTimeline& timeline, std::int64_t fallbackReportTimeMs)
{
    const std::int64_t intervalMs = timeline.Header() && timeline.Header()->reportTimeMs > 0
                                        ? timeline.Header()->reportTimeMs
                                        : fallbackReportTimeMs;
    const auto threshold = CStallWatch::Threshold(int(std::clamp<std::int64_t>(intervalMs, 0, 1 << 30)));
    ObservationRule rule;
    rule.stallThresholdUs = std::chrono::microseconds(threshold).count();
    rule.linkLostUs = timeline.LinkLostTimes();
    return rule;
}
