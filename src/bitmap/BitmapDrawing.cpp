// Drawing a bitmap onto a surface: placed by mode, or with uniform transparency.
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>

#include "BitmapFactory.h"
#include "GdiplusApi.h"

using Gdiplus::Bitmap;
using Gdiplus::Graphics;

namespace {

// Integer rectangle as origin and size, wide enough for any RECT arithmetic.
struct Box {
    qint64 x = 0;
    qint64 y = 0;
    qint64 w = 0;
    qint64 h = 0;
};

Box boxOf(const RECT& r) { return Box{r.left, r.top, qint64(r.right) - r.left, qint64(r.bottom) - r.top}; }

Box sourceBox(const Bitmap& bitmap, const RECT* source)
{
    return source != nullptr ? boxOf(*source) : Box{0, 0, bitmap.GetWidth(), bitmap.GetHeight()};
}

void draw(Graphics* graphics, const Bitmap* bitmap, const Box& to, const Box& from, qreal opacity = 1.0)
{
    graphics->DrawImage(bitmap, MakeRectF(double(to.x), double(to.y), double(to.w), double(to.h)),
                        MakeRectF(double(from.x), double(from.y), double(from.w), double(from.h)), opacity);
}

// The part of the surface that can show anything, in drawing coordinates.
QRectF visibleArea(const QPainter& painter)
{
    const QPaintDevice* device = painter.device();
    return painter.transform().inverted().mapRect(QRectF(0, 0, device->width(), device->height()));
}

// Index range [first, last] of the tiles of size step from origin that meet
// [low, high), within [0, count).
std::pair<qint64, qint64> tilesMeeting(double low, double high, qint64 origin, qint64 step, qint64 count)
{
    const qint64 first = std::max<qint64>(0, qint64(std::floor((low - double(origin)) / double(step))));
    const qint64 last = std::min<qint64>(count - 1, qint64(std::ceil((high - double(origin)) / double(step))));
    return {first, last};
}

// Whole source in every tile; tiles in the last column and row are narrower or lower
// and receive the source compressed. Only tiles on the surface are drawn, and the
// full-size ones in one textured fill, so a tiny source on a big area stays cheap.
void drawTiled(Graphics* graphics, const Bitmap* bitmap, const Box& to, const Box& from)
{
    QPainter* painter = graphics->painter();
    const qint64 fullColumns = to.w / from.w;
    const qint64 fullRows = to.h / from.h;
    const qint64 columns = (to.w + from.w - 1) / from.w;
    const qint64 rows = (to.h + from.h - 1) / from.h;
    if (rows == 0 || columns == 0) return;

    if (fullColumns > 0 && fullRows > 0) {
        const QImage tile = bitmap->image()
                                .copy(QRect(int(from.x), int(from.y), int(from.w), int(from.h)))
                                .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        painter->save();
        painter->setBrushOrigin(QPointF(double(to.x), double(to.y)));
        painter->fillRect(QRectF(double(to.x), double(to.y), double(fullColumns * from.w), double(fullRows * from.h)),
                          QBrush(tile));
        painter->restore();
    }
    const QRectF visible = visibleArea(*painter);
    const auto [firstRow, lastRow] = tilesMeeting(visible.top(), visible.bottom(), to.y, from.h, rows);
    const auto [firstColumn, lastColumn] = tilesMeeting(visible.left(), visible.right(), to.x, from.w, columns);
    if (fullColumns < columns) {
        const qint64 x = fullColumns * from.w;
        for (qint64 r = firstRow; r <= lastRow; ++r) {
            const qint64 y = r * from.h;
            draw(graphics, bitmap, Box{to.x + x, to.y + y, to.w - x, std::min(y + from.h, to.h) - y}, from);
        }
    }
    if (fullRows < rows) {
        const qint64 y = fullRows * from.h;
        for (qint64 c = firstColumn; c <= std::min(lastColumn, fullColumns - 1); ++c)
            draw(graphics, bitmap, Box{to.x + c * from.w, to.y + y, from.w, to.h - y}, from);
    }
}

}  // namespace

extern "C" void Gdiplus_DrawBitmap(Graphics* graphics, const RECT* destination, Bitmap* bitmap, const RECT* source,
                                   int mode)
{
    if (graphics == nullptr || bitmap == nullptr || destination == nullptr) return;
    if (graphics->painter() == nullptr) {
        graphics->RecordStatus(Gdiplus::WrongState);
        return;
    }
    const Box to = boxOf(*destination);
    const Box from = sourceBox(*bitmap, source);
    if (to.w <= 0 || to.h <= 0 || from.w <= 0 || from.h <= 0 || from.w > INT_MAX || from.h > INT_MAX) return;
    RunGuarded([&] {
        switch (mode) {
        case 0: {  // cut a piece of the source's own proportions, stretch it over the destination
            const double s = std::min(double(from.w) / double(to.w), double(from.h) / double(to.h));
            const qint64 cw = std::min<qint64>(from.w, qint64(double(from.w) / s));
            const qint64 ch = std::min<qint64>(from.h, qint64(double(from.h) / s));
            draw(graphics, bitmap, to, Box{from.x + (from.w - cw) / 2, from.y + (from.h - ch) / 2, cw, ch});
            break;
        }
        case 1: {  // fit inside, centred
            const double s = std::max(double(from.w) / double(to.w), double(from.h) / double(to.h));
            const auto cw = qint64(double(from.w) / s);
            const auto ch = qint64(double(from.h) / s);
            draw(graphics, bitmap, Box{to.x + (to.w - cw) / 2, to.y + (to.h - ch) / 2, cw, ch}, from);
            break;
        }
        case 2: drawTiled(graphics, bitmap, to, from); break;
        case 3: {  // centre without scaling
            const qint64 w = std::min(from.w, to.w);
            const qint64 h = std::min(from.h, to.h);
            const qint64 sx = from.w > to.w ? from.x + (from.w - to.w) / 2 : from.x;
            const qint64 sy = from.h > to.h ? from.y + (from.h - to.h) / 2 : from.y;
            const qint64 dx = from.w <= to.w ? to.x + (to.w - from.w) / 2 : to.x;
            const qint64 dy = from.h <= to.h ? to.y + (to.h - from.h) / 2 : to.y;
            draw(graphics, bitmap, Box{dx, dy, w, h}, Box{sx, sy, w, h});
            break;
        }
        default: draw(graphics, bitmap, to, from); break;
        }
    });
}

extern "C" void Gdiplus_DrawAlphaBitmap(Graphics* graphics, const RECT* destination, Bitmap* bitmap,
                                        const RECT* source, int stretch, BYTE alpha)
{
    if (graphics == nullptr || bitmap == nullptr || destination == nullptr) return;
    const Box to = boxOf(*destination);
    const Box from = sourceBox(*bitmap, source);
    // alpha / 256: 255 leaves a trace of transparency, as the colour matrix does.
    const qreal opacity = alpha * 0.00390625;
    RunGuarded([&] {
        if (stretch != 0) {
            draw(graphics, bitmap, to, from, opacity);
        } else {
            const qint64 w = std::min(from.w, to.w);
            const qint64 h = std::min(from.h, to.h);
            draw(graphics, bitmap, Box{to.x + (to.w - w) / 2, to.y + (to.h - h) / 2, w, h}, Box{from.x, from.y, w, h},
                 opacity);
        }
    });
}
