#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

// What the operator says is really in front of the module while a run is recorded or
// replayed. Off ends labelling: the time after it belongs to no label.
enum class GroundTruthLabel { Off, Empty, Moving, Still };

// The label's name in the capture index, the labels file and the CSV ("off", "empty",
// "moving", "still").
const char* LabelName(GroundTruthLabel label);

// The label named exactly so (lower case); none for any other text.
std::optional<GroundTruthLabel> ParseLabelName(std::string_view name);

// From timeUs (microseconds since the run began) on, label is in force.
struct LabelChange {
    std::int64_t timeUs = 0;
    GroundTruthLabel label = GroundTruthLabel::Off;
    bool operator==(const LabelChange&) const = default;
};
