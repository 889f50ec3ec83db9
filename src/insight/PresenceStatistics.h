#pragma once
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "PresenceState.h"

// The distances reported in one state: count, mean, spread, extremes (cm).
struct DistanceSpread {
    std::int64_t count = 0;
    double mean = 0.0;
    double sumOfSquares = 0.0;  // of the differences from the mean (Welford)
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;

    void Add(std::int32_t distance);
    // Population standard deviation; 0 below two distances.
    double StandardDeviation() const;
};

// What the figures of a run or a replay are, at the latest report.
struct PresenceFigures {
    // Observed time in each state (PresenceState order): from each report to the next.
    std::array<std::int64_t, kPresenceStateCount> timeUs{};
    std::array<DistanceSpread, kPresenceStateCount> distance{};
    std::int64_t reports = 0;
    std::int64_t stateChanges = 0;
    bool hasCurrent = false;
    PresenceState current = PresenceState::Nobody;
    std::int64_t currentDwellUs = 0;
    std::int64_t longestPresenceUs = 0;
    std::int64_t longestAbsenceUs = 0;
    // Time between reports that counts for no state: a stall or a link gap.
    std::int64_t unobservedUs = 0;
    std::int64_t gaps = 0;
    // From the moment the presence report stopped changing to the nobody report: once
    // the person has gone the module holds its last report until the absence delay ends.
    std::int64_t absenceDelays = 0;
    std::int64_t lastAbsenceDelayUs = 0;
    std::int64_t absenceDelaySumUs = 0;

    std::int64_t ObservedUs() const { return timeUs[0] + timeUs[1] + timeUs[2]; }
    // The state's share of the observed time, 0 to 1.
    double Share(PresenceState state) const;
    std::int64_t MeanAbsenceDelayUs() const { return absenceDelays ? absenceDelaySumUs / absenceDelays : 0; }
};

// Dwell times and distance figures from decoded reports only, fed in time order.
// Between two reports the time belongs to the earlier report's state, unless the
// reports lie further apart than the stall threshold or a link gap came between them:
// that time is unobserved, counts for no state and ends every run (nobody knows what
// the module saw meanwhile). State values other than 0, 1, 2 count as nobody.
//
// Thread: one owner; the window guards it with its own lock (see the window's insight).
class CPresenceStatistics {
public:
    // stallThresholdUs: reports further apart than this have a stall between them.
    explicit CPresenceStatistics(std::int64_t stallThresholdUs = 1'000'000) : m_stallThresholdUs(stallThresholdUs) {}

    // Forgets everything; the next report starts a new run.
    void Reset(std::int64_t stallThresholdUs);
    void AddReport(std::int64_t timeUs, std::int32_t sentState, std::int32_t distance);
    // The link went away: the time up to the next report is unobserved.
    void AddLinkGap();
    const PresenceFigures& Figures() const { return m_figures; }

private:
    void EndRuns();

    std::int64_t m_stallThresholdUs;
    PresenceFigures m_figures;
    bool m_hasLast = false;
    bool m_gapPending = false;
    std::int64_t m_lastUs = 0;
    PresenceState m_lastState = PresenceState::Nobody;
    std::int32_t m_lastDistance = 0;
    // The runs going on: of the current state, of presence (moving or motionless) or
    // of absence, with their observed length so far.
    std::int64_t m_stateRunUs = 0;
    std::int64_t m_presenceRunUs = 0;
    std::int64_t m_absenceRunUs = 0;
    // When the presence report last changed (state or distance); -1 when not in presence.
    std::int64_t m_heldSinceUs = -1;
};

struct DecodedReport;
// The figures of a whole decoded recording; linkLostUs (rising): when its link was lost,
// each a link gap between the reports around it.
PresenceFigures FiguresOfReports(const std::vector<DecodedReport>& reports, std::int64_t stallThresholdUs,
                                 const std::vector<std::int64_t>& linkLostUs = {});
