#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "LabelSummary.h"
#include "PresenceStatistics.h"
#include "RecordingDecode.h"
#include "RecordingLoad.h"

class CTaskControl;

// The kinds of job, for the task runner: one of each runs at a time.
enum RecordingJobKind : int { kOverviewJob = 1, kCsvExportJob, kLabelSummaryJob };

// The whole-file jobs on a recording: its decoded reports (for the overview), its CSV
// export with the figures beside it, and its figures with the label summary. Each reads
// the recording afresh from its files and touches no shared state, so any one thread
// may run it (the task runner's pool, or the caller's own). control, when not null,
// hears the progress and may stop the job between blocks; the job then returns early
// with cancelled set and nothing written.

// What the jobs take from the settings, copied on the owner's thread before they start.
struct RecordingJobSettings {
    std::int64_t reportTimeMs = 50;          // paces a recording without a usable index
    std::int64_t fallbackOffDelayMs = 0;     // the absence delay when the index names none
};

// The absence delay the module had during the recording, when its index tells it.
std::int64_t RecordingOffDelayMs(const LoadedRecording& loaded, const RecordingJobSettings& settings);

struct LoadedAndDecoded {
    LoadedRecording loaded;    // loaded.problem: the recording cannot be used (nothing decoded)
    DecodedRecording decoded;
    bool cancelled = false;
};

// Loads the recording at datPath and decodes it (its log lines are kept quiet: the run
// wrote them already); 0 to toPercent of the progress.
LoadedAndDecoded LoadAndDecode(const std::string& datPath, const RecordingJobSettings& settings,
                               CTaskControl* control, int toPercent = 100);

// The decoded reports of a recording already loaded (the replayed one).
DecodedRecording DecodeForOverview(const CReplayTimeline& timeline, const std::string& datPath,
                                   CTaskControl* control);

struct CsvExportOutcome {
    LoadedRecording loaded;  // loaded.problem: the recording cannot be used
    bool written = false;
    bool cancelled = false;
    std::string error;       // why not written, when the recording was usable
    std::size_t reports = 0;
};

// The rows at csvPath and the figures at FiguresCsvPath(csvPath), each written aside and
// renamed. A stop before the rows are renamed leaves both names alone; once the rows are
// in place the figures follow whatever is asked, so no rows stand beside old figures.
CsvExportOutcome ExportRecordingCsv(const std::string& datPath, const std::string& csvPath,
                                    const RecordingJobSettings& settings, CTaskControl* control);

struct RecordingSummary {
    LoadedRecording loaded;  // loaded.problem: the recording cannot be used
    bool cancelled = false;
    PresenceFigures figures;
    std::int64_t offDelayMs = 0;
    LabelSummary labels;     // empty when the recording has no labels
};

RecordingSummary SummarizeRecording(const std::string& datPath, const RecordingJobSettings& settings,
                                    CTaskControl* control);
