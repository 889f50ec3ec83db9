#include "TextLinePlacement.h"

#include <numeric>

std::vector<double> PlaceTextLines(const std::vector<double>& lineHeights, double top, double height,
                                   int lineSpacing, int lineAlignment)
{
    std::vector<double> tops;
    if (lineHeights.empty())
        return tops;
    const double count = double(lineHeights.size());
    const double sum = std::accumulate(lineHeights.begin(), lineHeights.end(), 0.0);
    const double gap = lineSpacing > 0 ? double(lineSpacing) : (height - sum) / (count + 1);

    double y = top + gap;
    if (lineAlignment == 1)
        y = top + gap + ((height - sum) - (count + 1) * gap) / 2;
    else if (lineAlignment == 2)
        y = top + height - sum - count * gap;

    tops.reserve(lineHeights.size());
    for (const double lineHeight : lineHeights) {
        tops.push_back(y);
        y += lineHeight + gap;
    }
    return tops;
}
