#include "RecordingDecode.h"
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include "BaseBuffer.h"
#include "RegularFile.h"
#include "ReplayTimeline.h"
#include "ReportCollectingSink.h"
#include "ReportFrameDecoder.h"

namespace {
// A delivery that absorbs a long stretch the index skipped is read in pieces of this;
// the decoder finds the same frames however the bytes are split.
constexpr std::int64_t kPieceBytes = 65536;
// Deliveries between two questions to the progress hook: a few hundred microseconds.
constexpr std::size_t kDeliveriesPerStep = 2048;
}  // namespace

namespace {
// firstOnly: stop at the first valid report.
DecodedRecording Decode(const CReplayTimeline& timeline, std::istream& dat, bool firstOnly,
                        const BlockProgress& progress)
{
    DecodedRecording result;
    std::int64_t position = 0;
    const std::int64_t totalBytes =
        timeline.Size() == 0 ? 0 : timeline.At(timeline.Size() - 1).offset + timeline.At(timeline.Size() - 1).length;
    const auto goOn = [&] {
        if (!progress || progress(position, totalBytes))
            return true;
        result.complete = false;
        result.cancelled = true;
        result.error = "cancelled at byte " + std::to_string(position);
        return false;
    };
    CReportCollectingSink sink(result.reports);
    CReportFrameDecoder decoder(sink);
    sink.Attach(decoder);
    CBaseBuffer reassembly;
    std::vector<char> piece;
    for (std::size_t i = 0; i < timeline.Size(); ++i) {
        if (i % kDeliveriesPerStep == 0 && !goOn())
            return result;
        const ReplayDelivery delivery = timeline.At(i);
        if (delivery.resetReassembly)
            reassembly.Delete();
        sink.SetDeliveryTime(delivery.timeUs);
        for (std::int64_t done = 0; done < delivery.length;) {
            if (done > 0 && !goOn())
                return result;
            const std::int64_t want = std::min(kPieceBytes, delivery.length - done);
            piece.resize(std::size_t(want));
            dat.read(piece.data(), std::streamsize(want));
            const std::int64_t got = dat.gcount();
            position += got;
            done += got;
            if (got > 0 && !reassembly.AppendBuffer(piece.data(), std::size_t(got))) {
                result.complete = false;
                result.error = "out of memory while decoding at byte " + std::to_string(position);
                return result;
            }
            decoder.DecodeReportFrames(reassembly);
            if (firstOnly && !result.reports.empty())
                return result;
            if (got < want) {
                result.complete = false;
                result.error = "the recording ended at byte " + std::to_string(position) + ", before the " +
                               std::to_string(timeline.At(timeline.Size() - 1).offset +
                                              timeline.At(timeline.Size() - 1).length) +
                               " bytes it should hold";
                return result;
            }
        }
    }
    return result;
}
}  // namespace

DecodedRecording DecodeRecording(const CReplayTimeline& timeline, std::istream& dat, const BlockProgress& progress)
{
    return Decode(timeline, dat, false, progress);
}

bool RecordingHasReport(const CReplayTimeline& timeline, const std::string& datPath)
{
    std::ifstream dat(datPath, std::ios::binary);
    return dat && !Decode(timeline, dat, true, {}).reports.empty();
}

DecodedRecording DecodeRecordingFile(const CReplayTimeline& timeline, const std::string& datPath,
                                     const BlockProgress& progress)
{
    // Checked first: a FIFO or device swapped in since the recording was loaded must
    // not hold the decode up.
    const RegularFileOpen checked = OpenRegularFileForReading(datPath);
    if (checked.Opened())
        ::close(checked.fd);
    std::ifstream dat;
    if (checked.Opened())
        dat.open(datPath, std::ios::binary);
    if (!checked.Opened() || !dat) {
        DecodedRecording result;
        result.complete = false;
        result.error = "the recording " + datPath + " cannot be opened";
        return result;
    }
    return DecodeRecording(timeline, dat, progress);
}
