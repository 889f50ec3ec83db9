#pragma once
#include <QString>

// A fixed axis label: the text shown instead of the number of label `index`.
// Owners pass lists of pointers to these; the axis keeps its own copies.
struct WaveLabel {
    int index = 0;
    QString text;
};
