#include "CaptureIndexWriter.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <string_view>
#include <stdio_ext.h>
#include "DetectionParamsJson.h"
#include "GroundTruthLabel.h"
#include "JsonText.h"

namespace {
// Enough for a few hundred block lines between two flushes, small for a worker's cache.
constexpr std::size_t kIoBufferBytes = 16384;

// The longest decimal int64, "-9223372036854775808".
constexpr std::size_t kMaxIntegerChars = 20;

char* AppendKeyAndInteger(char* out, std::string_view key, std::int64_t value)
{
    out = std::copy(key.begin(), key.end(), out);
    return std::to_chars(out, out + kMaxIntegerChars, value).ptr;
}
}  // namespace

CCaptureIndexWriter::~CCaptureIndexWriter()
{
    Close();
}

bool CCaptureIndexWriter::Open(const std::string& datPath)
{
    Close();
    m_path = datPath + ".idx";
    m_headerWritten = false;
    m_hasPending = false;
    m_lastTimeUs = 0;
    m_indexedEnd = 0;
    m_stopped = false;
    m_error.clear();
    m_errno = 0;
    // "e": the descriptor is not inherited by programs the tool starts.
    m_file = std::fopen(m_path.c_str(), "we");
    if (!m_file) {
        FailSystem("cannot be created", errno);
        return false;
    }
    if (!m_ioBuffer)
        m_ioBuffer = std::make_unique<char[]>(kIoBufferBytes);
    std::setvbuf(m_file, m_ioBuffer.get(), _IOFBF, kIoBufferBytes);
    return true;
}

void CCaptureIndexWriter::WriteHeader(const CaptureHeader& header)
{
    if (!m_file)
        return;
    if (m_headerWritten) {
        FailRecord("a second header was refused");
        return;
    }
    m_headerWritten = true;
    std::string& line = m_line;
    line.assign("{\"type\":\"header\",\"format\":\"");
    line += kFormatName;
    line += "\",\"version\":";
    AppendJsonInteger(line, kFormatVersion);
    line += ",\"started_utc\":";
    AppendJsonString(line, header.startedUtc);
    line += ",\"utc_offset_min\":";
    AppendJsonInteger(line, header.utcOffsetMinutes);
    line += ",\"port\":";
    AppendJsonString(line, header.port);
    line += ",\"identity\":";
    AppendJsonString(line, header.identity);
    line += ",\"baud\":";
    AppendJsonInteger(line, header.baud);
    line += ",\"report_time_ms\":";
    AppendJsonInteger(line, header.reportTimeMs);
    line += ",\"firmware\":";
    AppendJsonString(line, header.firmware);
    line += ",\"tool_version\":";
    AppendJsonString(line, header.toolVersion);
    if (header.hasParameters) {
        line += ",\"parameters\":";
        AppendParametersJson(line, header.parameters);
    }
    line += "}\n";
    WriteLine(line.data(), line.size());
}

void CCaptureIndexWriter::AddBlock(std::int64_t offset, std::int64_t length, std::int64_t timeUs)
{
    if (!m_file)
        return;
    if (length <= 0 || offset < 0 || timeUs < 0) {
        FailRecord("a block with a negative or empty value was refused (offset " + std::to_string(offset) +
                   ", length " + std::to_string(length) + ", time " + std::to_string(timeUs) + " us)");
        return;
    }
    if (offset < m_indexedEnd) {
        FailRecord("a block at offset " + std::to_string(offset) + " overlapping the indexed bytes up to " +
                   std::to_string(m_indexedEnd) + " was refused");
        return;
    }
    EnsureHeader();
    timeUs = MonotonicTime(timeUs);
    m_indexedEnd = offset + length;
    const bool joins = m_hasPending && timeUs - m_pending.timeUs <= kMergeWindowUs &&
                       offset == m_pending.offset + m_pending.length;
    if (joins) {
        m_pending.length += length;
        return;
    }
    WritePending();
    m_pending = {timeUs, offset, length};
    m_hasPending = true;
}

