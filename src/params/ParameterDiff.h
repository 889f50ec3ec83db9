#pragma once
// Field-by-field comparison of two parameter records. Pure: any thread.
#include <cstdint>
#include <vector>

#include "DetectionParams.h"
#include "ParameterTable.h"

namespace ModuleParams {

struct FieldDifference {
    const ParameterInfo* field = nullptr;
    std::int32_t left = 0;   // raw values (a float as its bits)
    std::int32_t right = 0;
};

// The fields whose raw values differ, in record order. Floats compare bit for bit: 0
// and -0 differ, and a NaN equals itself.
std::vector<FieldDifference> DiffParameters(const DetectionParams& left, const DetectionParams& right);

}  // namespace ModuleParams
