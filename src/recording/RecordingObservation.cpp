#include "RecordingObservation.h"

#include <chrono>

#include "ReplayTimeline.h"
#include "ReportTiming.h"
#include "StallWatch.h"

ObservationRule RecordingObservationRule(const CReplayTimeline& timeline, std::int64_t fallbackReportTimeMs)
{
    const std::int64_t intervalMs =
        ReportIntervalMs(timeline.Header() ? timeline.Header()->reportTimeMs : 0, fallbackReportTimeMs);
    const auto threshold = StallThreshold(intervalMs);
    ObservationRule rule;
    rule.stallThresholdUs = std::chrono::microseconds(threshold).count();
    rule.linkLostUs = timeline.LinkLostTimes();
    return rule;
}