void CCaptureIndexWriter::AddEvent(std::int64_t timeUs, const CaptureEvent& event)
{
    if (!m_file)
        return;
    EnsureHeader();
    WritePending();
    timeUs = MonotonicTime(timeUs < 0 ? 0 : timeUs);
    std::string& line = m_line;
    line.assign("{\"t\":");
    AppendJsonInteger(line, timeUs);
    line += ",\"event\":\"";
    line += EventKindName(event.kind);
    line += '"';
    switch (event.kind) {
    case CaptureEventKind::LinkLost:
        line += ",\"reason\":";
        AppendJsonString(line, event.reason);
        break;
    case CaptureEventKind::LinkBack:
        line += ",\"path\":";
        AppendJsonString(line, event.path);
        break;
    case CaptureEventKind::Label:
        line += ",\"label\":\"";
        line += LabelName(event.label);
        line += '"';
        break;
    case CaptureEventKind::WriteError:
        line += ",\"offset\":";
        AppendJsonInteger(line, event.offset);
        line += ",\"lost\":";
        AppendJsonInteger(line, event.lost);
        break;
    case CaptureEventKind::WriteResumed:
        line += ",\"offset\":";
        AppendJsonInteger(line, event.offset);
        break;
    case CaptureEventKind::Start:
    case CaptureEventKind::Stop:
        break;
    }
    line += "}\n";
    WriteLine(line.data(), line.size());
}

void CCaptureIndexWriter::Flush()
{
    if (!m_file)
        return;
    WritePending();
    if (!m_stopped && std::fflush(m_file) != 0)
        FailSystem("could not be written", errno);
}

bool CCaptureIndexWriter::Close()
{
    if (!m_file)
        return !Failed();
    Flush();
    if (m_stopped) {
        // What the failed flush left in the buffer must not land after a cut line.
        __fpurge(m_file);
    }
    if (std::fclose(m_file) != 0)
        FailSystem("could not be closed", errno);
    m_file = nullptr;
    return !Failed();
}

void CCaptureIndexWriter::WritePending()
{
    if (!m_hasPending)
        return;
    m_hasPending = false;
    // The hot path: no allocation, no locale, one fwrite into the stream's buffer.
    char line[3 * (5 + kMaxIntegerChars) + 2];
    char* p = AppendKeyAndInteger(line, "{\"t\":", m_pending.timeUs);
    p = AppendKeyAndInteger(p, ",\"o\":", m_pending.offset);
    p = AppendKeyAndInteger(p, ",\"n\":", m_pending.length);
    *p++ = '}';
    *p++ = '\n';
    WriteLine(line, std::size_t(p - line));
}

void CCaptureIndexWriter::WriteLine(const char* text, std::size_t size)
{
    if (m_stopped)
        return;
    if (std::fwrite(text, 1, size, m_file) != size)
        FailSystem("could not be written", errno);
}

void CCaptureIndexWriter::EnsureHeader()
{
    if (m_headerWritten)
        return;
    m_headerWritten = true;
    std::string& line = m_line;
    line.assign("{\"type\":\"header\",\"format\":\"");
    line += kFormatName;
    line += "\",\"version\":";
    AppendJsonInteger(line, kFormatVersion);
    line += "}\n";
    WriteLine(line.data(), line.size());
}

std::int64_t CCaptureIndexWriter::MonotonicTime(std::int64_t timeUs)
{
    if (timeUs < m_lastTimeUs)
        timeUs = m_lastTimeUs;
    m_lastTimeUs = timeUs;
    return timeUs;
}

void CCaptureIndexWriter::FailSystem(const char* what, int error)
{
    m_stopped = true;
    if (!m_error.empty())
        return;
    m_errno = error;
    m_error = "the capture index " + m_path + " " + what + ": " + (error ? std::strerror(error) : "unknown error");
}

void CCaptureIndexWriter::FailRecord(const std::string& what)
{
    if (m_error.empty())
        m_error = "the capture index " + m_path + ": " + what;
}
