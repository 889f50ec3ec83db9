#pragma once
#include <QRgb>
#include <QString>

#include <vector>

// Writes a real animated GIF with giflib: one frame per colour, each filling the
// whole width x height canvas, delayCentiseconds apart. Returns false on failure.
bool WriteSolidColourGif(const QString& path, int width, int height, const std::vector<QRgb>& frameColours,
                         int delayCentiseconds);
