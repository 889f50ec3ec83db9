#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include "CaptureIndex.h"
#include "JsonObjectLine.h"

class CLineReader;

// Reads a capture index (see CCaptureIndexWriter for the format). Never throws and
// never trusts the input: the outcome says Ok, LastLineCut (the last line was cut off
// in a crash and is left out), Missing, Unreadable or Corrupt, with the line number of
// the first fault. Keys it does not know are ignored, as are lines whose "type" or
// "event" a later version may add, and blank lines.
class CCaptureIndexReader {
public:
    // Larger indexes are refused rather than held in memory (about 40 million blocks).
    static constexpr std::int64_t kDefaultMaxFileBytes = std::int64_t(1) << 30;

    // The index at path, read line by line.
    static CaptureIndex ReadFile(const std::string& path, std::int64_t maxFileBytes = kDefaultMaxFileBytes);
    // The index held in text.
    static CaptureIndex ReadText(std::string_view text);

private:
    CCaptureIndexReader() = default;
    // Sizes the block list for an index of this many bytes.
    void ReserveFor(std::int64_t bytes);
    CaptureIndex Read(CLineReader& lines);
    // One parsed line into the index; false with error saying what is wrong with it.
    bool TakeRecord(std::string& error);
    bool TakeHeader(std::string& error);
    bool TakeBlock(std::int64_t timeUs, std::string& error);
    // A record's time, which must not go back; a block whose values are in range.
    bool TakeTime(std::int64_t timeUs, std::string& error);
    bool AddBlock(const CaptureBlock& block, std::string& error);
    bool TakeEvent(std::int64_t timeUs, std::string& error);

    CaptureIndex m_index;
    CJsonObjectLine m_json;
    std::int64_t m_lastTimeUs = 0;
};
