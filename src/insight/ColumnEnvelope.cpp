#include "ColumnEnvelope.h"

#include <algorithm>
#include <array>

#include "PresenceState.h"

void BuildEnvelope(const std::vector<DecodedReport>& reports, std::int64_t fromUs, std::int64_t toUs, int columns,
                   std::int64_t holdUs, std::vector<EnvelopeColumn>& out)
{
    out.clear();
    if (columns < 1 || toUs <= fromUs)
        return;
    out.resize(std::size_t(columns));
    const double span = double(toUs - fromUs);
    for (int c = 0; c < columns; ++c)
        out[std::size_t(c)].timeUs = fromUs + std::int64_t(span * c / columns);
    auto byTime = [](const DecodedReport& r, std::int64_t t) { return r.timeUs < t; };
    auto it = std::lower_bound(reports.begin(), reports.end(), fromUs, byTime);
    // The report before the range carries into its first columns.
    const DecodedReport* held = it != reports.begin() ? &*(it - 1) : nullptr;
    std::array<int, kPresenceStateCount> counts{};
    int column = 0;
    auto finish = [&](int c) {
        EnvelopeColumn& col = out[std::size_t(c)];
        if (col.hasData) {
            col.state = std::int8_t(std::max_element(counts.begin(), counts.end()) - counts.begin());
        } else if (held && col.timeUs - held->timeUs <= holdUs) {
            col.hasData = true;
            col.minimum = col.maximum = held->distance;
            col.state = std::int8_t(DisplayedState(held->state));
        }
        counts = {};
    };
    for (; it != reports.end() && it->timeUs < toUs; ++it) {
        const int c = std::min(int(double(it->timeUs - fromUs) * columns / span), columns - 1);
        for (; column < c; ++column)
            finish(column);
        EnvelopeColumn& col = out[std::size_t(c)];
        if (!col.hasData) {
            col.hasData = true;
            col.minimum = col.maximum = it->distance;
        } else {
            col.minimum = std::min(col.minimum, it->distance);
            col.maximum = std::max(col.maximum, it->distance);
        }
        ++counts[std::size_t(DisplayedState(it->state))];
        held = &*it;
    }
    for (; column < columns; ++column)
        finish(column);
}
