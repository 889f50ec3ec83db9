#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>
#include "DecodedReport.h"
#include "GroundTruthLabel.h"
#include "LabelLayers.h"

// Time spent under one ground-truth label and how much of it the module agreed with.
struct LabelTally {
    GroundTruthLabel label = GroundTruthLabel::Empty;
    std::int64_t labelledUs = 0;
    std::int64_t unobservedUs = 0;  // of labelledUs: without reports (a link gap or a stall)
    std::int64_t agreeingUs = 0;
    std::int64_t ObservedUs() const { return labelledUs - unobservedUs; }
    // agreeingUs / ObservedUs() in percent; 0 when nothing under the label was observed.
    double AgreementPercent() const;
};

// When the module's reports say nothing of the time between them, as the statistics
// (CPresenceStatistics) count it: reports further apart than the stall threshold, or a
// link lost between them. The default knows no stall and no link gap.
struct ObservationRule {
    std::int64_t stallThresholdUs = std::numeric_limits<std::int64_t>::max();
    std::vector<std::int64_t> linkLostUs;  // rising
};

// How the module's reports compare with the labels an operator set.
struct LabelSummary {
    std::array<LabelTally, 3> tallies;  // empty, moving, still, in that order
    std::int64_t falsePresenceUs = 0;   // module present (moving, motionless) while labelled empty
    std::int64_t missedUs = 0;          // module said nobody while labelled moving or still
    std::int64_t unobservedUs = 0;      // labelled time without reports, under any label
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

// Compares reports (in time order) with label changes up to endUs. Between two reports
// the module's state is that of the earlier one, unless the rule makes that time
// unobserved; before the first report nothing is observed. Unobserved time counts for
// no agreement, false presence or miss. From the last report to endUs the same rule
// holds as if a report came at endUs. A state other than 0, 1, 2 counts as nobody, as in
// every figure. The module agrees with "empty" when it says nobody, with "moving" when
// it says moving, with "still" when it says motionless or moving. A change to the label
// already in force is no change. Labels need not be sorted (a stable sort keeps the
// later of two at the same time in force).
LabelSummary SummarizeLabels(const std::vector<DecodedReport>& reports, std::vector<LabelChange> labels,
                             std::int64_t endUs, const ObservationRule& rule = {});

// The summary as English text for the command line, one finding a line, starting with
// the labels it used.
std::string FormatLabelSummary(const LabelSummary& summary, LabelLayer layer);
