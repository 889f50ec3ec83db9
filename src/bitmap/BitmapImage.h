#pragma once
// Read access to a bitmap's pixels for Qt painting code, e.g.
//   painter.drawImage(target, BitmapImage(*bitmap));
#include <QImage>

#include "GdiplusBitmap.h"

// The bitmap's pixels; valid while the bitmap lives and is neither locked nor drawn
// into. Copy the QImage only for as long as one paint needs it.
inline const QImage& BitmapImage(const Gdiplus::Bitmap& bitmap) { return bitmap.image(); }
