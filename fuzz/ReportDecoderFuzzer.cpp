// The report frame decoder over any bytes, handed over in pieces of any size, as the
// acquisition worker does with whatever each serial read returns. The pieces must not
// matter: the frames reported are exactly those of one pass over the whole stream, the
// history the chart gets ends with the reported distance, and the decoder keeps no
// more than the six bytes that may still start a frame, unchanged.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "BaseBuffer.h"
#include "FuzzCheck.h"
#include "IReportSink.h"
#include "ReportFrameDecoder.h"

namespace {

struct Report {
    std::int32_t state = 0;
    std::int32_t distance = 0;
    bool operator==(const Report&) const = default;
};

// The frames of a stream by the frame's definition: AA AA, three bytes, 55 55.
std::vector<Report> ScanWholeStream(const std::vector<std::uint8_t>& stream)
{
    std::vector<Report> reports;
    std::size_t p = 0;
    while (p + 7 <= stream.size()) {
        const std::uint8_t* f = &stream[p];
        if (f[0] == 0xAA && f[1] == 0xAA && f[5] == 0x55 && f[6] == 0x55) {
            reports.push_back({f[2], f[3] | (f[4] << 8)});
            p += 7;
        } else {
            ++p;
        }
    }
    return reports;
}

class RecordingSink : public IReportSink {
public:
    CReportFrameDecoder* decoder = nullptr;
    std::int32_t historyLength = 0;
    std::vector<Report> reports;
    std::size_t feeds = 0;

    void PostRadarReport() override { reports.push_back({decoder->GetState(), decoder->GetDistance()}); }

    void FeedChart(const std::int32_t* history, std::int32_t length) override
    {
        FUZZ_CHECK(length == historyLength);
        FUZZ_CHECK(history[length - 1] == decoder->GetDistance());
        ++feeds;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    RecordingSink sink;
    CReportFrameDecoder decoder(sink);
    sink.decoder = &decoder;
    sink.historyLength = input.ConsumeIntegralInRange<std::int32_t>(0, 8);
    decoder.GetHistory().Replace(sink.historyLength);

    std::vector<std::uint8_t> stream;
    CBaseBuffer pending;
    while (input.remaining_bytes() > 0) {
        const std::vector<std::uint8_t> piece = input.ConsumeBytes<std::uint8_t>(
            input.ConsumeIntegralInRange<std::size_t>(0, 64));
        stream.insert(stream.end(), piece.begin(), piece.end());
        FUZZ_CHECK(pending.AppendBuffer(piece.data(), piece.size()));
        decoder.DecodeReportFrames(pending);

        const std::size_t kept = pending.GetAvailSize();
        FUZZ_CHECK(kept < std::size_t(CReportFrameDecoder::kFrameSize));
        FUZZ_CHECK(kept <= stream.size());
        FUZZ_CHECK(kept == 0 || std::equal(stream.end() - std::ptrdiff_t(kept), stream.end(), pending.GetBuffer()));
    }

    FUZZ_CHECK(sink.reports == ScanWholeStream(stream));
    FUZZ_CHECK(sink.feeds == (sink.historyLength > 0 ? sink.reports.size() : 0));
    return 0;
}
