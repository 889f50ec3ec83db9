#include "CaptureIndexReader.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>
#include <sys/mman.h>
#include <sys/stat.h>
#include "CaptureIndexWriter.h"
#include "DetectionParamsJson.h"
#include "JsonFields.h"
#include "LineReader.h"
#include "UtcTime.h"

namespace {
constexpr std::int64_t kMaxInteger = std::numeric_limits<std::int64_t>::max();
// About 35 years of run time: anything later is not a time the worker wrote, and the
// limit keeps sums of times and report intervals far from overflowing.
constexpr std::int64_t kMaxTimeUs = std::int64_t(1) << 50;
// Real offsets lie within ±14 h; anything beyond a day is not a time zone.
constexpr std::int64_t kMaxUtcOffsetMinutes = 24 * 60;

// The shortest line a block can have, {"t":0,"o":0,"n":1} and its newline: the file's
// size over this bounds the number of blocks.
constexpr std::int64_t kShortestBlockLineBytes = 20;

// The block records' numbers stay below 10^18 in this many digits, so neither one nor
// the sum of an offset and a length can overflow.
constexpr std::size_t kPlainCountDigits = 18;

// A list of many blocks fills page after page, and on a virtual machine every fresh
// page costs a trip to the host: large pages make that one trip per 2 MB. Only the
// whole large pages inside the list are advised; a system without them ignores it.
void AdviseLargePages(void* data, std::size_t bytes)
{
    constexpr std::uintptr_t kLargePage = std::uintptr_t(2) << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kLargePage - 1) & ~(kLargePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kLargePage - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

CaptureIndex Failed(ReadStatus status, std::string reason)
{
    CaptureIndex index;
    index.outcome = {status, std::move(reason)};
    return index;
}

// Steps over literal when the text at p starts with it (its size known here, so the
// comparison is a few instructions).
template <std::size_t N>
bool SkipLiteral(const char*& p, const char* end, const char (&literal)[N])
{
    constexpr std::size_t size = N - 1;
    if (std::size_t(end - p) < size || std::memcmp(p, literal, size) != 0)
        return false;
    p += size;
    return true;
}

bool IsDecimalDigit(char c)
{
    return static_cast<unsigned char>(c - '0') < 10;
}

// A number as the writer puts it: decimal digits, no sign, no leading zero, at most
// kPlainCountDigits of them.
bool ReadPlainCount(const char*& p, const char* end, std::int64_t& value)
{
    const char* const start = p;
    const char* const limit = std::size_t(end - start) > kPlainCountDigits ? start + kPlainCountDigits : end;
    std::int64_t read = 0;
    while (p != limit && IsDecimalDigit(*p)) {
        read = read * 10 + (*p - '0');
        ++p;
    }
    const bool tooLong = p != end && IsDecimalDigit(*p);
    if (p == start || tooLong || (p - start > 1 && *start == '0'))
        return false;
    value = read;
    return true;
}

// A block record exactly as the writer makes it, {"t":T,"o":O,"n":N}, read straight off
// the line: nearly every line of an index is one. Anything else, a space or another
// order included, is left to the JSON parser, which judges it as before; this accepts
// only text that parser reads to the same three values.
bool ReadWritersBlockRecord(std::string_view line, CaptureBlock& block)
{
    const char* p = line.data();
    const char* const end = p + line.size();
    return SkipLiteral(p, end, "{\"t\":") && ReadPlainCount(p, end, block.timeUs) &&
           SkipLiteral(p, end, ",\"o\":") && ReadPlainCount(p, end, block.offset) &&
           SkipLiteral(p, end, ",\"n\":") && ReadPlainCount(p, end, block.length) && SkipLiteral(p, end, "}") &&
           p == end;
}
}  // namespace

CaptureIndex CCaptureIndexReader::ReadFile(const std::string& path, std::int64_t maxFileBytes)
{
    CaptureIndex index;
    std::FILE* file = CLineReader::OpenRegularFile(path, "the capture index " + path, index.outcome);
    if (!file)
        return index;
    struct stat info {};
    if (fstat(fileno(file), &info) == 0 && std::int64_t(info.st_size) > maxFileBytes) {
        std::fclose(file);
        return Failed(ReadStatus::Unreadable, "the capture index " + path + " holds " + std::to_string(info.st_size) +
                                                  " bytes, more than the " + std::to_string(maxFileBytes) +
                                                  " a replay reads");
    }
    CLineReader lines(file);
    CCaptureIndexReader reader;
    reader.ReserveFor(std::int64_t(info.st_size));
    index = reader.Read(lines);
    std::fclose(file);
    return index;
}

CaptureIndex CCaptureIndexReader::ReadText(std::string_view text)
{
    CLineReader lines(text);
    CCaptureIndexReader reader;
    reader.ReserveFor(std::int64_t(text.size()));
    return reader.Read(lines);
}

void CCaptureIndexReader::ReserveFor(std::int64_t bytes)
{
    // Room for as many blocks as the bytes can hold, taken at once: growing the list
    // step by step copies it and touches twice its memory, and fresh pages are much of
    // the reading's cost. Pages no block reaches stay untouched and cost nothing.
    if (bytes <= 0)
        return;
    try {
        m_index.blocks.reserve(std::size_t(bytes / kShortestBlockLineBytes + 1));
    } catch (const std::exception&) {
        // Not enough address space for the bound: the list grows as it needs instead.
        return;
    }
    AdviseLargePages(m_index.blocks.data(), m_index.blocks.capacity() * sizeof(CaptureBlock));
}

CaptureIndex CCaptureIndexReader::Read(CLineReader& lines)
{
    std::string error;
    for (;;) {
        const CLineReader::Result result = lines.Next();
        if (result == CLineReader::Result::End)
            break;
        // Made only for a fault: a sound line costs no allocation here.
        const auto at = [&lines] { return "line " + std::to_string(lines.LineNumber()) + ": "; };
        if (result == CLineReader::Result::Error) {
            error = "cannot be read: " + std::string(std::strerror(lines.ErrorNumber()));
            m_index.outcome.status = ReadStatus::Unreadable;
        } else if (result == CLineReader::Result::TooLong) {
            error = at() + "longer than " + std::to_string(CLineReader::kDefaultMaxLineBytes / 1024) + " KiB";
        } else if (CaptureBlock block; m_index.header && ReadWritersBlockRecord(lines.Line(), block) &&
                                       block.timeUs <= kMaxTimeUs && block.length >= 1) {
            // Values the general path would refuse go that way, for its reason.
            if (!TakeTime(block.timeUs, error) || !AddBlock(block, error))
                error = at() + error;
        } else if (lines.Blank()) {
            continue;
        } else if (!m_json.Parse(lines.Line())) {
            if (!lines.Terminated()) {
                // A crash while the line was written: what came before is whole.
                m_index.outcome = {ReadStatus::LastLineCut,
                                   "the last line (" + std::to_string(lines.LineNumber()) + ") was cut off and is left out"};
                break;
            }
            error = at() + m_json.Error();
        } else if (!TakeRecord(error)) {
            error = at() + error;
        }
        if (!error.empty())
            break;
    }
    if (error.empty() && !m_index.header) {
        error = lines.LineNumber() == 0 ? "the index is empty" : "line 1: the header line is missing";
        if (m_index.outcome.status == ReadStatus::LastLineCut)
            error = "line 1: the header line was cut off";
    }
    if (!error.empty()) {
        const bool unreadable = m_index.outcome.status == ReadStatus::Unreadable;
        m_index.outcome = {unreadable ? ReadStatus::Unreadable : ReadStatus::Corrupt,
                           (unreadable ? "the capture index " : "the capture index is corrupt: ") + error};
        m_index.blocks.clear();
        m_index.blocks.shrink_to_fit();
        m_index.events.clear();
    }
    return std::move(m_index);
}

bool CCaptureIndexReader::TakeRecord(std::string& error)
{
    if (const JsonMember* type = m_json.Find("type")) {
        if (type->type != JsonType::String) {
            error = "\"type\" is not a string";
            return false;
        }
        if (type->text == "header") {
            if (m_index.header) {
                error = "a second header";
                return false;
            }
            return TakeHeader(error);
        }
        if (!m_index.header) {
            error = "the first line is not the header";
            return false;
        }
        return true;  // a record type of a later version
    }
    if (!m_index.header) {
        error = "the first line is not the header";
        return false;
    }
    std::int64_t timeUs = 0;
    if (!ReadIntegerField(m_json, "t", true, 0, kMaxTimeUs, timeUs, error) || !TakeTime(timeUs, error))
        return false;
    return m_json.Find("event") ? TakeEvent(timeUs, error) : TakeBlock(timeUs, error);
}

bool CCaptureIndexReader::TakeTime(std::int64_t timeUs, std::string& error)
{
    if (timeUs < m_lastTimeUs) {
        error = "time goes backwards (" + std::to_string(timeUs) + " us after " + std::to_string(m_lastTimeUs) + " us)";
        return false;
    }
    m_lastTimeUs = timeUs;
    return true;
}

bool CCaptureIndexReader::TakeHeader(std::string& error)
{
    std::string format;
    std::int64_t version = 0;
    if (!ReadStringField(m_json, "format", true, format, error))
        return false;
    if (format != CCaptureIndexWriter::kFormatName) {
        error = "not a capture index (format \"" + format + "\")";
        return false;
    }
    if (!ReadIntegerField(m_json, "version", true, std::numeric_limits<std::int64_t>::min(), kMaxInteger, version,
                          error))
        return false;
    if (version != CCaptureIndexWriter::kFormatVersion) {
        error = "version " + std::to_string(version) + " is not known (this build reads version " +
                std::to_string(CCaptureIndexWriter::kFormatVersion) + ")";
        return false;
    }
    CaptureHeader header;
    const bool fieldsRead =
        ReadStringField(m_json, "started_utc", false, header.startedUtc, error) &&
        ReadIntegerField(m_json, "utc_offset_min", false, -kMaxUtcOffsetMinutes, kMaxUtcOffsetMinutes,
                         header.utcOffsetMinutes, error) &&
        ReadStringField(m_json, "port", false, header.port, error) &&
        ReadStringField(m_json, "identity", false, header.identity, error) &&
        ReadIntegerField(m_json, "baud", false, 0, kMaxInteger, header.baud, error) &&
        ReadIntegerField(m_json, "report_time_ms", false, 0, kMaxInteger, header.reportTimeMs, error) &&
        ReadStringField(m_json, "firmware", false, header.firmware, error) &&
        ReadStringField(m_json, "tool_version", false, header.toolVersion, error);
    if (!fieldsRead)
        return false;
    if (!header.startedUtc.empty() && !ParseUtcTimestampMs(header.startedUtc)) {
        error = "\"started_utc\" is not a UTC time like 2026-12-10T11:53:21.123Z";
        return false;
    }
    if (const JsonMember* parameters = m_json.Find("parameters")) {
        if (parameters->type != JsonType::Object) {
            error = "\"parameters\" is not an object";
            return false;
        }
        if (!ReadParametersJson(m_json.Children(*parameters), header.parameters, error))
            return false;
        header.hasParameters = true;
    }
    m_index.header = std::move(header);
    return true;
}

bool CCaptureIndexReader::TakeBlock(std::int64_t timeUs, std::string& error)
{
    CaptureBlock block{timeUs, 0, 0};
    return ReadIntegerField(m_json, "o", true, 0, kMaxInteger, block.offset, error) &&
           ReadIntegerField(m_json, "n", true, 1, kMaxInteger - block.offset, block.length, error) &&
           AddBlock(block, error);
}

bool CCaptureIndexReader::AddBlock(const CaptureBlock& block, std::string& error)
{
    const std::int64_t indexedEnd = m_index.IndexedBytes();
    if (block.offset < indexedEnd) {
        error = "the block at offset " + std::to_string(block.offset) + " overlaps the one before (which ends at " +
                std::to_string(indexedEnd) + ")";
        return false;
    }
    m_index.blocks.push_back(block);
    return true;
}

bool CCaptureIndexReader::TakeEvent(std::int64_t timeUs, std::string& error)
{
    std::string name;
    if (!ReadStringField(m_json, "event", true, name, error))
        return false;
    const std::optional<CaptureEventKind> kind = ParseEventKindName(name);
    if (!kind)
        return true;  // an event of a later version
    TimedCaptureEvent timed{timeUs, m_index.blocks.size(), {}};
    CaptureEvent& event = timed.event;
    event.kind = *kind;
    bool read = true;
    switch (event.kind) {
    case CaptureEventKind::LinkLost:
        read = ReadStringField(m_json, "reason", false, event.reason, error);
        break;
    case CaptureEventKind::LinkBack:
        read = ReadStringField(m_json, "path", false, event.path, error);
        break;
    case CaptureEventKind::Label: {
        std::string label;
        read = ReadStringField(m_json, "label", true, label, error);
        const std::optional<GroundTruthLabel> parsed = ParseLabelName(label);
        if (read && !parsed) {
            error = "unknown label \"" + label + "\"";
            read = false;
        }
        event.label = parsed.value_or(GroundTruthLabel::Off);
        break;
    }
    case CaptureEventKind::WriteError:
        read = ReadIntegerField(m_json, "offset", true, 0, kMaxInteger, event.offset, error) &&
               ReadIntegerField(m_json, "lost", true, 0, kMaxInteger, event.lost, error);
        break;
    case CaptureEventKind::WriteResumed:
        read = ReadIntegerField(m_json, "offset", true, 0, kMaxInteger, event.offset, error);
        break;
    case CaptureEventKind::Start:
    case CaptureEventKind::Stop:
        break;
    }
    if (read)
        m_index.events.push_back(std::move(timed));
    return read;
}
