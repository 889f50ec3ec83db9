#include "CaptureEvent.h"

#include <utility>

namespace {
struct NamedKind {
    CaptureEventKind kind;
    std::string_view name;
};
constexpr NamedKind kNames[] = {
    {CaptureEventKind::Start, "start"},
    {CaptureEventKind::Stop, "stop"},
    {CaptureEventKind::LinkLost, "link_lost"},
    {CaptureEventKind::LinkBack, "link_back"},
    {CaptureEventKind::Label, "label"},
    {CaptureEventKind::WriteError, "write_error"},
    {CaptureEventKind::WriteResumed, "write_resumed"},
};
}  // namespace

const char* EventKindName(CaptureEventKind kind)
{
    for (const NamedKind& named : kNames) {
        if (named.kind == kind)
            return named.name.data();
    }
    return "start";
}

std::optional<CaptureEventKind> ParseEventKindName(std::string_view name)
{
    for (const NamedKind& named : kNames) {
        if (named.name == name)
            return named.kind;
    }
    return std::nullopt;
}

CaptureEvent CaptureEvent::Of(CaptureEventKind kind)
{
    CaptureEvent event;
    event.kind = kind;
    return event;
}

CaptureEvent CaptureEvent::LinkLost(std::string reason)
{
    CaptureEvent event = Of(CaptureEventKind::LinkLost);
    event.reason = std::move(reason);
    return event;
}

CaptureEvent CaptureEvent::LinkBack(std::string path)
{
    CaptureEvent event = Of(CaptureEventKind::LinkBack);
    event.path = std::move(path);
    return event;
}

CaptureEvent CaptureEvent::Labelled(GroundTruthLabel label)
{
    CaptureEvent event = Of(CaptureEventKind::Label);
    event.label = label;
    return event;
}

CaptureEvent CaptureEvent::WriteError(std::int64_t offset, std::int64_t lost)
{
    CaptureEvent event = Of(CaptureEventKind::WriteError);
    event.offset = offset;
    event.lost = lost;
    return event;
}

CaptureEvent CaptureEvent::WriteResumed(std::int64_t offset)
{
    CaptureEvent event = Of(CaptureEventKind::WriteResumed);
    event.offset = offset;
    return event;
}
