#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include "DecodedReport.h"
#include "GroundTruthLabel.h"

// Time spent under one ground-truth label and how much of it the module agreed with.
struct LabelTally {
    GroundTruthLabel label = GroundTruthLabel::Empty;
    std::int64_t labelledUs = 0;
    std::int64_t agreeingUs = 0;
    // agreeingUs / labelledUs in percent; 0 when never labelled.
    double AgreementPercent() const;
};

// How the module's reports compare with the labels an operator set.
struct LabelSummary {
    std::array<LabelTally, 3> tallies;  // empty, moving, still, in that order
    std::int64_t falsePresenceUs = 0;   // module present (moving, motionless) while labelled empty
    std::int64_t missedUs = 0;          // module said nobody while labelled moving or still
    // Per label change, the time to the module's first agreeing report (0 when it already
    // agreed at the change), rising.
    std::vector<std::int64_t> delaysUs;
    // Changes the module never agreed with before the next change (or the end); these
    // have no delay above.
    std::size_t neverAgreed = 0;

    const LabelTally& Tally(GroundTruthLabel label) const;
    double MedianDelayMs() const;  // 0 without delays
    double MaxDelayMs() const;     // 0 without delays
};

// Compares reports (in time order) with label changes up to endUs. At any moment the
// module's state is that of its last report at or before it; before its first report it
// is unknown, which agrees with no label. The module agrees with "empty" when it says
// nobody, with "moving" when it says moving, with "still" when it says motionless or
// moving. A change to the label already in force is no change. Labels need not be sorted
// (a stable sort keeps the later of two at the same time in force).
LabelSummary SummarizeLabels(const std::vector<DecodedReport>& reports, std::vector<LabelChange> labels,
                             std::int64_t endUs);

// The summary as English text for the command line, one finding a line.
std::string FormatLabelSummary(const LabelSummary& summary);
