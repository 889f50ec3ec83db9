#include "CaptureIndexReader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
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

CaptureIndex Failed(ReadStatus status, std::string reason)
{
    CaptureIndex index;
    index.outcome = {status, std::move(reason)};
    return index;
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
    index = reader.Read(lines);
    std::fclose(file);
    return index;
}

CaptureIndex CCaptureIndexReader::ReadText(std::string_view text)
{
    CLineReader lines(text);
    CCaptureIndexReader reader;
    return reader.Read(lines);
}

CaptureIndex CCaptureIndexReader::Read(CLineReader& lines)
{
    std::string error;
    for (;;) {
        const CLineReader::Result result = lines.Next();
        if (result == CLineReader::Result::End)
            break;
        const std::string at = "line " + std::to_string(lines.LineNumber()) + ": ";
        if (result == CLineReader::Result::Error) {
            error = "cannot be read: " + std::string(std::strerror(lines.ErrorNumber()));
            m_index.outcome.status = ReadStatus::Unreadable;
        } else if (result == CLineReader::Result::TooLong) {
            error = at + "longer than " + std::to_string(CLineReader::kDefaultMaxLineBytes / 1024) + " KiB";
        } else if (lines.Blank()) {
            continue;
        } else if (!m_json.Parse(lines.Line())) {
            if (!lines.Terminated()) {
                // A crash while the line was written: what came before is whole.
                m_index.outcome = {ReadStatus::LastLineCut,
                                   "the last line (" + std::to_string(lines.LineNumber()) + ") was cut off and is left out"};
                break;
            }
            error = at + m_json.Error();
        } else if (!TakeRecord(error)) {
            error = at + error;
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
    if (!ReadIntegerField(m_json, "t", true, 0, kMaxTimeUs, timeUs, error))
        return false;
    if (timeUs < m_lastTimeUs) {
        error = "time goes backwards (" + std::to_string(timeUs) + " us after " + std::to_string(m_lastTimeUs) + " us)";
        return false;
    }
    m_lastTimeUs = timeUs;
    return m_json.Find("event") ? TakeEvent(timeUs, error) : TakeBlock(timeUs, error);
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
    if (!ReadIntegerField(m_json, "o", true, 0, kMaxInteger, block.offset, error) ||
        !ReadIntegerField(m_json, "n", true, 1, kMaxInteger - block.offset, block.length, error))
        return false;
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
