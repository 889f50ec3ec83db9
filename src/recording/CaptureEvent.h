#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include "GroundTruthLabel.h"

// Things that happen during a run besides the module's bytes, recorded in the capture
// index in time order among the blocks.
enum class CaptureEventKind { Start, Stop, LinkLost, LinkBack, Label, WriteError, WriteResumed };

// The event's name in the capture index ("start", "link_lost", ...).
const char* EventKindName(CaptureEventKind kind);
// The kind named exactly so; none for any other text.
std::optional<CaptureEventKind> ParseEventKindName(std::string_view name);

// One event; only the fields of its kind mean anything.
struct CaptureEvent {
    CaptureEventKind kind = CaptureEventKind::Start;
    GroundTruthLabel label = GroundTruthLabel::Off;  // Label
    std::string reason;                              // LinkLost: why the link went
    std::string path;                                // LinkBack: the device path it came back under
    std::int64_t offset = 0;                         // WriteError, WriteResumed: .dat offset
    std::int64_t lost = 0;                           // WriteError: bytes the .dat did not take

    static CaptureEvent Start() { return {}; }
    static CaptureEvent Stop() { return Of(CaptureEventKind::Stop); }
    static CaptureEvent LinkLost(std::string reason);
    static CaptureEvent LinkBack(std::string path);
    static CaptureEvent Labelled(GroundTruthLabel label);
    static CaptureEvent WriteError(std::int64_t offset, std::int64_t lost);
    static CaptureEvent WriteResumed(std::int64_t offset);

    bool operator==(const CaptureEvent&) const = default;

private:
    static CaptureEvent Of(CaptureEventKind kind);
};

// An event as read back from an index: when, and how many blocks came before it in the
// file (so a replay puts it between the same two blocks even when their times are equal).
struct TimedCaptureEvent {
    std::int64_t timeUs = 0;
    std::size_t blocksBefore = 0;
    CaptureEvent event;
    bool operator==(const TimedCaptureEvent&) const = default;
};
