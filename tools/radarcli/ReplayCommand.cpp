#include "ReplayCommand.h"

#include "PlotPicture.h"
#include "PresenceFiguresCsv.h"
#include "PresenceState.h"
#include "PresenceStatistics.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "DbgOutput.h"
#include "ExitCodes.h"
#include "LabelSummary.h"
#include "RecordingDecode.h"
#include "RecordingLoad.h"
#include "RecordingObservation.h"
#include "ReplayTimeline.h"
#include "ReportCsvExport.h"
#include "ReportTiming.h"
#include "WriteAside.h"
#include "CLocaleFormat.h"

namespace {

namespace fs = std::filesystem;

// The --csv name that means standard output.
const std::string kStandardOutput = "-";

// The report interval a recording without a usable index is paced at, unless its
// index header names one; the module's power-up interval.
// radarcli reads no settings file: a recording without an interval of its own goes by the default.
constexpr std::int64_t kNoSettingsReportTimeMs = 0;

// The load's refusal in the operator's words; empty when the recording loaded.
std::string LoadProblemText(const LoadedRecording& loaded, const std::string& path)
{
    switch (loaded.problem) {
    case LoadedRecording::Problem::None: return {};
    case LoadedRecording::Problem::Unreadable: return "cannot read " + path + ": " + loaded.reason;
    case LoadedRecording::Problem::Empty: return path + " is empty: nothing was recorded";
    case LoadedRecording::Problem::NotARecording: return path + " is not a recording (recordings are .dat files)";
    }
    return path + " cannot be replayed";
}

std::int64_t PacingMs(const CReplayTimeline& timeline)
{
    return ReportIntervalMs(timeline.Header() ? timeline.Header()->reportTimeMs : 0, kNoSettingsReportTimeMs);
}

// How the replay is paced, for the description and the notes on stderr.
std::string PacingText(const CReplayTimeline& timeline, std::int64_t datSize)
{
    const std::string interval = "the report interval (" + std::to_string(PacingMs(timeline)) + " ms)";
    if (timeline.PacedByFallback()) {
        const ReadOutcome& outcome = timeline.IndexOutcome();
        return interval + (outcome.status == ReadStatus::Missing ? ": no capture index"
                                                                  : ": " + outcome.reason);
    }
    if (timeline.FallbackFromOffset() < datSize)
        return "its capture index up to byte " + std::to_string(timeline.FallbackFromOffset()) + ", then " + interval;
    return "its capture index";
}

// What is wrong with the recording's companion files but does not stop the replay.
void NoteCompanionProblems(const LoadedRecording& loaded, const std::string& path)
{
    const CReplayTimeline& timeline = *loaded.timeline;
    const ReadOutcome& index = timeline.IndexOutcome();
    if (timeline.PacedByFallback() && index.status != ReadStatus::Missing)
        std::fprintf(stderr, "radarcli replay: %s.idx is not used (%s); paced at %lld ms a report instead\n",
                     path.c_str(), index.reason.c_str(), static_cast<long long>(PacingMs(timeline)));
    else if (index.status == ReadStatus::LastLineCut)
        std::fprintf(stderr, "radarcli replay: %s.idx: %s\n", path.c_str(), index.reason.c_str());
    if (!loaded.labelsOutcome.Usable() && loaded.labelsOutcome.status != ReadStatus::Missing)
        std::fprintf(stderr, "radarcli replay: the labels of %s.labels are not used: %s\n", path.c_str(),
                     loaded.labelsOutcome.reason.c_str());
}

// Also for a companion that does not exist yet: a file written under its name would
// be read as the recording's index or labels.
bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code failure;
    if (fs::equivalent(a, b, failure) && !failure)
        return true;
    std::error_code aFailure, bFailure;
    const fs::path left = fs::weakly_canonical(a, aFailure);
    const fs::path right = fs::weakly_canonical(b, bFailure);
    return !aFailure && !bFailure && left == right;
}

