#include "WavePointFilter.h"

#include "WavePoint.h"

namespace {

void ReplaceWith(CPtrArrayCtrl& points, const std::vector<void*>& kept)
{
    points.RemoveAll();
    for (void* item : kept)
        points.AddData(item, -1);
}

}  // namespace

void DropPointsOutside(CPtrArrayCtrl& points, const RECT& plot, std::vector<void*>& scratch)
{
    const int count = points.GetCount();
    scratch.clear();
    for (int i = 0; i < count; ++i) {
        void* item = points.GetAt(i);
        if (IsWaveBreak(item)) {
            // Only between two kept points.
            if (!scratch.empty() && !IsWaveBreak(scratch.back()))
                scratch.push_back(item);
            continue;
        }
        const POINT p = UnpackWavePoint(item);
        if (p.x >= plot.left && p.x < plot.right && p.y >= plot.top && p.y < plot.bottom)
            scratch.push_back(item);
    }
    if (!scratch.empty() && IsWaveBreak(scratch.back()))
        scratch.pop_back();
    if (int(scratch.size()) != count)
        ReplaceWith(points, scratch);
}

void ThinPoints(CPtrArrayCtrl& points, int plotWidth, int maxPoints, std::vector<void*>& scratch)
{
    if (maxPoints <= 0)
        return;
    const int spacing = plotWidth / maxPoints;
    const int count = points.GetCount();
    if (spacing < 1 || count < 3)
        return;
    scratch.clear();
    scratch.push_back(points.GetAt(0));
    long long lastKeptX = UnpackWavePoint(points.GetAt(0)).x;
    for (int i = 1; i + 1 < count; ++i) {
        void* item = points.GetAt(i);
        // A break, and the points on either side of it, end and start a line: kept.
        const bool atBreak = IsWaveBreak(item) || IsWaveBreak(points.GetAt(i - 1)) || IsWaveBreak(points.GetAt(i + 1));
        const long long x = IsWaveBreak(item) ? lastKeptX : UnpackWavePoint(item).x;
        if (atBreak || x >= lastKeptX + spacing) {
            scratch.push_back(item);
            lastKeptX = x;
        }
    }
    scratch.push_back(points.GetAt(count - 1));
    ReplaceWith(points, scratch);
}
