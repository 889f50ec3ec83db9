#include "ChartBackgroundPainter.h"

#include <QFont>
#include <QPainter>
#include <QPen>

namespace {

const QColor kField(0xFF, 0xFF, 0xFF);
const QColor kSideEdge(0x00, 0x8C, 0xD8);   // a deeper tone of the axis label colour
const QColor kBottomEdge(0xFF, 0x8A, 0x00);
const QColor kThirdLine(0xD2, 0xE2, 0xF0);
const QColor kQuarterLine(0x9F, 0xB3, 0xC6);
const QColor kCaption(0x4F, 0x61, 0x73);

// The chart shrinks the picture to roughly half size, so strokes are two pixels or more.
constexpr int kSideEdgeWidth = 6;
constexpr int kBottomEdgeWidth = 6;
constexpr int kGridWidth = 3;

}  // namespace

QImage ChartBackgroundPainter::paint(const QString& rangeCaption, const QString& timeCaption) const
{
    QImage image(kSize, QImage::Format_ARGB32);
    image.fill(kField);
    const int width = image.width();
    const int height = image.height();
    QPainter painter(&image);

    // Grid first, edges over it, so the lines end cleanly at the edges.
    painter.setPen(QPen(kThirdLine, kGridWidth));
    for (int third = 1; third <= 2; ++third) {
        const int x = width * third / 3;
        painter.drawLine(x, 0, x, height);
    }
    QPen dashed(kQuarterLine, kGridWidth, Qt::CustomDashLine, Qt::FlatCap);
    dashed.setDashPattern({4, 3});
    painter.setPen(dashed);
    for (int quarter = 1; quarter <= 3; ++quarter) {
        const int y = height * quarter / 4;
        painter.drawLine(0, y, width, y);
    }

    painter.fillRect(0, 0, kSideEdgeWidth, height, kSideEdge);
    painter.fillRect(width - kSideEdgeWidth, 0, kSideEdgeWidth, height, kSideEdge);
    painter.fillRect(0, height - kBottomEdgeWidth, width, kBottomEdgeWidth, kBottomEdge);

    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font;
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(26);
    painter.setFont(font);
    painter.setPen(kCaption);
    const int margin = 14;
    const QRect inner(kSideEdgeWidth + margin, margin, width - 2 * (kSideEdgeWidth + margin),
                      height - kBottomEdgeWidth - 2 * margin);
    painter.drawText(inner, Qt::AlignLeft | Qt::AlignTop, rangeCaption);
    painter.drawText(inner, Qt::AlignRight | Qt::AlignBottom, timeCaption);
    return image;
}
