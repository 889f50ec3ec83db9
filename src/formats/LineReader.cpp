#include "LineReader.h"

#include <cerrno>
#include <cstring>

#include "RegularFile.h"

namespace {
constexpr std::size_t kChunkBytes = 64 * 1024;
}  // namespace

CLineReader::CLineReader(std::FILE* file, std::size_t maxLineBytes)
    : m_file(file), m_chunk(std::make_unique<char[]>(kChunkBytes)), m_maxLineBytes(maxLineBytes)
{
    m_line.reserve(maxLineBytes < kChunkBytes ? maxLineBytes : kChunkBytes);
}

CLineReader::CLineReader(std::string_view text, std::size_t maxLineBytes)
    : m_window(text), m_maxLineBytes(maxLineBytes), m_atEnd(true)
{
}

CLineReader::~CLineReader() = default;

std::FILE* CLineReader::OpenRegularFile(const std::string& path, const std::string& what, ReadOutcome& outcome)
{
    std::string reason;
    int error = 0;
    std::FILE* file = FopenRegularFileForReading(path, reason, &error);
    if (file)
        return file;
    if (error == ENOENT)
        outcome = {ReadStatus::Missing, what + " cannot be opened: " + reason};
    else if (error == EINVAL || error == EISDIR)
        outcome = {ReadStatus::Unreadable, what + " is not a regular file"};
    else
        outcome = {ReadStatus::Unreadable, what + " cannot be opened: " + reason};
    return nullptr;
}

bool CLineReader::Blank() const
{
    for (const char c : m_view) {
        if (c != ' ' && c != '\t' && c != '\r')
            return false;
    }
    return true;
}

CLineReader::Result CLineReader::Next()
{
    m_line.clear();
    m_view = {};
    // Nearly every line lies whole inside the chunk: it is handed out where it is.
    if (const std::size_t newline = m_window.find('\n');
        newline != std::string_view::npos && newline <= m_maxLineBytes) {
        m_view = m_window.substr(0, newline);
        m_window.remove_prefix(newline + 1);
        ++m_lineNumber;
        m_terminated = true;
        return Result::Line;
    }
    bool tooLong = false;
    bool sawAnything = false;
    for (;;) {
        if (m_window.empty() && !Refill()) {
            if (m_errno != 0)
                return Result::Error;
            if (!sawAnything)
                return Result::End;
            ++m_lineNumber;
            m_terminated = false;
            m_view = m_line;
            return tooLong ? Result::TooLong : Result::Line;
        }
        sawAnything = true;
        const std::size_t newline = m_window.find('\n');
        const std::string_view piece = m_window.substr(0, newline);
        if (!tooLong) {
            if (m_line.size() + piece.size() > m_maxLineBytes) {
                tooLong = true;
                m_line.clear();
            } else {
                m_line.append(piece);
            }
        }
        if (newline != std::string_view::npos) {
            m_window.remove_prefix(newline + 1);
            ++m_lineNumber;
            m_terminated = true;
            m_view = m_line;
            return tooLong ? Result::TooLong : Result::Line;
        }
        m_window = {};
    }
}

bool CLineReader::Refill()
{
    if (m_atEnd || !m_file)
        return false;
    const std::size_t got = std::fread(m_chunk.get(), 1, kChunkBytes, m_file);
    if (got < kChunkBytes) {
        m_atEnd = true;
        if (std::ferror(m_file))
            m_errno = errno != 0 ? errno : EIO;
    }
    m_window = std::string_view(m_chunk.get(), got);
    return got > 0 && m_errno == 0;
}
