#pragma once
#include <cstdint>
#include <vector>

#include "DecodedReport.h"
#include "StateStrip.h"

// One pixel column of a recording's overview: the smallest and largest distance of the
// reports in it, so that no spike is lost however far out the view is, and the state
// most of them had.
struct EnvelopeColumn {
    bool hasData = false;
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    std::int8_t state = StripSample::kNoData;
    std::int64_t timeUs = 0;  // where the column begins
};

// The columns of [fromUs, toUs) for reports in time order. A column that no report
// falls in still shows the report before it while that one is at most holdUs old (a
// view zoomed in further than one report per column); otherwise it has no data (a
// stall or a link gap). Writes `columns` items (none when columns < 1 or the range is
// empty); out's storage is reused.
void BuildEnvelope(const std::vector<DecodedReport>& reports, std::int64_t fromUs, std::int64_t toUs, int columns,
                   std::int64_t holdUs, std::vector<EnvelopeColumn>& out);
