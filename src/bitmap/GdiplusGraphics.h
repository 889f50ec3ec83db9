#pragma once
#include <QPainter>
#include <memory>

#include "GdiplusTypes.h"

class QImage;

namespace Gdiplus {

class Bitmap;
class Brush;
class Font;
class StringFormat;

// A drawing surface over a QPainter with the status of its last failed call.
// Defaults: source-over blending, smooth (bilinear) scaling of pictures, no
// anti-aliasing of shapes, system text rendering.
// Threads: a surface belongs to one thread at a time; a surface on a QImage may be used
// off the UI thread, one on a widget's painter only inside its paint event.
class Graphics {
public:
    // On a bitmap's pixels. Palette formats cannot be drawn on: the surface is then
    // inert and its status OutOfMemory; a locked bitmap gives ObjectBusy.
    explicit Graphics(Bitmap* target);
    // On any QImage the caller keeps alive for the surface's life (e.g. a back buffer).
    explicit Graphics(QImage* target);
    // Borrows a painter that is already active; it is left active.
    explicit Graphics(QPainter* painter);
    ~Graphics();

    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    // The last failing status, then reset to Ok.
    Status GetLastStatus();
    // Keeps a failing status; Ok leaves it. Returns status.
    Status RecordStatus(Status status);

    // Draws source (pixels of image) into destination; parts of source outside the
    // image draw nothing. opacity scales the image's alpha (1: unchanged).
    Status DrawImage(const Bitmap* image, const RectF& destination, const RectF& source, qreal opacity = 1.0);
    Status DrawImage(const Bitmap* image, const Rect& destination, const Rect& source, qreal opacity = 1.0);
    Status FillRectangle(const Brush* brush, const Rect& rect);
    // Even-odd fill of the polygon through count points (at least 1).
    Status FillPolygon(const Brush* brush, const Point* points, INT count);
    Status DrawRectangle(ARGB color, REAL penWidth, const RectF& rect);
    // length -1: up to the terminating 0. font and format may be null (defaults).
    Status DrawString(const char16_t* text, INT length, const Font* font, const RectF& layout,
                      const StringFormat* format, const Brush* brush);
    Status Clear(ARGB color);

    // Kept on the surface for every later text call.
    Status SetTextRenderingHint(TextRenderingHint hint);
    TextRenderingHint GetTextRenderingHint() const { return textHint_; }

    // The painter under the surface; null when it could not be opened.
    QPainter* painter() const { return painter_; }

private:
    bool begin(QImage* target);

    std::unique_ptr<QPainter> ownPainter_;
    QPainter* painter_ = nullptr;
    Status lastStatus_ = Ok;
    TextRenderingHint textHint_ = TextRenderingHintSystemDefault;
};

}  // namespace Gdiplus
