// Command and reply frames over any bytes, in pieces of any size: the device
// library's reply scanner on one side, the simulated module's command receiver on
// the other (which also reports with whatever parameters the commands set). Every
// frame the scanner hands out must be a well-formed frame that occurs in the stream,
// in order; what it holds back stays bounded and is the stream's tail. Every reply
// the module sends must scan back as a reply.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "CommandFrame.h"
#include "CommandFrameScanner.h"
#include "FuzzCheck.h"
#include "ModuleProtocol.h"
#include "SimulatedModule.h"

using namespace ModuleProtocol;

namespace {

// Longest a scanner may hold while no frame is complete: one frame of the largest
// length, less its last byte.
constexpr std::size_t kMostHeldBytes = kFrameOverhead + kMaxFrameLength - 1;

// Checks frame against the stream and moves `from` past where it occurs.
void CheckFrameInStream(const CommandFrame& frame, const std::vector<std::uint8_t>& stream, std::size_t& from)
{
    FUZZ_CHECK(frame.payload.size() <= kMaxPayloadSize);
    const std::vector<std::uint8_t> bytes = EncodeCommandFrame(frame.word, frame.payload.data(), frame.payload.size());
    FUZZ_CHECK(!bytes.empty());
    const auto at = std::search(stream.begin() + std::ptrdiff_t(from), stream.end(), bytes.begin(), bytes.end());
    FUZZ_CHECK(at != stream.end());
    from = std::size_t(at - stream.begin()) + bytes.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    CCommandFrameScanner scanner;
    std::vector<std::uint8_t> stream;
    std::size_t matchedUpTo = 0;
    std::size_t framesFound = 0;

    CSimulatedModule module;
    std::int64_t moduleClockMs = 0;
    CCommandFrameScanner replies;
    std::size_t repliesFound = 0;

    while (input.remaining_bytes() > 0) {
        const std::vector<std::uint8_t> piece =
            input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 1100));
        stream.insert(stream.end(), piece.begin(), piece.end());

        scanner.Append(piece.data(), piece.size());
        while (auto frame = scanner.Next()) {
            CheckFrameInStream(*frame, stream, matchedUpTo);
            ++framesFound;
        }
        FUZZ_CHECK(scanner.BufferedSize() <= kMostHeldBytes);

        std::vector<std::uint8_t> out;
        module.ReceiveFromHost(piece.data(), piece.size(), out);
        // Reports from the parameters the commands may have set, between the replies.
        moduleClockMs += input.ConsumeIntegralInRange<std::int64_t>(0, 500);
        module.AdvanceTo(moduleClockMs, out);
        replies.Append(out.data(), out.size());
        while (auto reply = replies.Next()) {
            FUZZ_CHECK((reply->word & kReplyFlag) != 0);
            FUZZ_CHECK(reply->payload.size() >= 2);
            ++repliesFound;
        }
    }

    const std::vector<std::uint8_t> rest = scanner.TakeRemainder();
    FUZZ_CHECK(scanner.BufferedSize() == 0);
    FUZZ_CHECK(rest.size() <= stream.size() - std::min(matchedUpTo, stream.size()));
    FUZZ_CHECK(std::equal(rest.begin(), rest.end(), stream.end() - std::ptrdiff_t(rest.size())));
    // The module receives the same pieces through the same scanner and answers every
    // frame; its replies (and the report behind a reply that ends command mode) must
    // all scan back.
    FUZZ_CHECK(repliesFound == framesFound);
    return 0;
}
