#include "LabelSummary.h"

#include <algorithm>
#include <cstdarg>
#include "CLocaleFormat.h"

namespace {
constexpr std::int32_t kNobody = 0;
constexpr std::int32_t kMoving = 1;
constexpr std::int32_t kMotionless = 2;

// The module's state at a moment; known is false before its first report.
struct ModuleState {
    bool known = false;
    std::int32_t state = 0;
};

bool Agrees(GroundTruthLabel label, ModuleState module)
{
    if (!module.known)
        return false;
    switch (label) {
    case GroundTruthLabel::Empty: return module.state == kNobody;
    case GroundTruthLabel::Moving: return module.state == kMoving;
    case GroundTruthLabel::Still: return module.state == kMotionless || module.state == kMoving;
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

// Adds the time from `from` to `to` under label, the module's state changing at each
// report in between; `next` is the first report after `from` and moves on.
void TallyInterval(LabelSummary& summary, GroundTruthLabel label, std::int64_t from, std::int64_t to,
                   const std::vector<DecodedReport>& reports, std::size_t& next, ModuleState& module)
{
    while (from < to) {
        const std::int64_t until = next < reports.size() && reports[next].timeUs < to ? reports[next].timeUs : to;
        const std::int64_t span = until - from;
        LabelTally& tally = summary.tallies[TallyIndex(label)];
        tally.labelledUs += span;
        if (Agrees(label, module))
            tally.agreeingUs += span;
        const bool present = module.known && (module.state == kMoving || module.state == kMotionless);
        if (label == GroundTruthLabel::Empty && present)
            summary.falsePresenceUs += span;
        if (label != GroundTruthLabel::Empty && module.known && module.state == kNobody)
            summary.missedUs += span;
        from = until;
        while (next < reports.size() && reports[next].timeUs <= from)
            module = {true, reports[next++].state};
    }
}

// The time from a change at `at` to the module's first agreeing report before `limit`;
// -1 when it does not agree in time.
std::int64_t DelayAfterChange(GroundTruthLabel label, std::int64_t at, std::int64_t limit, ModuleState module,
                              const std::vector<DecodedReport>& reports, std::size_t next)
{
    if (Agrees(label, module))
        return 0;
    for (; next < reports.size() && reports[next].timeUs < limit; ++next) {
        if (Agrees(label, {true, reports[next].state}))
            return reports[next].timeUs - at;
    }
    return -1;
}
}  // namespace

double LabelTally::AgreementPercent() const
{
    return labelledUs > 0 ? 100.0 * double(agreeingUs) / double(labelledUs) : 0.0;
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
                             std::int64_t endUs)
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

    std::size_t next = 0;
    ModuleState module;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const std::int64_t from = std::min(changes[i].timeUs, endUs);
        const std::int64_t to = std::min(i + 1 < changes.size() ? changes[i + 1].timeUs : endUs, endUs);
        while (next < reports.size() && reports[next].timeUs <= from)
            module = {true, reports[next++].state};
        const GroundTruthLabel label = changes[i].label;
        if (label == GroundTruthLabel::Off || from >= to)
            continue;
        const std::int64_t delay = DelayAfterChange(label, from, to, module, reports, next);
        if (delay < 0)
            ++summary.neverAgreed;
        else
            summary.delaysUs.push_back(delay);
        TallyInterval(summary, label, from, to, reports, next, module);
    }
    std::sort(summary.delaysUs.begin(), summary.delaysUs.end());
    return summary;
}

std::string FormatLabelSummary(const LabelSummary& summary)
{
    std::string text;
    std::int64_t labelledUs = 0;
    for (const LabelTally& tally : summary.tallies)
        labelledUs += tally.labelledUs;
    AppendFormatted(text, "Ground truth: %.1f s labelled\n", double(labelledUs) / 1e6);
    for (const LabelTally& tally : summary.tallies) {
        if (tally.labelledUs == 0)
            AppendFormatted(text, "  %-7s not labelled\n", LabelName(tally.label));
        else
            AppendFormatted(text, "  %-7s %.1f s labelled, the module agreed %.1f %% of it\n", LabelName(tally.label),
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
