#pragma once
#include <cstdint>
#include <optional>
#include <vector>
#include "CaptureEvent.h"
#include "CaptureHeader.h"
#include "ReadOutcome.h"

// One delivery of bytes from the module as the worker got it: `length` bytes at
// `offset` in the .dat, read `timeUs` microseconds after the run began.
struct CaptureBlock {
    std::int64_t timeUs = 0;
    std::int64_t offset = 0;
    std::int64_t length = 0;
    bool operator==(const CaptureBlock&) const = default;
};

// A capture index as read from its file. When the outcome is not usable, blocks and
// events are empty; the header stays when its line was sound.
struct CaptureIndex {
    std::optional<CaptureHeader> header;
    std::vector<CaptureBlock> blocks;        // in file order: times rising, offsets rising
    std::vector<TimedCaptureEvent> events;   // in file order, times rising
    ReadOutcome outcome;

    // The end of the last block: how much of the .dat the index accounts for.
    std::int64_t IndexedBytes() const;

    // Checks a usable index against its .dat's size: a block (or a write event) past the
    // end makes it MismatchesDat and empties blocks and events. A longer .dat is fine:
    // the index may have lost its last records in a crash.
    void ValidateAgainstDat(std::int64_t datSize);
};
