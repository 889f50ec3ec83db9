// A capture index holding any bytes, as found beside a recording after a crash, a copy
// gone wrong or a hand edit. The first two bytes give the size of the .dat it claims to
// describe; the rest is the index text. Promises checked: the reader never accepts an
// index whose times go back or whose blocks overlap, and an index it rejects leaves
// nothing to replay; after the check against the .dat, no block lies past its end; the
// replay timeline hands over every byte of the .dat exactly once, in order, in
// non-empty deliveries whose times never go back; decoding the recording along it reads
// the whole .dat. The same text read as a labels file never breaks its own promises.
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "CaptureIndexReader.h"
#include "FuzzCheck.h"
#include "LabelSummary.h"
#include "LabelsFileReader.h"
#include "RecordingDecode.h"
#include "ReplayTimeline.h"

namespace {

void CheckIndexShape(const CaptureIndex& index)
{
    if (!index.outcome.Usable()) {
        FUZZ_CHECK(!index.outcome.reason.empty());
        FUZZ_CHECK(index.blocks.empty() && index.events.empty());
        return;
    }
    FUZZ_CHECK(index.header.has_value());
    std::int64_t lastTime = 0;
    std::int64_t end = 0;
    for (const CaptureBlock& block : index.blocks) {
        FUZZ_CHECK(block.timeUs >= lastTime && block.offset >= end && block.length > 0);
        lastTime = block.timeUs;
        end = block.offset + block.length;
    }
    std::size_t blocksBefore = 0;
    lastTime = 0;
    for (const TimedCaptureEvent& event : index.events) {
        FUZZ_CHECK(event.timeUs >= lastTime && event.blocksBefore >= blocksBefore);
        FUZZ_CHECK(event.blocksBefore <= index.blocks.size());
        lastTime = event.timeUs;
        blocksBefore = event.blocksBefore;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    // At most 64 KiB of .dat: the fallback-paced rest stays quick to walk.
    const std::int64_t datSize = data[0] | (data[1] << 8);
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

    CaptureIndex index = CCaptureIndexReader::ReadText(text);
    CheckIndexShape(index);
    const bool readable = index.outcome.Usable();
    index.ValidateAgainstDat(datSize);
    CheckIndexShape(index);
    FUZZ_CHECK(!index.outcome.Usable() || index.IndexedBytes() <= datSize);
    FUZZ_CHECK(index.outcome.Usable() || !readable || index.outcome.status == ReadStatus::MismatchesDat);

    const CReplayTimeline timeline(std::move(index), datSize, data[0] % 3 == 0 ? 0 : data[0]);
    std::int64_t covered = 0;
    std::int64_t lastTime = 0;
    for (std::size_t i = 0; i < timeline.Size(); ++i) {
        const ReplayDelivery delivery = timeline.At(i);
        FUZZ_CHECK(delivery.offset == covered && delivery.length > 0 && delivery.timeUs >= lastTime);
        covered += delivery.length;
        lastTime = delivery.timeUs;
    }
    FUZZ_CHECK(covered == datSize);
    FUZZ_CHECK(timeline.EndUs() >= lastTime);

    std::istringstream dat(std::string(std::size_t(datSize), '\xAA'));
    const DecodedRecording decoded = DecodeRecording(timeline, dat);
    FUZZ_CHECK(decoded.complete);

    const LabelsFile labels = ReadLabelsText(text);
    FUZZ_CHECK(labels.outcome.Usable() || labels.changes.empty());
    const LabelSummary summary = SummarizeLabels(decoded.reports, labels.changes, timeline.EndUs());
    for (const LabelTally& tally : summary.tallies)
        FUZZ_CHECK(tally.agreeingUs >= 0 && tally.agreeingUs <= tally.labelledUs);
    return 0;
}
