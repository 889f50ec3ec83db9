#include "GdiplusGraphics.h"

#include <QImage>
#include <QPolygon>
#include <cmath>

#include "GdiplusBitmap.h"
#include "GdiplusBrush.h"
#include "GdiplusFont.h"
#include "GdiplusStringFormat.h"

namespace Gdiplus {

namespace {

// Text with a zero width or height has no layout box: no wrapping, no clipping.
constexpr qreal kUnboundedLayout = 1 << 24;

int qtTextFlags(const StringFormat* format, bool unbounded)
{
    const StringFormat defaults;
    const StringFormat& f = format != nullptr ? *format : defaults;
    int flags = 0;
    // Near is where reading starts: the left for left-to-right text, the right otherwise.
    const bool rtl = f.IsRightToLeft();
    switch (f.GetAlignment()) {
    case StringAlignmentCenter: flags |= Qt::AlignHCenter; break;
    case StringAlignmentFar: flags |= rtl ? Qt::AlignLeft : Qt::AlignRight; break;
    default: flags |= rtl ? Qt::AlignRight : Qt::AlignLeft; break;
    }
    switch (f.GetLineAlignment()) {
    case StringAlignmentCenter: flags |= Qt::AlignVCenter; break;
    case StringAlignmentFar: flags |= Qt::AlignBottom; break;
    default: flags |= Qt::AlignTop; break;
    }
    if (!unbounded && (f.GetFormatFlags() & StringFormatFlagsNoWrap) == 0) flags |= Qt::TextWordWrap;
    if (unbounded || (f.GetFormatFlags() & StringFormatFlagsNoClip) != 0) flags |= Qt::TextDontClip;
    return flags;
}

}  // namespace

Graphics::Graphics(Bitmap* target)
{
    if (target == nullptr || target->image().isNull()) {
        lastStatus_ = InvalidParameter;
        return;
    }
    if (IsIndexedPixelFormat(target->GetPixelFormat())) {
        lastStatus_ = OutOfMemory;
        return;
    }
    if (target->IsLocked()) {
        lastStatus_ = ObjectBusy;
        return;
    }
    if (!begin(&target->image())) lastStatus_ = OutOfMemory;
}

Graphics::Graphics(QImage* target)
{
    if (target == nullptr || target->isNull()) {
        lastStatus_ = InvalidParameter;
        return;
    }
    if (!begin(target)) lastStatus_ = OutOfMemory;
}

Graphics::Graphics(QPainter* painter)
{
    if (painter == nullptr || !painter->isActive()) {
        lastStatus_ = InvalidParameter;
        return;
    }
    painter_ = painter;
    // The caller's settings come back when the surface closes.
    painter_->save();
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter_->setRenderHint(QPainter::Antialiasing, false);
}

Graphics::~Graphics()
{
    if (ownPainter_ != nullptr)
        ownPainter_->end();
    else if (painter_ != nullptr)
        painter_->restore();
}

bool Graphics::begin(QImage* target)
{
    ownPainter_ = std::make_unique<QPainter>();
    if (!ownPainter_->begin(target)) {
        ownPainter_.reset();
        return false;
    }
    painter_ = ownPainter_.get();
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter_->setRenderHint(QPainter::Antialiasing, false);
    return true;
}

Status Graphics::GetLastStatus()
{
    const Status status = lastStatus_;
    lastStatus_ = Ok;
    return status;
}

Status Graphics::RecordStatus(Status status)
{
    if (status != Ok) lastStatus_ = status;
    return status;
}

Status Graphics::DrawImage(const Bitmap* image, const RectF& destination, const RectF& source, qreal opacity)
{
    if (painter_ == nullptr) return RecordStatus(WrongState);
    if (image == nullptr || image->image().isNull()) return RecordStatus(InvalidParameter);
    // QPainter reads a zero source size as "to the image's edge"; here it draws nothing.
    if (!(destination.Width > 0 && destination.Height > 0 && source.Width > 0 && source.Height > 0)) return Ok;
    const qreal oldOpacity = painter_->opacity();
    painter_->setOpacity(oldOpacity * opacity);
    painter_->drawImage(QRectF(destination.X, destination.Y, destination.Width, destination.Height), image->image(),
                        QRectF(source.X, source.Y, source.Width, source.Height));
    painter_->setOpacity(oldOpacity);
    return Ok;
}

Status Graphics::DrawImage(const Bitmap* image, const Rect& destination, const Rect& source, qreal opacity)
{
    return DrawImage(image, RectF{REAL(destination.X), REAL(destination.Y), REAL(destination.Width), REAL(destination.Height)},
                     RectF{REAL(source.X), REAL(source.Y), REAL(source.Width), REAL(source.Height)}, opacity);
}

Status Graphics::FillRectangle(const Brush* brush, const Rect& rect)
{
    if (painter_ == nullptr) return RecordStatus(WrongState);
    if (brush == nullptr) return RecordStatus(InvalidParameter);
    if (rect.Width <= 0 || rect.Height <= 0) return Ok;
    painter_->fillRect(QRect(rect.X, rect.Y, rect.Width, rect.Height), brush->qbrush());
    return Ok;
}

Status Graphics::FillPolygon(const Brush* brush, const Point* points, INT count)
{
    if (painter_ == nullptr) return RecordStatus(WrongState);
    if (brush == nullptr || points == nullptr || count < 1) return RecordStatus(InvalidParameter);
    QPolygon polygon;
    polygon.reserve(count);
    for (INT i = 0; i < count; ++i) polygon.append(QPoint(points[i].X, points[i].Y));
    painter_->save();
    painter_->setPen(Qt::NoPen);
    painter_->setBrush(brush->qbrush());
    painter_->drawPolygon(polygon, Qt::OddEvenFill);
    painter_->restore();
    return Ok;
}

Status Graphics::DrawRectangle(ARGB color, REAL penWidth, const RectF& rect)
{
    if (painter_ == nullptr) return RecordStatus(WrongState);
    if (!(penWidth >= 0) || !std::isfinite(penWidth)) return RecordStatus(InvalidParameter);
    QPen pen(QColor::fromRgba(color), penWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter_->save();
    painter_->setPen(pen);
    painter_->setBrush(Qt::NoBrush);
    painter_->drawRect(QRectF(rect.X, rect.Y, rect.Width, rect.Height));
    painter_->restore();
    return Ok;
}

Status Graphics::DrawString(const char16_t* text, INT length, const Font* font, const RectF& layout,
                            const StringFormat* format, const Brush* brush)
{
    if (painter_ == nullptr) return RecordStatus(WrongState);
    if (text == nullptr || brush == nullptr || length < -1) return RecordStatus(InvalidParameter);
    const QString string = length == -1 ? QString::fromUtf16(text) : QString::fromUtf16(text, length);
    if (string.isEmpty()) return Ok;

    const bool unbounded = !(layout.Width > 0 && layout.Height > 0);
    const QRectF box(layout.X, layout.Y, unbounded ? kUnboundedLayout : layout.Width,
                     unbounded ? kUnboundedLayout : layout.Height);
    painter_->save();
    if (font != nullptr) painter_->setFont(font->qfont());
    painter_->setPen(QPen(brush->qbrush(), 0));
    if (textHint_ == TextRenderingHintSingleBitPerPixel || textHint_ == TextRenderingHintSingleBitPerPixelGridFit)
        painter_->setRenderHint(QPainter::TextAntialiasing, false);
    else if (textHint_ != TextRenderingHintSystemDefault)
        painter_->setRenderHint(QPainter::TextAntialiasing, true);
    if (format != nullptr && format->IsRightToLeft()) painter_->setLayoutDirection(Qt::RightToLeft);
    painter_->drawText(box, qtTextFlags(format, unbounded), string);
    painter_->restore();
    return Ok;
}

Status Graphics::Clear(ARGB color)
{
    if (painter_ == nullptr) return RecordStatus(WrongState);
    const QPaintDevice* device = painter_->device();
    painter_->save();
    painter_->resetTransform();
    painter_->setCompositionMode(QPainter::CompositionMode_Source);
    painter_->fillRect(QRect(0, 0, device->width(), device->height()), QColor::fromRgba(color));
    painter_->restore();
    return Ok;
}

Status Graphics::SetTextRenderingHint(TextRenderingHint hint)
{
    if (hint < TextRenderingHintSystemDefault || hint > TextRenderingHintClearTypeGridFit)
        return RecordStatus(InvalidParameter);
    textHint_ = hint;
    return Ok;
}

}  // namespace Gdiplus
