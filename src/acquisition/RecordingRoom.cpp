#include "RecordingRoom.h"

namespace {
constexpr long long kLowFreeBytes = 100LL * 1000 * 1000;
constexpr double kLowFreeSeconds = 10 * 60;
}  // namespace

bool IsRecordingRoomLow(long long freeBytes, double bytesPerSecond)
{
    if (freeBytes < 0)  // unknown: nothing to warn of
        return false;
    return freeBytes < kLowFreeBytes || (bytesPerSecond > 0.0 && double(freeBytes) / bytesPerSecond < kLowFreeSeconds);
}
