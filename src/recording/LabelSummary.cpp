#include "LabelSummary.h"

#include <algorithm>
#include <cstdarg>
#include "CLocaleFormat.h"
#include "PresenceState.h"

namespace {

// What the module's reports say of one stretch of time.
struct Observation {
    std::int64_t fromUs = 0;
    std::int64_t toUs = 0;
    bool observed = false;
    PresenceState state = PresenceState::Nobody;
};

bool Agrees(GroundTruthLabel label, PresenceState state)
{
    switch (label) {
    case GroundTruthLabel::Empty: return state == PresenceState::Nobody;
    case GroundTruthLabel::Moving: return state == PresenceState::Moving;
    case GroundTruthLabel::Still: return IsPresence(state);
    case GroundTruthLabel::Off: return false;
    }
    return false;
}

std::size_t TallyIndex(GroundTruthLabel label)
{
    return label == GroundTruthLabel::Empty ? 0 : label == GroundTruthLabel::Moving ? 1 : 2;
}

void AppendFormatted(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void AppendFormatted(std::string& out, const char* format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    CLocaleVsnprintf(text, sizeof text, format, args);
    va_end(args);
    out += text;
}

// The time from 0 to endUs cut at each report: before the first nothing is observed;
// after each report its state holds until the next (or endUs) unless the rule says no.
std::vector<Observation> Observations(const std::vector<DecodedReport>& reports, std::int64_t endUs,
                                      const ObservationRule& rule)
{
    std::vector<Observation> out;
    const std::int64_t first = reports.empty() ? endUs : reports.front().timeUs;
    out.push_back({0, std::max<std::int64_t>(first, 0), false, PresenceState::Nobody});
    for (std::size_t i = 0; i < reports.size(); ++i) {
        const std::int64_t from = reports[i].timeUs;
        const std::int64_t to = std::max(from, i + 1 < reports.size() ? reports[i + 1].timeUs : endUs);
        const auto lost = std::lower_bound(rule.linkLostUs.begin(), rule.linkLostUs.end(), from);
        const bool gap = lost != rule.linkLostUs.end() && (*lost < to || i + 1 == reports.size());
        out.push_back({from, to, !gap && to - from <= rule.stallThresholdUs, DisplayedState(reports[i].state)});
    }
    return out;
}

// The stretch in force at timeUs: the last that begins at or before it.
std::size_t ObservationAt(const std::vector<Observation>& observations, std::int64_t timeUs)
{
    const auto after = std::upper_bound(observations.begin(), observations.end(), timeUs,
                                        [](std::int64_t t, const Observation& o) { return t < o.fromUs; });
    return after == observations.begin() ? 0 : std::size_t(after - observations.begin() - 1);
}

// Adds the time from `from` to `to` under label.
void TallyInterval(LabelSummary& summary, GroundTruthLabel label, std::int64_t from, std::int64_t to,
                   const std::vector<Observation>& observations)
{
    LabelTally& tally = summary.tallies[TallyIndex(label)];
    for (std::size_t i = ObservationAt(observations, from); from < to; ++i) {
        const bool last = i + 1 >= observations.size();
        const std::int64_t until = last ? to : std::min(to, observations[i + 1].fromUs);
        const std::int64_t span = until - from;
        const Observation& seen = observations[std::min(i, observations.size() - 1)];
        tally.labelledUs += span;
        if (!seen.observed) {
            tally.unobservedUs += span;
            summary.unobservedUs += span;
        } else {
            if (Agrees(label, seen.state))
                tally.agreeingUs += span;
            if (label == GroundTruthLabel::Empty && IsPresence(seen.state))
                summary.falsePresenceUs += span;
            if (label != GroundTruthLabel::Empty && !IsPresence(seen.state))
                summary.missedUs += span;
        }
        from = until;
    }
}

// The time from a change at `at` to the module's first agreeing report before `limit`;
// -1 when it does not agree in time. Agreement already at the change needs a state
// observed at that moment.
std::int64_t DelayAfterChange(GroundTruthLabel label, std::int64_t at, std::int64_t limit,
                              const std::vector<Observation>& observations, const std::vector<DecodedReport>& reports)
{
    const Observation& now = observations[ObservationAt(observations, at)];
    if (now.observed && Agrees(label, now.state))
        return 0;
    auto next = std::upper_bound(reports.begin(), reports.end(), at,
                                 [](std::int64_t t, const DecodedReport& r) { return t < r.timeUs; });
    for (; next != reports.end() && next->timeUs < limit; ++next) {
        if (Agrees(label, DisplayedState(next->state)))
            return next->timeUs - at;
    }
    return -1;
}
}  // namespace

double LabelTally::AgreementPercent() const
{
    const std::int64_t observed = ObservedUs();
    return observed > 0 ? 100.0 * double(agreeingUs) / double(observed) : 0.0;
}

const LabelTally& LabelSummary::Tally(GroundTruthLabel label) const
{
    return tallies[TallyIndex(label)];
}

double LabelSummary::MedianDelayMs() const
{
    if (delaysUs.empty())
        return 0.0;
    const std::size_t middle = delaysUs.size() / 2;
    const double us = delaysUs.size() % 2 ? double(delaysUs[middle])
                                          : (double(delaysUs[middle - 1]) + double(delaysUs[middle])) / 2.0;
    return us / 1000.0;
}

double LabelSummary::MaxDelayMs() const
{
    return delaysUs.empty() ? 0.0 : double(delaysUs.back()) / 1000.0;
}

LabelSummary SummarizeLabels(const std::vector<DecodedReport>& reports, std::vector<LabelChange> labels,
                             std::int64_t endUs, const ObservationRule& rule)
{
    LabelSummary summary;
    summary.tallies[0].label = GroundTruthLabel::Empty;
    summary.tallies[1].label = GroundTruthLabel::Moving;
    summary.tallies[2].label = GroundTruthLabel::Still;
    std::stable_sort(labels.begin(), labels.end(),
                     [](const LabelChange& a, const LabelChange& b) { return a.timeUs < b.timeUs; });
    // Only real changes count: a label set again, or one overridden at the same moment, is none.
    std::vector<LabelChange> changes;
    for (const LabelChange& change : labels) {
        if (!changes.empty() && changes.back().timeUs == change.timeUs)
            changes.pop_back();
        const GroundTruthLabel before = changes.empty() ? GroundTruthLabel::Off : changes.back().label;
        if (change.label != before)
            changes.push_back(change);
    }

    const std::vector<Observation> observations = Observations(reports, endUs, rule);
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const std::int64_t from = std::min(changes[i].timeUs, endUs);
        const std::int64_t to = std::min(i + 1 < changes.size() ? changes[i + 1].timeUs : endUs, endUs);
        const GroundTruthLabel label = changes[i].label;
        if (label == GroundTruthLabel::Off || from >= to)
            continue;
        const std::int64_t delay = DelayAfterChange(label, from, to, observations, reports);
        if (delay < 0)
            ++summary.neverAgreed;
        else
            summary.delaysUs.push_back(delay);
        TallyInterval(summary, label, from, to, observations);
    }
    std::sort(summary.delaysUs.begin(), summary.delaysUs.end());
    return summary;
}

