#include "RawBlockWriter.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "DbgOutput.h"
#include "WriteAll.h"

namespace {
// Above the frame lines (level 2), so the notes are kept when the log is set to errors only.
constexpr int kRecordingNoteLevel = 1;
}  // namespace

CRawBlockWriter::CRawBlockWriter(std::FILE* stream, std::string path, long long offset)
    : m_stream(stream), m_path(std::move(path)), m_offset(offset)
{
}

bool CRawBlockWriter::Write(const std::uint8_t* data, std::size_t size)
{
    if (!m_stream || size == 0)
        return m_stream != nullptr;
    // The error indicator of an earlier failure would make every later block count as
    // failed too; each block gets its own try.
    std::clearerr(m_stream);
    errno = 0;
    const std::size_t written = WriteAll(m_stream, data, size);
    // Into the system at once: a crash of the program then loses nothing recorded.
    const bool flushed = std::fflush(m_stream) == 0;
    const int error = errno;
    const long long before = m_offset;
    m_offset += static_cast<long long>(written);
    if (written == size && flushed) {
        if (m_inGap) {
            DbgOutputA(kRecordingNoteLevel, "The raw recording resumed at offset %lld: %s (%lld bytes lost)\r\n",
                       before, m_path.c_str(), m_lostInGap);
            m_inGap = false;
            m_lostInGap = 0;
        }
        return true;
    }
    const long long lost = static_cast<long long>(size - written);
    if (!m_inGap) {
        DbgOutputA(kRecordingNoteLevel, "The raw recording failed at offset %lld: %s: %s (%lld bytes lost)\r\n",
                   m_offset, m_path.c_str(), error ? std::strerror(error) : "write failed", lost);
        m_inGap = true;
    }
    m_lostInGap += lost;
    return false;
}
