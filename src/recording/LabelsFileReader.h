#pragma once
#include <string>
#include <string_view>
#include <vector>
#include "GroundTruthLabel.h"
#include "ReadOutcome.h"

// The labels of a recording's `.dat.labels` file (see CLabelsFileWriter).
struct LabelsFile {
    // In time order; of two at the same time the later line comes last (and so wins).
    // Lines of several replays may interleave in time: a later replay may label earlier
    // moments again.
    std::vector<LabelChange> changes;
    ReadOutcome outcome;  // Missing when there is no file: the recording has no replay labels
};

// Reads the labels file at path line by line. A cut last line is dropped and reported
// (LastLineCut); blank lines are passed over; any other line that is not
// {"t":<µs>,"label":"empty|moving|still|off"} makes the file Corrupt, naming the line,
// and leaves no changes.
LabelsFile ReadLabelsFile(const std::string& path);
// The same for text in memory.
LabelsFile ReadLabelsText(std::string_view text);
