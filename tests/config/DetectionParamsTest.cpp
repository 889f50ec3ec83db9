#include <cstring>
#include <gtest/gtest.h>
#include "DetectionParams.h"

namespace {

TEST(DetectionParams, RestoreDefaultsWritesEveryFieldInRecordOrder)
{
    DetectionParams params;
    std::memset(static_cast<void*>(&params), 0x5A, sizeof params);  // whatever a file or the module left
    params.RestoreDefaults();

    // The record as the parameter dialog and the module reply see it: 18 words in order.
    std::int32_t words[18];
    std::memcpy(words, &params, sizeof words);
    const std::int32_t integers[18] = {30, 425, 30, 717, 20, 2, 8, 0, 0, 0, 0, 5, 10, 0, 0, 0, 0, 0};
    const float reals[18] = {0, 0, 0, 0, 0, 0, 0, 40.0f, 6.0f, 40.0f, 9.0f, 0, 0, 0.5f, 0.5f, 0.85f, 0.15f, 0};
    for (int i = 0; i < 18; ++i) {
        const bool isReal = (i >= 7 && i <= 10) || (i >= 13 && i <= 16);
        std::int32_t expected = integers[i];
        if (isReal)
            std::memcpy(&expected, &reals[i], sizeof expected);
        EXPECT_EQ(words[i], expected) << "field " << i;
    }
    EXPECT_EQ(params.nDistanceCalibration, 0);
    EXPECT_LT(params.nMotionlessRangeMax, params.nMotionRangeMax);
}

}  // namespace
