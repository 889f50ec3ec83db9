#pragma once
#include <istream>
#include <string>
#include <vector>
#include "BlockProgress.h"
#include "DecodedReport.h"

class CReplayTimeline;

// The reports of a whole recording, and whether all of its bytes could be read.
struct DecodedRecording {
    std::vector<DecodedReport> reports;
    bool complete = true;
    std::string error;       // why not: the file could not be opened or ended early
    bool cancelled = false;  // the progress hook stopped it (complete is false then)
};

// Decodes the .dat held in dat (read from its start) through the tool's own report
// decoder, delivery by delivery as the timeline says, with the same reassembly resets
// as the live run: the reports are exactly those the operator saw, each stamped with
// the time of the delivery that completed it. Reads in bounded pieces; progress (bytes
// of the recording) is asked every few thousand deliveries and between pieces.
DecodedRecording DecodeRecording(const CReplayTimeline& timeline, std::istream& dat,
                                 const BlockProgress& progress = {});

// The same for the .dat at datPath.
DecodedRecording DecodeRecordingFile(const CReplayTimeline& timeline, const std::string& datPath,
                                     const BlockProgress& progress = {});

// Whether the .dat at datPath holds at least one valid report; reads only up to the first.
bool RecordingHasReport(const CReplayTimeline& timeline, const std::string& datPath);
