#pragma once
#include <string>

// How reading one of the tool's JSON Lines files went (a recording's capture index or
// labels).
enum class ReadStatus {
    Ok,
    LastLineCut,    // usable: the last line was cut off (a crash mid-write) and was dropped
    Missing,        // no such file: a recording made without one
    Unreadable,     // the file exists but could not be read, or is too large
    Corrupt,        // not what the tool writes; reason names the line
    MismatchesDat,  // well formed, but describes bytes the .dat does not have
};

// The status with a sentence for the operator or the log saying why (empty when Ok).
struct ReadOutcome {
    ReadStatus status = ReadStatus::Ok;
    std::string reason;

    // Whether what was read may be used (Ok or LastLineCut).
    bool Usable() const { return status == ReadStatus::Ok || status == ReadStatus::LastLineCut; }
};
