#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "GroundTruthLabel.h"
#include "LabelLayers.h"
#include "ReplayTimeline.h"

// A recording opened for replay, export or a summary: its timeline (from its capture
// index when that fits the .dat, else paced at the report interval) and the labels set
// on it, live (in the index) and in replays (in the labels file), as two layers.
struct LoadedRecording {
    enum class Problem { None, Unreadable, Empty, NotARecording };
    Problem problem = Problem::None;
    std::string reason;  // the system's words for Unreadable
    std::int64_t datSize = 0;
    std::shared_ptr<const CReplayTimeline> timeline;  // null unless Problem::None
    CLabelLayers labelLayers;
    std::vector<LabelChange> labels;                  // those of the layer in use, in time order
    ReadOutcome labelsOutcome;                        // how the labels file read
};

// Opens the recording at datPath (a ".dat" of the tool; any other name is not one) with
// its index and labels beside it. reportTimeMs paces a recording without a usable index
// (0 or less: 50 ms) unless its index header names the interval.
LoadedRecording LoadRecording(const std::string& datPath, std::int64_t reportTimeMs);
