#pragma once
#include <ostream>
#include <string>
#include <vector>
#include "BlockProgress.h"
#include "CaptureHeader.h"
#include "DecodedReport.h"
#include "GroundTruthLabel.h"

// The reports of a recording as CSV for a spreadsheet: UTF-8, comma separated, "\r\n"
// line ends, numbers with no locale's separators. The header row is
//   time_ms,wall_time,state,state_name,distance_cm,label
// and each report gives one row:
//   time_ms      whole milliseconds since the run began
//   wall_time    local time with ms and the UTC offset the run was recorded in,
//                2026-12-10T12:53:21.173+01:00; empty without a header that has a start time
//   state        the number the module sent
//   state_name   nobody, moving, motionless, or unknown for any other number
//   distance_cm  the distance
//   label        the ground-truth label in force then (empty, moving, still), or nothing

// The name the CSV gives a state number.
const char* ReportStateName(std::int32_t state);

// Writes the CSV to out. header may be null; labels in time order ("off" ends a label).
// False when the stream failed or progress (rows written) stopped it.
bool WriteReportCsv(std::ostream& out, const std::vector<DecodedReport>& reports, const CaptureHeader* header,
                    const std::vector<LabelChange>& labels, const BlockProgress& progress = {});

// The same into a file at path, written aside and renamed over it (WriteAside): an
// existing regular file is replaced only by the whole new one, and a path that is not
// a regular file is refused. False with error set (the path and the reason) when
// nothing was written; a stop asked by progress, up to the rename, leaves path alone.
bool WriteReportCsvFile(const std::string& path, const std::vector<DecodedReport>& reports,
                        const CaptureHeader* header, const std::vector<LabelChange>& labels, std::string& error,
                        const BlockProgress& progress = {});
