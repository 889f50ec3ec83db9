#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Writes the blocks of one run into its raw recording and keeps the recording going
// through write errors: a block that cannot be written (a full disk) loses its
// unwritten rest, and later blocks are written again as soon as the file takes them.
// The diagnostic log gets one line where a gap starts (file offset, bytes lost) and
// one where recording resumes, so a hole is never silent.
//
// Thread: made, used and dropped by the acquisition worker within one run.
class CRawBlockWriter {
public:
    // stream may be null (a run without a recording): then nothing is written. path is
    // the file's name for the log lines; offset is how much the file already holds (a
    // run that goes on after a reconnect).
    CRawBlockWriter(std::FILE* stream, std::string path, long long offset = 0);

    // Appends one block. False when some of it was not recorded.
    bool Write(const std::uint8_t* data, std::size_t size);

    // Bytes in the file so far: the offset the next block starts at.
    long long Offset() const { return m_offset; }
    // Bytes lost in the current gap; 0 while recording works.
    long long LostInGap() const { return m_lostInGap; }
    bool InGap() const { return m_inGap; }

private:
    std::FILE* m_stream;
    std::string m_path;
    long long m_offset = 0;
    long long m_lostInGap = 0;
    bool m_inGap = false;
};
