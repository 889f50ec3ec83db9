#include "CaptureIndex.h"

#include <string>

std::int64_t CaptureIndex::IndexedBytes() const
{
    return blocks.empty() ? 0 : blocks.back().offset + blocks.back().length;
}

void CaptureIndex::ValidateAgainstDat(std::int64_t datSize)
{
    if (!outcome.Usable())
        return;
    std::string reason;
    // Offsets rise, so the first block past the end is the one the reason should name.
    for (std::size_t i = 0; i < blocks.size() && reason.empty(); ++i) {
        const CaptureBlock& block = blocks[i];
        if (block.offset + block.length > datSize) {
            reason = "block " + std::to_string(i + 1) + " (offset " + std::to_string(block.offset) + ", " +
                     std::to_string(block.length) + " bytes) ends past the end of the .dat (" +
                     std::to_string(datSize) + " bytes)";
        }
    }
    for (std::size_t i = 0; i < events.size() && reason.empty(); ++i) {
        const CaptureEvent& event = events[i].event;
        const bool hasOffset = event.kind == CaptureEventKind::WriteError || event.kind == CaptureEventKind::WriteResumed;
        if (hasOffset && event.offset > datSize) {
            reason = std::string(EventKindName(event.kind)) + " event at offset " + std::to_string(event.offset) +
                     " lies past the end of the .dat (" + std::to_string(datSize) + " bytes)";
        }
    }
    if (reason.empty())
        return;
    outcome = {ReadStatus::MismatchesDat, "the index does not match its recording: " + reason};
    blocks.clear();
    events.clear();
}
