#pragma once
#include <vector>

// Where the lines of a multi-line text go in a rectangle of the given top and height.
// lineSpacing above 0 is the gap in pixels between lines; 0 spreads the block
// evenly, with gaps of (height - sum of line heights) / (count + 1) above, between
// and below the lines whatever the alignment. lineAlignment: 0 top, 1 centre,
// 2 bottom (other values count as top). Returns each line's top, in order; empty
// for no lines.
std::vector<double> PlaceTextLines(const std::vector<double>& lineHeights, double top, double height,
                                   int lineSpacing, int lineAlignment);
