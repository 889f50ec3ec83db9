#include "DetectionParams.h"

void DetectionParams::RestoreDefaults()
{
    nMotionlessRangeMin = 30;
    nMotionlessRangeMax = 425;
    nMotionRangeMin = 30;
    nMotionRangeMax = 717;
    nOffTime = 20;
    nMotionIIR = 2;
    nMotionlessIIR = 8;
    fMotionNearEndCoef = 40.0f;
    fMotionFarEndCoef = 6.0f;
    fMotionlessNearEndCoef = 40.0f;
    fMotionlessFarEndCoef = 9.0f;
    nMotionWindowRange = 5;
    nMotionlessWindowRange = 10;
    fKalman1 = 0.5f;
    fKalman2 = 0.5f;
    // Nearest 32-bit floats to 0.85 and 0.15, as the module stores them.
    fKalman3 = 0.85f;
    fKalman4 = 0.15f;
    nDistanceCalibration = 0;
}

DetectionParams DetectionParams::Defaults()
{
    DetectionParams params;
    params.RestoreDefaults();
    return params;
}
