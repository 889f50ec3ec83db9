#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include "CaptureEvent.h"
#include "CaptureHeader.h"

// Writes a run's capture index, `<recording>.dat.idx`: JSON Lines (UTF-8, one object a
// line, "\n"), a header line first, then one line per block the worker delivered and one
// per event, in time order:
//   {"type":"header","format":"tivane-capture-index","version":1,"started_utc":...}
//   {"t":123456,"o":0,"n":64}           t: µs since the run began, o: .dat offset, n: bytes
//   {"t":130001,"event":"link_lost","reason":"device removed"}
//
// A block that arrives within 1 ms of the pending block record and continues it in the
// .dat extends that record instead of making a new line. The pending record goes out
// when a block does not join it, at an event, at Flush and at Close; since the worker
// flushes after every block, merging only happens between two of its flushes.
//
// A failed write never throws: the writer keeps the first error, writes nothing more
// (so the file ends in at most one cut line, which a reader drops), and Close reports it.
//
// Thread: owned and used by the acquisition worker thread only.
class CCaptureIndexWriter {
public:
    static constexpr const char* kFormatName = "tivane-capture-index";
    static constexpr int kFormatVersion = 1;
    // Blocks closer than this to the pending record's time may join it.
    static constexpr std::int64_t kMergeWindowUs = 1000;

    CCaptureIndexWriter() = default;
    ~CCaptureIndexWriter();
    CCaptureIndexWriter(const CCaptureIndexWriter&) = delete;
    CCaptureIndexWriter& operator=(const CCaptureIndexWriter&) = delete;

    // Closes any open index and creates (or empties) datPath + ".idx". False, with
    // Error() set, when it cannot be created; the recording goes on without an index.
    bool Open(const std::string& datPath);
    // The index file's path (also after Close); empty before the first Open.
    const std::string& Path() const { return m_path; }
    bool IsOpen() const { return m_file != nullptr; }

    // The first line; once, before any block or event. A record added before it gets a
    // header with only the format and version, so the file still reads.
    void WriteHeader(const CaptureHeader& header);

    // One block written to the .dat. Times are clamped to never go backwards; an empty
    // block, a negative value or a block overlapping what is already indexed is refused
    // (Error() says so) and nothing is written for it.
    void AddBlock(std::int64_t offset, std::int64_t length, std::int64_t timeUs);

    // One event, written after the pending block record.
    void AddEvent(std::int64_t timeUs, const CaptureEvent& event);

    // Writes the pending block record and hands everything to the system, so a crash of
    // the program loses nothing written so far.
    void Flush();

    // Writes the pending record, flushes and closes. False when anything failed since
    // Open (Error() and ErrorNumber() tell the first failure).
    bool Close();

    bool Failed() const { return !m_error.empty(); }
    // The first failure, as a sentence for the log; empty while all went well.
    const std::string& Error() const { return m_error; }
    // errno of the first failed system call; 0 when the failure was a refused record.
    int ErrorNumber() const { return m_errno; }

private:
    struct PendingBlock {
        std::int64_t timeUs = 0;
        std::int64_t offset = 0;
        std::int64_t length = 0;
    };

    void WritePending();
    void WriteLine(const char* text, std::size_t size);
    void EnsureHeader();
    std::int64_t MonotonicTime(std::int64_t timeUs);
    void FailSystem(const char* what, int error);
    void FailRecord(const std::string& what);

    std::FILE* m_file = nullptr;
    std::unique_ptr<char[]> m_ioBuffer;
    std::string m_path;
    std::string m_line;  // reused for header and event lines
    bool m_headerWritten = false;
    bool m_hasPending = false;
    PendingBlock m_pending;
    std::int64_t m_lastTimeUs = 0;
    std::int64_t m_indexedEnd = 0;  // the end of the last block recorded
    bool m_stopped = false;         // a write failed: nothing more goes to the file
    std::string m_error;
    int m_errno = 0;
};
