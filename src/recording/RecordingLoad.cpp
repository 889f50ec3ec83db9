#include "RecordingLoad.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "CaptureIndexReader.h"
#include "LabelsFileReader.h"

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
    struct stat info {};
    if (::stat(datPath.c_str(), &info) != 0) {
        loaded.problem = LoadedRecording::Problem::Unreadable;
        loaded.reason = std::strerror(errno);
        return loaded;
    }
    if (!S_ISREG(info.st_mode)) {
        loaded.problem = LoadedRecording::Problem::Unreadable;
        loaded.reason = std::strerror(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
        return loaded;
    }
    if (!HasDatExtension(datPath)) {
        loaded.problem = LoadedRecording::Problem::NotARecording;
        return loaded;
    }
    // Readable at all: a replay that fails on its first read helps nobody.
    if (std::FILE* probe = std::fopen(datPath.c_str(), "rb")) {
        std::fclose(probe);
    } else {
        loaded.problem = LoadedRecording::Problem::Unreadable;
        loaded.reason = std::strerror(errno);
        return loaded;
    }
    if (info.st_size == 0) {
        loaded.problem = LoadedRecording::Problem::Empty;
        return loaded;
    }
    loaded.datSize = std::int64_t(info.st_size);

    CaptureIndex index = CCaptureIndexReader::ReadFile(datPath + ".idx");
    if (index.header && index.header->reportTimeMs > 0)
        reportTimeMs = index.header->reportTimeMs;
    auto timeline = std::make_shared<CReplayTimeline>(std::move(index), loaded.datSize, reportTimeMs);
    LabelsFile replayLabels = ReadLabelsFile(datPath + ".labels");
    loaded.labelsOutcome = replayLabels.outcome;
    loaded.labelLayers = CLabelLayers(timeline->LabelChanges(), std::move(replayLabels.changes));
    loaded.labels = loaded.labelLayers.Changes();
    loaded.timeline = std::move(timeline);
    return loaded;
}
