#include "LabelsFileReader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include "JsonFields.h"
#include "JsonObjectLine.h"
#include "LineReader.h"

namespace {
LabelsFile ReadLines(CLineReader& lines)
{
    LabelsFile file;
    CJsonObjectLine json;
    std::string error;
    for (;;) {
        const CLineReader::Result result = lines.Next();
        if (result == CLineReader::Result::End)
            break;
        const std::string at = "line " + std::to_string(lines.LineNumber()) + ": ";
        if (result == CLineReader::Result::Error) {
            file.changes.clear();
            file.outcome = {ReadStatus::Unreadable,
                            "the labels file cannot be read: " + std::string(std::strerror(lines.ErrorNumber()))};
            return file;
        }
        if (result == CLineReader::Result::TooLong) {
            error = at + "too long";
            break;
        }
        if (lines.Blank())
            continue;
        if (!json.Parse(lines.Line())) {
            if (!lines.Terminated()) {
                file.outcome = {ReadStatus::LastLineCut, "the last line (" + std::to_string(lines.LineNumber()) +
                                                             ") was cut off and is left out"};
                break;
            }
            error = at + json.Error();
            break;
        }
        LabelChange change;
        std::string name;
        if (!ReadIntegerField(json, "t", true, 0, std::numeric_limits<std::int64_t>::max(), change.timeUs, error) ||
            !ReadStringField(json, "label", true, name, error)) {
            error = at + error;
            break;
        }
        const std::optional<GroundTruthLabel> label = ParseLabelName(name);
        if (!label) {
            error = at + "unknown label \"" + name + "\"";
            break;
        }
        change.label = *label;
        file.changes.push_back(change);
    }
    if (!error.empty()) {
        file.changes.clear();
        file.outcome = {ReadStatus::Corrupt, "the labels file is corrupt: " + error};
        return file;
    }
    std::stable_sort(file.changes.begin(), file.changes.end(),
                     [](const LabelChange& a, const LabelChange& b) { return a.timeUs < b.timeUs; });
    return file;
}
}  // namespace

LabelsFile ReadLabelsFile(const std::string& path)
{
    LabelsFile file;
    std::FILE* stream = CLineReader::OpenRegularFile(path, "the labels file " + path, file.outcome);
    if (!stream)
        return file;
    CLineReader lines(stream);
    file = ReadLines(lines);
    std::fclose(stream);
    return file;
}

LabelsFile ReadLabelsText(std::string_view text)
{
    CLineReader lines(text);
    return ReadLines(lines);
}
