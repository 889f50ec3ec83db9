#include "StringPainter.h"

#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace {

// Heights of whole lines are multiples of 1/64 pixel; this only absorbs the
// floating-point sum of them when deciding whether a line still fits.
constexpr double kFitTolerance = 1.0 / 128;

QString ToLayoutText(const QString& text)
{
    QString laidOut = text;
    laidOut.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    laidOut.replace(QLatin1Char('\r'), QChar::LineSeparator);
    laidOut.replace(QLatin1Char('\n'), QChar::LineSeparator);
    // A break at the very end opens no line that could show anything.
    if (laidOut.endsWith(QChar::LineSeparator))
        laidOut.chop(1);
    return laidOut;
}

Qt::Alignment HorizontalAlignment(int alignment)
{
    switch (alignment) {
    case 1:
        return Qt::AlignHCenter;
    case 2:
        return Qt::AlignRight | Qt::AlignAbsolute;
    default:
        return Qt::AlignLeft | Qt::AlignAbsolute;
    }
}

// Lays every line out at the given width, one under the other from y = 0;
// returns the height of the whole block.
double LayOut(QTextLayout& layout, double width, Qt::Alignment alignment)
{
    QTextOption option(alignment);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    double y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(std::max(0.0, width));
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    return y;
}

}  // namespace

double CStringPainter::MeasureHeight(const QString& text, const QFont& font, double width,
                                     QPaintDevice* device)
{
    const QString laidOut = ToLayoutText(text);
    if (laidOut.isEmpty())
        return 0;
    QTextLayout layout(laidOut, font, device);
    return LayOut(layout, width, Qt::AlignLeft | Qt::AlignAbsolute);
}

void CStringPainter::Draw(QPainter& painter, const QString& text, const QFont& font, const QRectF& rect,
                          const StringFormat& format, const QColor& color)
{
    const QString laidOut = ToLayoutText(text);
    if (laidOut.isEmpty() || rect.width() <= 0 || rect.height() <= 0)
        return;
    QTextLayout layout(laidOut, font, painter.device());
    double blockHeight = LayOut(layout, rect.width(), HorizontalAlignment(format.alignment));

    int shown = layout.lineCount();
    if (format.flags & StringFormat::kLineLimit) {
        shown = 0;
        while (shown < layout.lineCount()) {
            const QTextLine line = layout.lineAt(shown);
            if (line.y() + line.height() > rect.height() + kFitTolerance)
                break;
            ++shown;
        }
        if (shown == 0)
            return;
        const QTextLine last = layout.lineAt(shown - 1);
        blockHeight = last.y() + last.height();
    }

    double top = rect.top();
    if (format.lineAlignment == 1)
        top += (rect.height() - blockHeight) / 2;
    else if (format.lineAlignment == 2)
        top += rect.height() - blockHeight;

    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setPen(color);
    for (int i = 0; i < shown; ++i)
        layout.lineAt(i).draw(&painter, QPointF(rect.left(), top));
    painter.restore();
}
