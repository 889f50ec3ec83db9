// Text, filled shapes and outlines on a surface, and the right-to-left query.
#include <climits>
#include <vector>

#include "BitmapFactory.h"
#include "GdiplusApi.h"
#include "GdiplusBrush.h"

using Gdiplus::Graphics;

namespace {
constexpr UINT kArabicSaudiArabia = 0x0401;
constexpr UINT kHebrew = 0x040D;
}  // namespace

extern "C" BOOL Gdiplus_GetStringFormat(UINT languageId)
{
    const UINT language = languageId & 0xFFFF;
    return language == kArabicSaudiArabia || language == kHebrew ? 1 : 0;
}

extern "C" void Gdiplus_DrawText(Graphics* graphics, const char16_t* text, const Gdiplus::RectF* layout,
                                 const ARGB* color, const Gdiplus::StringFormat* format, const Gdiplus::Font* font)
{
    if (graphics == nullptr || text == nullptr || text[0] == 0 || layout == nullptr || color == nullptr) return;
    RunGuarded([&] {
        const Gdiplus::SolidBrush brush(*color);
        // The hint stays on the surface for later text, as callers expect.
        graphics->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
        graphics->DrawString(text, -1, font, *layout, format, &brush);
    });
}

extern "C" void Gdiplus_FillRect(Graphics* graphics, const RECT* rect, const Gdiplus::Brush* brush)
{
    if (graphics == nullptr || rect == nullptr) return;
    const qint64 width = qint64(rect->right) - rect->left;
    const qint64 height = qint64(rect->bottom) - rect->top;
    if (width > INT_MAX || height > INT_MAX) {
        graphics->RecordStatus(Gdiplus::ValueOverflow);
        return;
    }
    RunGuarded([&] {
        graphics->FillRectangle(brush, Gdiplus::Rect{rect->left, rect->top, INT(width), INT(height)});
    });
}

extern "C" void Gdiplus_FillPolygon(Graphics* graphics, const POINT* points, int count, const Gdiplus::Brush* brush)
{
    if (graphics == nullptr) return;
    if (points == nullptr || count < 1) {
        graphics->RecordStatus(Gdiplus::InvalidParameter);
        return;
    }
    RunGuarded([&] {
        std::vector<Gdiplus::Point> corners(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) corners[std::size_t(i)] = Gdiplus::Point{points[i].x, points[i].y};
        graphics->FillPolygon(brush, corners.data(), count);
    });
}

extern "C" void Gdiplus_DrawRect(Graphics* graphics, const RECT* rect, ARGB color, float penWidth)
{
    if (graphics == nullptr || rect == nullptr) return;
    // Narrowed by the pen width, so the stroke's right and bottom halves stay inside.
    const double width = double(rect->right) - rect->left - penWidth;
    const double height = double(rect->bottom) - rect->top - penWidth;
    RunGuarded([&] {
        graphics->DrawRectangle(color, penWidth, MakeRectF(rect->left, rect->top, width, height));
    });
}
