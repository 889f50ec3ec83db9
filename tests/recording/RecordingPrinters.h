#pragma once
// Readable failure messages for the recording library's plain records.
#include <ostream>
#include "CaptureIndex.h"
#include "DecodedReport.h"
#include "ReplayTimeline.h"

inline void PrintTo(const CaptureBlock& b, std::ostream* os)
{
    *os << "{t " << b.timeUs << ", o " << b.offset << ", n " << b.length << "}";
}

inline void PrintTo(const ReplayDelivery& d, std::ostream* os)
{
    *os << "{t " << d.timeUs << ", o " << d.offset << ", n " << d.length << (d.resetReassembly ? ", reset}" : "}");
}

inline void PrintTo(const DecodedReport& r, std::ostream* os)
{
    *os << "{t " << r.timeUs << ", state " << r.state << ", " << r.distance << " cm}";
}

inline void PrintTo(const TimedCaptureEvent& e, std::ostream* os)
{
    *os << "{t " << e.timeUs << " after " << e.blocksBefore << " blocks: " << EventKindName(e.event.kind) << " "
        << LabelName(e.event.label) << " '" << e.event.reason << "' '" << e.event.path << "' " << e.event.offset
        << " " << e.event.lost << "}";
}
