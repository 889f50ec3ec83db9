#pragma once
#include <cstdint>
#include <vector>

#include "GroundTruthLabel.h"

// The label in force at timeUs: that of the last change at or before it (of several at
// one time, the last in the list), Off before the first.
GroundTruthLabel LabelInForce(const std::vector<LabelChange>& changes, std::int64_t timeUs);
