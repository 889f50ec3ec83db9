#pragma once
#include <cstdint>
#include <string>

#include "PresenceStatistics.h"

// The figures of a recording as CSV beside its reports' CSV: "figure,state,value,unit"
// rows (comma separated, "\r\n", numbers in seconds, percent or cm with a point),
// for a spreadsheet next to the rows of the reports. offDelayMs: the absence delay the
// module was set to; below 0 when unknown (no row then).
std::string PresenceFiguresCsv(const PresenceFigures& figures, std::int64_t offDelayMs);

// Where the figures of the reports' CSV at csvPath go: "run.csv" -> "run.figures.csv".
std::string FiguresCsvPath(const std::string& csvPath);

// Writes PresenceFiguresCsv to path, beside it first and renamed over it (WriteAside),
// so that a failed write leaves an existing file as it was and a path that is not a
// regular file is refused. False, with error set, on failure.
bool WriteFiguresCsvFile(const std::string& path, const PresenceFigures& figures, std::int64_t offDelayMs,
                         std::string& error);
