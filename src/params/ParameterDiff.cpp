#include "ParameterDiff.h"

namespace ModuleParams {

std::vector<FieldDifference> DiffParameters(const DetectionParams& left, const DetectionParams& right)
{
    std::vector<FieldDifference> differences;
    for (const ParameterInfo* field : InRecordOrder()) {
        const std::int32_t a = ReadRaw(left, *field);
        const std::int32_t b = ReadRaw(right, *field);
        if (a != b)
            differences.push_back({field, a, b});
    }
    return differences;
}

}  // namespace ModuleParams