// The figures of the reports; the absence delay set only when the capture index tells it.
bool WriteFigures(const std::string& path, const DecodedRecording& decoded, const LoadedRecording& loaded)
{
    const CaptureHeader* header = loaded.timeline->Header() ? &*loaded.timeline->Header() : nullptr;
    const ObservationRule rule = RecordingObservationRule(*loaded.timeline, kNoSettingsReportTimeMs);
    const PresenceFigures figures = FiguresOfReports(decoded.reports, rule.stallThresholdUs, rule.linkLostUs);
    const std::int64_t offDelayMs = header && header->hasParameters ? AbsenceDelayMs(header->parameters) : -1;
    std::string error;
    if (WriteFiguresCsvFile(path, figures, offDelayMs, error))
        return true;
    std::fprintf(stderr, "radarcli replay: %s\n", error.c_str());
    return false;
}

// The rows to path (written aside and renamed over it) or, for "-", to standard output.
bool WriteCsv(const std::string& path, const DecodedRecording& decoded, const LoadedRecording& loaded)
{
    const CaptureHeader* header = loaded.timeline->Header() ? &*loaded.timeline->Header() : nullptr;
    if (path == kStandardOutput) {
        std::fflush(stdout);
        if (WriteReportCsv(std::cout, decoded.reports, header, loaded.labels))
            return true;
        std::fprintf(stderr, "radarcli replay: the CSV could not be written to standard output\n");
        return false;
    }
    std::string error;
    if (WriteReportCsvFile(path, decoded.reports, header, loaded.labels, error))
        return true;
    std::fprintf(stderr, "radarcli replay: %s\n", error.c_str());
    return false;
}

// Where the figures go: --figures, else beside a CSV file; nowhere for a CSV on stdout.
std::string FiguresTarget(const ReplayOptions& options)
{
    if (!options.figuresPath.empty())
        return options.figuresPath;
    if (options.csvPath.empty() || options.csvPath == kStandardOutput)
        return {};
    return FiguresCsvPath(options.csvPath);
}

// Every file the command would write, with the option that names it.
std::vector<std::pair<std::string, std::string>> Outputs(const ReplayOptions& options)
{
    std::vector<std::pair<std::string, std::string>> outputs;
    if (!options.csvPath.empty() && options.csvPath != kStandardOutput)
        outputs.emplace_back("--csv", options.csvPath);
    if (const std::string figures = FiguresTarget(options); !figures.empty())
        outputs.emplace_back(options.figuresPath.empty() ? "--csv" : "--figures", figures);
    if (!options.plotPath.empty())
        outputs.emplace_back("--plot", options.plotPath);
    return outputs;
}

// Refuses, before any work, an output that would overwrite the recording or its
// companions, or that is not a regular file. Empty when every output may be written.
std::string OutputProblem(const ReplayOptions& options)
{
    const std::string& path = options.file;
    const auto outputs = Outputs(options);
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (SameFile(outputs[i].second, outputs[j].second))
                return outputs[i].first + " " + outputs[i].second + " would overwrite the file of " + outputs[j].first;
        }
    }
    for (const auto& [option, out] : outputs) {
        for (const std::string& own : {path, path + ".idx", path + ".labels"}) {
            if (SameFile(out, own))
                return option + " " + out + " would overwrite " + own;
        }
        if (const std::string refusal = ReplaceRefusal(out); !refusal.empty())
            return option + " " + refusal + "; nothing was written";
    }
    return {};
}

// Which labels the figures use, after their count.
const char* LayerText(LabelLayer layer)
{
    switch (layer) {
    case LabelLayer::Replay: return " (set in replays; the labels set while recording are left out)";
    case LabelLayer::Live: return " (set while recording)";
    case LabelLayer::None: break;
    }
    return "";
}

