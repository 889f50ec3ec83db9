#include "BitmapFactory.h"

Gdiplus::Status DrawBitmapOnto(Gdiplus::Bitmap* target, const Gdiplus::Bitmap* source,
                               const Gdiplus::RectF& destination, const Gdiplus::RectF& sourceRect)
{
    Gdiplus::Graphics graphics(target);
    if (graphics.painter() == nullptr) return graphics.GetLastStatus();
    graphics.DrawImage(source, destination, sourceRect);
    return graphics.GetLastStatus();
}
