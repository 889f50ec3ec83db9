#include "RecordingCheck.h"

#include <algorithm>
#include <filesystem>

#include "CaptureIndexReader.h"

std::string CheckFinishedRecording(const std::string& datPath, const std::string& indexPath)
{
    std::error_code failure;
    const auto datSize = std::filesystem::file_size(datPath, failure);
    if (failure)
        return datPath + " cannot be read back: " + failure.message();
    CaptureIndex index = CCaptureIndexReader::ReadFile(indexPath);
    if (index.outcome.status != ReadStatus::Ok)
        return "the capture index " + indexPath + " is not whole: " + index.outcome.reason;
    if (!index.header)
        return "the capture index " + indexPath + " has no header";
    index.ValidateAgainstDat(std::int64_t(datSize));
    if (index.outcome.status != ReadStatus::Ok)
        return "the capture index " + indexPath + " does not match " + datPath + ": " + index.outcome.reason;
    const auto writeError = std::find_if(index.events.begin(), index.events.end(), [](const TimedCaptureEvent& e) {
        return e.event.kind == CaptureEventKind::WriteError;
    });
    if (writeError != index.events.end())
        return datPath + " misses bytes from offset " + std::to_string(writeError->event.offset) +
               " on: the disk refused them (full?)";
    if (index.events.empty() || index.events.back().event.kind != CaptureEventKind::Stop)
        return "the capture index " + indexPath + " does not end with the stop of the run";
    return {};
}
