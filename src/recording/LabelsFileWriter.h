#pragma once
#include <cstdio>
#include <string>
#include "GroundTruthLabel.h"

// Appends the labels an operator sets while replaying a recording to
// `<recording>.dat.labels`, one JSON line per change, {"t":1500000,"label":"moving"}
// (t: µs of replay time since the run began). Replays never touch the .dat or its
// index. Each line is flushed at once, so a crash loses at most the line being written.
// When the file is opened again, a last line that is whole but lacks its "\n" gets one
// (a label is never glued to it), and a line cut by an earlier crash is removed, so
// later lines never follow a broken one.
//
// Thread: one owner at a time (the window's).
class CLabelsFileWriter {
public:
    CLabelsFileWriter() = default;
    ~CLabelsFileWriter();
    CLabelsFileWriter(const CLabelsFileWriter&) = delete;
    CLabelsFileWriter& operator=(const CLabelsFileWriter&) = delete;

    // Opens datPath + ".labels" for appending (creating it). False with Error() set
    // when it cannot be opened or repaired.
    bool Open(const std::string& datPath);
    const std::string& Path() const { return m_path; }
    bool IsOpen() const { return m_file != nullptr; }

    // Appends one change and flushes it. False with Error() set when it was not written
    // whole; a negative time is refused.
    bool Append(const LabelChange& change);

    // False when closing lost something.
    bool Close();

    const std::string& Error() const { return m_error; }

private:
    // Ends the last line or drops it when a crash cut it; leaves the file at its end.
    bool EndLastLine();
    // Whether the bytes from `from` to `size` are a line the reader would take whole.
    bool TailIsWholeLine(long from, long size);
    bool Fail(const char* what, int error);

    std::FILE* m_file = nullptr;
    std::string m_path;
    std::string m_error;
};
