#include "ReportCsvExport.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <optional>
#include "UtcTime.h"
#include "WriteAside.h"

namespace {
constexpr const char* kLineEnd = "\r\n";
// Rows between two questions to the progress hook: well under a millisecond.
constexpr std::size_t kRowsPerStep = 4096;

void AppendNumber(std::string& row, std::int64_t value)
{
    // to_chars: never a locale's grouping or decimal comma.
    char digits[24];
    row.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}
}  // namespace

const char* ReportStateName(std::int32_t state)
{
    switch (state) {
    case 0: return "nobody";
    case 1: return "moving";
    case 2: return "motionless";
    default: return "unknown";
    }
}

bool WriteReportCsv(std::ostream& out, const std::vector<DecodedReport>& reports, const CaptureHeader* header,
                    const std::vector<LabelChange>& labels, const BlockProgress& progress)
{
    std::optional<std::int64_t> startUtcMs;
    if (header)
        startUtcMs = ParseUtcTimestampMs(header->startedUtc);
    std::string row = "time_ms,wall_time,state,state_name,distance_cm,label";
    row += kLineEnd;
    out.write(row.data(), std::streamsize(row.size()));

    std::size_t nextLabel = 0;
    GroundTruthLabel inForce = GroundTruthLabel::Off;
    const auto total = std::int64_t(reports.size());
    std::int64_t done = 0;
    for (const DecodedReport& report : reports) {
        if (progress && done % kRowsPerStep == 0 && !progress(done, total))
            return false;
        ++done;
        while (nextLabel < labels.size() && labels[nextLabel].timeUs <= report.timeUs)
            inForce = labels[nextLabel++].label;
        const std::int64_t timeMs = report.timeUs / 1000;
        row.clear();
        AppendNumber(row, timeMs);
        row += ',';
        if (startUtcMs)
            AppendWallTimeMs(row, *startUtcMs + timeMs, header->utcOffsetMinutes);
        row += ',';
        AppendNumber(row, report.state);
        row += ',';
        row += ReportStateName(report.state);
        row += ',';
        AppendNumber(row, report.distance);
        row += ',';
        if (inForce != GroundTruthLabel::Off)
            row += LabelName(inForce);
        row += kLineEnd;
        out.write(row.data(), std::streamsize(row.size()));
    }
    out.flush();
    return bool(out);
}

bool WriteReportCsvFile(const std::string& path, const std::vector<DecodedReport>& reports,
                        const CaptureHeader* header, const std::vector<LabelChange>& labels, std::string& error,
                        const BlockProgress& progress)
{
    const auto total = std::int64_t(reports.size());
    bool stopped = false;
    const BlockProgress watch = [&](std::int64_t done, std::int64_t all) {
        stopped = stopped || (progress && !progress(done, all));
        return !stopped;
    };
    const auto fill = [&](const std::string& aside, std::string& why) {
        std::ofstream out(aside, std::ios::binary | std::ios::trunc);
        if (!out) {
            why = "the CSV file " + path + " cannot be created: " + std::strerror(errno);
            return false;
        }
        errno = 0;
        bool written = WriteReportCsv(out, reports, header, labels, watch);
        out.close();
        written = written && !out.fail();
        if (stopped)
            why = "the CSV file " + path + " was not written: cancelled";
        else if (!written)
            why = "the CSV file " + path + " could not be written completely: " +
                  (errno != 0 ? std::strerror(errno) : "write failed");
        return written;
    };
    // Asked once more after the sync: the rename is the last moment a stop keeps the old file.
    const AsideResult result =
        WriteFileAside(path, fill, AsideMode::Replace, error, [&] { return watch(total, total); });
    if (result != AsideResult::Written && error.find("the CSV file") == std::string::npos)
        error = "the CSV file " + error;
    return result == AsideResult::Written;
}
