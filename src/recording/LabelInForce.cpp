#include "LabelInForce.h"

#include <algorithm>

GroundTruthLabel LabelInForce(const std::vector<LabelChange>& changes, std::int64_t timeUs)
{
    const auto after = std::upper_bound(changes.begin(), changes.end(), timeUs,
                                        [](std::int64_t t, const LabelChange& change) { return t < change.timeUs; });
    return after == changes.begin() ? GroundTruthLabel::Off : std::prev(after)->label;
}
