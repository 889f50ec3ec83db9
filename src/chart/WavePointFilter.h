#pragma once
#include <vector>

#include "PtrArrayCtrl.h"
#include "WinTypes.h"

// Frame-time reductions of a wave's packed points (WavePoint.h), in place.
// scratch is reused storage so that no frame allocates once it has warmed up.

// Drops the points outside plot (right and bottom exclusive); a break stays where it
// still separates two kept points.
void DropPointsOutside(CPtrArrayCtrl& points, const RECT& plot, std::vector<void*>& scratch);

// Keeps at most about maxPoints points across plotWidth: the first and the last
// always stay, and every other point stays only when it is at least plotWidth /
// maxPoints (integer division) pixels right of the last point kept. Breaks and the
// points on either side of them always stay. Nothing is
// dropped when maxPoints is 0 or less or that spacing is below 1.
void ThinPoints(CPtrArrayCtrl& points, int plotWidth, int maxPoints, std::vector<void*>& scratch);
