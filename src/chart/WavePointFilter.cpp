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
        const POINT p = UnpackWavePoint(item);
        if (p.x >= plot.left && p.x < plot.right && p.y >= plot.top && p.y < plot.bottom)
            scratch.push_back(item);
    }
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
        const long long x = UnpackWavePoint(item).x;
        if (x >= lastKeptX + spacing) {
            scratch.push_back(item);
            lastKeptX = x;
        }
    }
    scratch.push_back(points.GetAt(count - 1));
    ReplaceWith(points, scratch);
}
