#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include "ReadOutcome.h"

// Splits a JSON Lines file (or text in memory) into lines, one at a time, holding no
// more than one line and one read chunk: an index of a multi-day run may be hundreds of
// megabytes. A line longer than the cap is passed over up to its end and reported as
// such, never gathered whole.
class CLineReader {
public:
    static constexpr std::size_t kDefaultMaxLineBytes = 64 * 1024;

    enum class Result {
        Line,     // line() holds the next line, without its "\n"
        TooLong,  // the next line exceeds the cap; it was skipped
        End,      // nothing more
        Error,    // the file could not be read (ErrorNumber says why)
    };

    // Over a file the caller opened for reading and closes after use.
    explicit CLineReader(std::FILE* file, std::size_t maxLineBytes = kDefaultMaxLineBytes);
    // Over text that outlives the reader.
    explicit CLineReader(std::string_view text, std::size_t maxLineBytes = kDefaultMaxLineBytes);
    ~CLineReader();
    CLineReader(const CLineReader&) = delete;
    CLineReader& operator=(const CLineReader&) = delete;

    // Opens path for reading when it is a regular file (FopenRegularFileForReading): a
    // FIFO would block at the open and a device might never end. Null otherwise, with outcome Missing or Unreadable and a
    // reason starting with `what` ("the capture index /x/run.dat.idx").
    static std::FILE* OpenRegularFile(const std::string& path, const std::string& what, ReadOutcome& outcome);

    Result Next();
    // The last line read; valid until the next call.
    std::string_view Line() const { return m_view; }
    // Whether that line ended in "\n" (false only for a last line cut off).
    bool Terminated() const { return m_terminated; }
    // Whether that line holds nothing but spaces, tabs or a "\r": an editor's or a
    // copy's trailing blank line says nothing and must not spoil the lines around it.
    bool Blank() const;
    // The number of the last line returned, counting from 1.
    std::size_t LineNumber() const { return m_lineNumber; }
    int ErrorNumber() const { return m_errno; }

private:
    bool Refill();

    std::FILE* m_file = nullptr;
    std::unique_ptr<char[]> m_chunk;
    std::string_view m_window;  // unread bytes of the current chunk (or of the text)
    // The last line: a view into the chunk (or the text) when it lies wholly inside,
    // else into m_line, where a line that spans chunks is gathered.
    std::string_view m_view;
    std::string m_line;
    std::size_t m_maxLineBytes;
    std::size_t m_lineNumber = 0;
    bool m_terminated = true;
    bool m_atEnd = false;
    int m_errno = 0;
};
