#pragma once
// Readable failure messages for the recording library's plain records.
#include <ostream>
#include "CaptureIndex.h"

inline void PrintTo(const CaptureBlock& b, std::ostream* os)
{
    *os << "{t " << b.timeUs << ", o " << b.offset << ", n " << b.length << "}";
}

inline void PrintTo(const TimedCaptureEvent& e, std::ostream* os)
{
    *os << "{t " << e.timeUs << " after " << e.blocksBefore << " blocks: " << EventKindName(e.event.kind) << " "
        << LabelName(e.event.label) << " '" << e.event.reason << "' '" << e.event.path << "' " << e.event.offset
        << " " << e.event.lost << "}";
}
