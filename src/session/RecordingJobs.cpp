#include "RecordingJobs.h"

#include "DbgOutput.h"
#include "PresenceFiguresCsv.h"
#include "RecordingObservation.h"
#include "ReportCsvExport.h"
#include "ReportTiming.h"
#include "TaskControl.h"

namespace {

// The hook of one stage, mapped onto [fromPercent, toPercent) of the whole job.
BlockProgress Stage(CTaskControl* control, int fromPercent, int toPercent)
{
    if (!control)
        return {};
    return [control, fromPercent, toPercent](std::int64_t done, std::int64_t total) {
        if (total > 0)
            control->Progress(std::int64_t(fromPercent) * total + std::int64_t(toPercent - fromPercent) * done,
                              std::int64_t(100) * total);
        return !control->Cancelled();
    };
}

bool Cancelled(const CTaskControl* control)
{
    return control && control->Cancelled();
}

PresenceFigures WholeRecordingFigures(const LoadedAndDecoded& recording, const RecordingJobSettings& settings)
{
    const ObservationRule rule = RecordingObservationRule(*recording.loaded.timeline, settings.reportTimeMs);
    return FiguresOfReports(recording.decoded.reports, rule.stallThresholdUs, rule.linkLostUs);
}

// Takes what the load says into out; true when the job ends there.
template <class Outcome>
bool EndsAtLoad(Outcome& out, const LoadedAndDecoded& recording)
{
    out.loaded = recording.loaded;
    out.cancelled = recording.cancelled;
    return out.loaded.problem != LoadedRecording::Problem::None || out.cancelled;
}

}  // namespace

std::int64_t RecordingOffDelayMs(const LoadedRecording& loaded, const RecordingJobSettings& settings)
{
    const CaptureHeader* header = loaded.timeline && loaded.timeline->Header() ? &*loaded.timeline->Header() : nullptr;
    return header && header->hasParameters ? AbsenceDelayMs(header->parameters)
                                           : settings.fallbackOffDelayMs;
}

LoadedAndDecoded LoadAndDecode(const std::string& datPath, const RecordingJobSettings& settings,
                               CTaskControl* control, int toPercent)
{
    LoadedAndDecoded result;
    result.loaded = LoadRecording(datPath, settings.reportTimeMs);
    if (result.loaded.problem != LoadedRecording::Problem::None)
        return result;
    if (Cancelled(control)) {
        result.cancelled = true;
        return result;
    }
    CDbgOutputQuietScope quiet;
    result.decoded = DecodeRecordingFile(*result.loaded.timeline, datPath, Stage(control, 0, toPercent));
    result.cancelled = result.decoded.cancelled;
    return result;
}

DecodedRecording DecodeForOverview(const CReplayTimeline& timeline, const std::string& datPath,
                                   CTaskControl* control)
{
    CDbgOutputQuietScope quiet;
    return DecodeRecordingFile(timeline, datPath, Stage(control, 0, 100));
}

CsvExportOutcome ExportRecordingCsv(const std::string& datPath, const std::string& csvPath,
                                    const RecordingJobSettings& settings, CTaskControl* control)
{
    CsvExportOutcome outcome;
    const LoadedAndDecoded recording = LoadAndDecode(datPath, settings, control, 40);
    if (EndsAtLoad(outcome, recording))
        return outcome;
    const LoadedRecording& loaded = recording.loaded;
    const CaptureHeader* header = loaded.timeline->Header() ? &*loaded.timeline->Header() : nullptr;
    if (!WriteReportCsvFile(csvPath, recording.decoded.reports, header, loaded.labels, outcome.error,
                            Stage(control, 40, 90))) {
        outcome.cancelled = Cancelled(control);
        return outcome;
    }
    // The rows are in place: their figures follow even if a stop is asked now.
    const PresenceFigures figures = WholeRecordingFigures(recording, settings);
    if (!WriteFiguresCsvFile(FiguresCsvPath(csvPath), figures, RecordingOffDelayMs(loaded, settings),
                             outcome.error))
        return outcome;
    if (control)
        control->Progress(1, 1);
    outcome.written = true;
    outcome.reports = recording.decoded.reports.size();
    return outcome;
}

RecordingSummary SummarizeRecording(const std::string& datPath, const RecordingJobSettings& settings,
                                    CTaskControl* control)
{
    RecordingSummary summary;
    const LoadedAndDecoded recording = LoadAndDecode(datPath, settings, control, 80);
    if (EndsAtLoad(summary, recording))
        return summary;
    summary.figures = WholeRecordingFigures(recording, settings);
    summary.offDelayMs = RecordingOffDelayMs(summary.loaded, settings);
    if (Cancelled(control)) {
        summary.cancelled = true;
        return summary;
    }
    if (!summary.loaded.labels.empty())
        summary.labels = SummarizeLabels(recording.decoded.reports, summary.loaded.labels,
                                         summary.loaded.timeline->EndUs(),
                                         RecordingObservationRule(*summary.loaded.timeline, settings.reportTimeMs));
    if (control)
        control->Progress(1, 1);
    return summary;
}
