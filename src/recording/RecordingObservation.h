#pragma once
#include <cstdint>

#include "LabelSummary.h"

class CReplayTimeline;

// When a recording's reports say nothing of the time between them: the stall rule of
// the live run (CStallWatch) at the report interval its index names (else
// fallbackReportTimeMs), and the link losses its index recorded. The statistics and
// the label summary of a recording both count time by it.
ObservationRule RecordingObservationRule(const CReplayTimeline& timeline, std::int64_t fallbackReportTimeMs);
