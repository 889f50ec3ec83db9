#include "RecordingLoad.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "CaptureIndexReader.h"
#include "LabelsFileReader.h"
#include "RegularFile.h"
#include "ReportTiming.h"

namespace {

bool HasDatExtension(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string tail = path.substr(path.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return tail == ".dat";
}

}  // namespace

LoadedRecording LoadRecording(const std::string& datPath, std::int64_t reportTimeMs)
{
    LoadedRecording loaded;
    // Opened without blocking and examined before anything else: a FIFO or a device
    // gets its answer at once instead of holding the replay up.
    const RegularFileOpen opened = OpenRegularFileForReading(datPath);
    if (!opened.Opened()) {
        loaded.problem = LoadedRecording::Problem::Unreadable;
        loaded.reason = opened.reason;
        return loaded;
    }
    struct stat info {};
    const bool examined = ::fstat(opened.fd, &info) == 0;
    const int examineError = errno;
    ::close(opened.fd);
    if (!examined) {
        loaded.problem = LoadedRecording::Problem::Unreadable;
        loaded.reason = std::strerror(examineError);
        return loaded;
    }
    if (!HasDatExtension(datPath)) {
        loaded.problem = LoadedRecording::Problem::NotARecording;
        return loaded;
    }
    if (info.st_size == 0) {
        loaded.problem = LoadedRecording::Problem::Empty;
        return loaded;
    }
    loaded.datSize = std::int64_t(info.st_size);

    CaptureIndex index = CCaptureIndexReader::ReadFile(datPath + ".idx");
    reportTimeMs = ReportIntervalMs(index.header ? index.header->reportTimeMs : 0, reportTimeMs);
    auto timeline = std::make_shared<CReplayTimeline>(std::move(index), loaded.datSize, reportTimeMs);
    LabelsFile replayLabels = ReadLabelsFile(datPath + ".labels");
    loaded.labelsOutcome = replayLabels.outcome;
    loaded.labelLayers = CLabelLayers(timeline->LabelChanges(), std::move(replayLabels.changes));
    loaded.labels = loaded.labelLayers.Changes();
    loaded.timeline = std::move(timeline);
    return loaded;
}
