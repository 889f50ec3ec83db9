#pragma once

// Whether the file system of a recording is running out of room: under 100 MB free, or
// under ten minutes at the rate the recording grows. The recording goes on either way;
// the operator is warned in time to make room.
bool IsRecordingRoomLow(long long freeBytes, double bytesPerSecond);