std::string FormatLabelSummary(const LabelSummary& summary, LabelLayer layer)
{
    std::string text;
    if (layer == LabelLayer::Replay)
        text += "Labels: those set in replays (the .labels file); the labels set while recording are left out\n";
    else if (layer == LabelLayer::Live)
        text += "Labels: those set while recording\n";
    std::int64_t labelledUs = 0;
    for (const LabelTally& tally : summary.tallies)
        labelledUs += tally.labelledUs;
    AppendFormatted(text, "Ground truth: %.1f s labelled\n", double(labelledUs) / 1e6);
    for (const LabelTally& tally : summary.tallies) {
        const char* name = LabelName(tally.label);
        if (tally.labelledUs == 0)
            AppendFormatted(text, "  %-7s not labelled\n", name);
        else if (tally.ObservedUs() == 0)
            AppendFormatted(text, "  %-7s %.1f s labelled, not observed (no reports from the module)\n", name,
                            double(tally.labelledUs) / 1e6);
        else if (tally.unobservedUs > 0)
            AppendFormatted(text,
                            "  %-7s %.1f s labelled, %.1f s of it not observed (no reports from the module); "
                            "the module agreed %.1f %% of the rest\n",
                            name, double(tally.labelledUs) / 1e6, double(tally.unobservedUs) / 1e6,
                            tally.AgreementPercent());
        else
            AppendFormatted(text, "  %-7s %.1f s labelled, the module agreed %.1f %% of it\n", name,
                            double(tally.labelledUs) / 1e6, tally.AgreementPercent());
    }
    AppendFormatted(text, "False presence: %.1f s (the module reported someone while labelled empty)\n",
                    double(summary.falsePresenceUs) / 1e6);
    AppendFormatted(text, "Missed: %.1f s (the module reported nobody while labelled moving or still)\n",
                    double(summary.missedUs) / 1e6);
    if (summary.delaysUs.empty())
        text += "Delay after a label change: none measured\n";
    else
        AppendFormatted(text, "Delay after a label change: median %.0f ms, max %.0f ms over %zu changes\n",
                        summary.MedianDelayMs(), summary.MaxDelayMs(), summary.delaysUs.size());
    if (summary.neverAgreed > 0)
        AppendFormatted(text, "Never agreed before the next change: %zu %s\n", summary.neverAgreed,
                        summary.neverAgreed == 1 ? "change" : "changes");
    return text;
}
