#include "PresenceStatistics.h"

#include "DecodedReport.h"

#include <algorithm>
#include <cmath>

void DistanceSpread::Add(std::int32_t distance)
{
    ++count;
    const double delta = distance - mean;
    mean += delta / double(count);
    sumOfSquares += delta * (distance - mean);
    minimum = count == 1 ? distance : std::min(minimum, distance);
    maximum = count == 1 ? distance : std::max(maximum, distance);
}

double DistanceSpread::StandardDeviation() const
{
    return count < 2 ? 0.0 : std::sqrt(std::max(sumOfSquares, 0.0) / double(count));
}

double PresenceFigures::Share(PresenceState state) const
{
    const std::int64_t observed = ObservedUs();
    return observed > 0 ? double(timeUs[std::size_t(state)]) / double(observed) : 0.0;
}

void CPresenceStatistics::Reset(std::int64_t stallThresholdUs)
{
    *this = CPresenceStatistics(stallThresholdUs);
}

void CPresenceStatistics::AddLinkGap()
{
    m_gapPending = true;
}

void CPresenceStatistics::EndRuns()
{
    m_stateRunUs = 0;
    m_presenceRunUs = 0;
    m_absenceRunUs = 0;
    m_heldSinceUs = -1;
    m_figures.currentDwellUs = 0;
}

void CPresenceStatistics::AddReport(std::int64_t timeUs, std::int32_t sentState, std::int32_t distance)
{
    const PresenceState state = DisplayedState(sentState);
    PresenceFigures& f = m_figures;
    bool continues = false;
    if (m_hasLast) {
        // A clock that steps back (a replay's reconnect) counts as no time.
        const std::int64_t span = std::max<std::int64_t>(timeUs - m_lastUs, 0);
        if (m_gapPending || span > m_stallThresholdUs) {
            f.unobservedUs += span;
            ++f.gaps;
            EndRuns();
        } else {
            continues = true;
            f.timeUs[std::size_t(m_lastState)] += span;
            m_stateRunUs += span;
            (IsPresence(m_lastState) ? m_presenceRunUs : m_absenceRunUs) += span;
            f.longestPresenceUs = std::max(f.longestPresenceUs, m_presenceRunUs);
            f.longestAbsenceUs = std::max(f.longestAbsenceUs, m_absenceRunUs);
        }
        if (state != m_lastState)
            ++f.stateChanges;
    }
    if (continues && IsPresence(m_lastState) && !IsPresence(state) && m_heldSinceUs >= 0) {
        ++f.absenceDelays;
        f.lastAbsenceDelayUs = timeUs - m_heldSinceUs;
        f.absenceDelaySumUs += f.lastAbsenceDelayUs;
    }
    if (!continues || state != m_lastState) {
        m_stateRunUs = 0;
        if (!continues || IsPresence(state) != IsPresence(m_lastState)) {
            m_presenceRunUs = 0;
            m_absenceRunUs = 0;
        }
    }
    if (!IsPresence(state))
        m_heldSinceUs = -1;
    else if (m_heldSinceUs < 0 || !continues || state != m_lastState || distance != m_lastDistance)
        m_heldSinceUs = timeUs;

    m_gapPending = false;
    m_hasLast = true;
    m_lastUs = timeUs;
    m_lastState = state;
    m_lastDistance = distance;
    ++f.reports;
    f.distance[std::size_t(state)].Add(distance);
    f.hasCurrent = true;
    f.current = state;
    f.currentDwellUs = m_stateRunUs;
}

PresenceFigures FiguresOfReports(const std::vector<DecodedReport>& reports, std::int64_t stallThresholdUs,
                                 const std::vector<std::int64_t>& linkLostUs)
{
    CPresenceStatistics statistics(stallThresholdUs);
    auto lost = linkLostUs.begin();
    for (const DecodedReport& report : reports) {
        // A loss at a report's own time belongs to the time after it, as in the label summary.
        bool gap = false;
        for (; lost != linkLostUs.end() && *lost < report.timeUs; ++lost)
            gap = true;
        if (gap)
            statistics.AddLinkGap();
        statistics.AddReport(report.timeUs, report.state, report.distance);
    }
    return statistics.Figures();
}