void PrintDescription(const std::string& path, const LoadedRecording& loaded, const DecodedRecording& decoded)
{
    const CReplayTimeline& timeline = *loaded.timeline;
    std::printf("recording  %s (%lld bytes)\n", path.c_str(), static_cast<long long>(loaded.datSize));
    if (const auto& header = timeline.Header()) {
        std::printf("recorded   %s from %s at %lld baud, firmware %s\n",
                    header->startedUtc.empty() ? "(time unknown)" : header->startedUtc.c_str(), header->port.c_str(),
                    static_cast<long long>(header->baud), header->firmware.empty() ? "unknown" : header->firmware.c_str());
    }
    CLocaleFprintf(stdout, "duration   %.3f s\n", double(timeline.EndUs()) / 1e6);
    // nobody, moving, motionless as every figure counts them: another value is nobody
    std::array<std::size_t, kPresenceStateCount> counts{};
    std::size_t otherValues = 0;
    for (const DecodedReport& report : decoded.reports) {
        ++counts[std::size_t(DisplayedState(report.state))];
        otherValues += DisplayedState(report.state) == PresenceState::Nobody && report.state != 0;
    }
    std::printf("reports    %zu: nobody %zu", decoded.reports.size(), counts[0]);
    if (otherValues > 0)
        std::printf(" (%zu of them sent as another state value)", otherValues);
    std::printf(", moving %zu, motionless %zu", counts[1], counts[2]);
    std::printf("\npaced by   %s\n", PacingText(timeline, loaded.datSize).c_str());
    std::printf("labels     %zu%s\n", loaded.labels.size(), LayerText(loaded.labelLayers.InUse()));
}

}  // namespace

int RunReplayCommand(const ReplayOptions& options)
{
    const std::string& path = options.file;
    const LoadedRecording loaded = LoadRecording(path, kNoSettingsReportTimeMs);
    if (const std::string problem = LoadProblemText(loaded, path); !problem.empty()) {
        std::fprintf(stderr, "radarcli replay: %s\n", problem.c_str());
        return kExitBadRecording;
    }
    if (const std::string problem = OutputProblem(options); !problem.empty()) {
        std::fprintf(stderr, "radarcli replay: %s\n", problem.c_str());
        return kExitUsage;
    }
    NoteCompanionProblems(loaded, path);

    DecodedRecording decoded;
    {
        // The decoder writes a line per report; a replay must not repeat a run's log.
        CDbgOutputQuietScope quiet;
        decoded = DecodeRecordingFile(*loaded.timeline, path);
    }
    if (!decoded.complete) {
        std::fprintf(stderr, "radarcli replay: %s cannot be read whole: %s\n", path.c_str(), decoded.error.c_str());
        return kExitBadRecording;
    }
    // Nothing to show, write or draw: a file of the wrong kind, or a run that never
    // heard the module.
    if (decoded.reports.empty()) {
        std::fprintf(stderr, "radarcli replay: %s: no valid report in this file\n", path.c_str());
        return kExitBadRecording;
    }

    // Standard output holds the rows then: the notes go to stderr.
    std::FILE* notes = options.csvPath == kStandardOutput ? stderr : stdout;
    if (!options.csvPath.empty()) {
        if (!WriteCsv(options.csvPath, decoded, loaded))
            return kExitFailed;
        if (options.csvPath != kStandardOutput)
            std::printf("%zu reports written to %s\n", decoded.reports.size(), options.csvPath.c_str());
    }
    if (const std::string figures = FiguresTarget(options); !figures.empty()) {
        if (!WriteFigures(figures, decoded, loaded))
            return kExitFailed;
    }
    if (options.summary) {
        if (loaded.labels.empty())
            std::printf("no labels\n");
        else
            std::fputs(FormatLabelSummary(SummarizeLabels(decoded.reports, loaded.labels, loaded.timeline->EndUs(),
                                                          RecordingObservationRule(*loaded.timeline,
                                                                                   kNoSettingsReportTimeMs)),
                                          loaded.labelLayers.InUse())
                           .c_str(),
                       stdout);
    }
    if (options.csvPath.empty() && !options.summary && options.plotPath.empty())
        PrintDescription(path, loaded, decoded);
    // Last: the picture takes the reports over.
    if (!options.plotPath.empty()) {
        std::string error;
        const std::size_t reports = decoded.reports.size();
        if (!WritePlotPicture(options, loaded, std::move(decoded), &error)) {
            std::fprintf(stderr, "radarcli replay: the picture %s cannot be written: %s\n", options.plotPath.c_str(),
                         error.c_str());
            return kExitFailed;
        }
        std::fprintf(notes, "%zu reports drawn in %s (%d x %d)\n", reports, options.plotPath.c_str(),
                     options.plotWidth, options.plotHeight);
    }
    return kExitOk;
}
