#include "PresenceFiguresCsv.h"

#include <cstdio>

#include "WriteAside.h"

#include "CLocaleFormat.h"

namespace {

const char* const kStateNames[] = {"nobody", "moving", "motionless"};

// Fixed notation with a point whatever the locale: the window runs under the user's,
// where a comma would split the column.
std::string Number(double value, int decimals)
{
    return CLocaleFixed(value, decimals);
}

std::string Seconds(std::int64_t us)
{
    return Number(double(us) / 1e6, 3);
}

void Row(std::string& out, const char* figure, const char* state, const std::string& value, const char* unit)
{
    out += figure;
    out += ',';
    out += state;
    out += ',';
    out += value;
    out += ',';
    out += unit;
    out += "\r\n";
}

}  // namespace

std::string PresenceFiguresCsv(const PresenceFigures& f, std::int64_t offDelayMs)
{
    std::string out = "figure,state,value,unit\r\n";
    for (int s = 0; s < kPresenceStateCount; ++s) {
        const char* name = kStateNames[s];
        const DistanceSpread& d = f.distance[std::size_t(s)];
        Row(out, "time", name, Seconds(f.timeUs[std::size_t(s)]), "s");
        Row(out, "share", name, Number(f.Share(PresenceState(s)) * 100.0, 2), "%");
        Row(out, "reports", name, std::to_string(d.count), "");
        if (d.count == 0)
            continue;
        Row(out, "distance_mean", name, Number(d.mean, 2), "cm");
        Row(out, "distance_sd", name, Number(d.StandardDeviation(), 2), "cm");
        Row(out, "distance_min", name, std::to_string(d.minimum), "cm");
        Row(out, "distance_max", name, std::to_string(d.maximum), "cm");
    }
    Row(out, "state_changes", "", std::to_string(f.stateChanges), "");
    if (f.hasCurrent)
        Row(out, "last_state_dwell", kStateNames[int(f.current)], Seconds(f.currentDwellUs), "s");
    Row(out, "longest_presence", "", Seconds(f.longestPresenceUs), "s");
    Row(out, "longest_absence", "", Seconds(f.longestAbsenceUs), "s");
    Row(out, "absence_delays_seen", "", std::to_string(f.absenceDelays), "");
    if (f.absenceDelays > 0) {
        Row(out, "absence_delay_last", "", Seconds(f.lastAbsenceDelayUs), "s");
        Row(out, "absence_delay_mean", "", Seconds(f.MeanAbsenceDelayUs()), "s");
    }
    if (offDelayMs >= 0)
        Row(out, "absence_delay_set", "", Seconds(offDelayMs * 1000), "s");
    Row(out, "not_observed", "", Seconds(f.unobservedUs), "s");
    Row(out, "gaps", "", std::to_string(f.gaps), "");
    return out;
}

std::string FiguresCsvPath(const std::string& csvPath)
{
    const std::string suffix = ".csv";
    const bool endsInCsv = csvPath.size() > suffix.size() &&
                           csvPath.compare(csvPath.size() - suffix.size(), suffix.size(), suffix) == 0;
    return (endsInCsv ? csvPath.substr(0, csvPath.size() - suffix.size()) : csvPath) + ".figures.csv";
}

bool WriteFiguresCsvFile(const std::string& path, const PresenceFigures& figures, std::int64_t offDelayMs,
                         std::string& error)
{
    return WriteTextAside(path, PresenceFiguresCsv(figures, offDelayMs), AsideMode::Replace, error) ==
           AsideResult::Written;
}
