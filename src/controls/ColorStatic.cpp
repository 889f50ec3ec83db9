#include "ColorStatic.h"

#include <QGuiApplication>
#include <QPainter>
#include <QTimerEvent>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "BitmapImage.h"
#include "GdiplusApi.h"
#include "PtrArrayCtrl.h"
#include "StringPainter.h"
#include "SysColors.h"
#include "TextConvert.h"
#include "TextLinePlacement.h"

namespace {

// A glyph taller than this shows on no screen; the cap keeps absurd point sizes from
// asking the font engine for gigantic glyphs.
constexpr int kMaxFontPixels = 4096;
// The Windows weight the control's font asks for: the lightest there is. Faces with a
// single weight (the CJK fallback among them) draw it at their regular weight.
constexpr int kFontWeight = 1;

// number * numerator / denominator rounded half away from zero, -1 when the result
// does not fit or the denominator is 0: the Windows MulDiv.
int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    const long long product = static_cast<long long>(number) * numerator;
    long long quotient = product / denominator;
    const long long remainder = product % denominator;
    if (2 * std::llabs(remainder) >= std::llabs(static_cast<long long>(denominator)))
        quotient += ((product < 0) != (denominator < 0)) ? -1 : 1;
    if (quotient > INT32_MAX || quotient < INT32_MIN)
        return -1;
    return int(quotient);
}

QFont ControlFont(int characterHeight)
{
    QFont font;
    // "宋体" is what the dialogs ask for; where it is missing, the installed CJK face
    // rather than whatever sans-serif fontconfig would pick for an unknown name.
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("WenQuanYi Micro Hei")});
    if (characterHeight != 0) {
        font.setPixelSize(std::min(std::abs(characterHeight), kMaxFontPixels));
    } else {
        // Height 0 asks for the platform's default character height.
        const QFont fallback = QGuiApplication::font();
        if (fallback.pixelSize() > 0)
            font.setPixelSize(fallback.pixelSize());
        else
            font.setPointSizeF(fallback.pointSizeF());
    }
    font.setWeight(QFont::Weight(kFontWeight));
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

struct TextBlockDeleter {
    void operator()(char16_t* block) const { Internal_DelArrayW(block); }
};

}  // namespace

CColorStatic::CColorStatic(QWidget* parent)
    : QLabel(parent),
      m_backColor(CSysColors::Get(CSysColors::kBtnFace)),
      m_textColor(CSysColors::Get(CSysColors::kBtnText))
{
    // Every pixel is painted in paintEvent, so Qt need not erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    // The text is drawn as given; QLabel must not interpret it as rich text.
    setTextFormat(Qt::PlainText);
}

CColorStatic::~CColorStatic()
{
    m_animationTimer.stop();
    DeleteImage();
    m_gifDecoder.Unload();
}

void CColorStatic::SetStyle(COLORREF backColor, const char16_t* text, int fontHeight, int alignment)
{
    m_textRect = RECT{};
    SetFontHeight(fontHeight);
    if (StringFormat::IsValidAlignment(alignment))
        m_stringFormat.alignment = alignment;
    m_stringFormat.lineAlignment = 1;
    m_stringFormat.flags = 0;
    m_lineSpacing = 0;
    m_textColor = RGB(0, 0, 0);
    ClearPicture();
    m_backColor = backColor;
    if (text)
        setText(QString::fromUtf16(text));
    update();
}

int CColorStatic::LogicalDpi() const
{
    return m_logicalDpi > 0 ? m_logicalDpi : logicalDpiY();
}

void CColorStatic::SetFontHeight(int points)
{
    const int pixels = MulDiv(points, LogicalDpi(), 72);
    m_font = ControlFont(-pixels);
    setFont(*m_font);
}

void CColorStatic::SetBitmap(Gdiplus::Bitmap* bitmap)
{
    ClearPicture();
    m_image = Gdiplus_CopyBitmap(bitmap);
    update();
}

void CColorStatic::SetTextColor(COLORREF color)
{
    m_textColor = color;
    update();
}

void CColorStatic::SetLineSpacing(int spacing)
{
    m_lineSpacing = spacing;
    update();
}

void CColorStatic::SetTextRect(const RECT& rect)
{
    m_textRect = rect;
    update();
}

void CColorStatic::DeleteImage()
{
    Gdiplus_DeleteBitmap(m_image);
    m_image = nullptr;
}

void CColorStatic::ClearPicture()
{
    m_animationTimer.stop();
    // The picture may lie over the decoder's frame memory: it goes first.
    DeleteImage();
    m_gifDecoder.Unload();
}

bool CColorStatic::SubclassWidget(QWidget* placeholder)
{
    if (!placeholder || placeholder == this)
        return false;
    setParent(placeholder->parentWidget());
    setGeometry(placeholder->geometry());
    setObjectName(placeholder->objectName());
    setEnabled(placeholder->isEnabled());
    if (auto* label = qobject_cast<QLabel*>(placeholder))
        setText(label->text());
    setFont(m_font ? *m_font : placeholder->font());
    if (parentWidget())
        stackUnder(placeholder);
    setVisible(!placeholder->isHidden());
    delete placeholder;
    return true;
}

void CColorStatic::paintEvent(QPaintEvent*)
{
    const QRect itemRect = rect();
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(itemRect.size()) * ratio).toSize();
    if (pixels.isEmpty())
        return;
    if (m_buffer.size() != pixels || m_buffer.devicePixelRatio() != ratio) {
        m_buffer = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        m_buffer.setDevicePixelRatio(ratio);
    }
    if (m_buffer.isNull())
        return;
    // Like a freshly made memory bitmap the buffer starts black; a picture covers it,
    // no background colour is laid under the picture.
    m_buffer.fill(Qt::black);
    {
        QPainter memory(&m_buffer);
        DrawItem(memory, itemRect);
    }
    QPainter screen(this);
    screen.drawImage(itemRect.topLeft(), m_buffer);
}

void CColorStatic::DrawItem(QPainter& painter, const QRect& itemRect)
{
    const QFont paintFont = font();
    const QRectF area(itemRect);
    if (m_image && !BitmapImage(*m_image).isNull()) {
        const QImage& picture = BitmapImage(*m_image);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(area, picture, QRectF(picture.rect()));
    } else {
        painter.fillRect(area, CSysColors::ToOpaqueColor(m_backColor));
    }

    const QString windowText = text();
    const QRectF layoutRect = IsRectEmpty(m_textRect)
        ? area
        : QRectF(m_textRect.left, m_textRect.top, RectWidth(m_textRect), RectHeight(m_textRect));
    if (m_lineSpacing < 0) {
        if (!windowText.isEmpty())
            CStringPainter::Draw(painter, windowText, paintFont, layoutRect, m_stringFormat,
                                 CSysColors::ToOpaqueColor(m_textColor));
    } else {
        DrawMultiLineText(painter, paintFont, windowText, layoutRect);
    }
}

void CColorStatic::DrawMultiLineText(QPainter& painter, const QFont& font, const QString& text,
                                     const QRectF& rect)
{
    CPtrArrayCtrl pieces;
    const char16_t lineFeed = u'\n';
    const int length = int(std::min<qsizetype>(text.size(), INT32_MAX));
    const std::unique_ptr<char16_t, TextBlockDeleter> block(DevideStringByCharListW(
        reinterpret_cast<const char16_t*>(text.utf16()), length, &lineFeed, 1, 0, &pieces, -1));
    if (!block || pieces.GetCount() == 0)
        return;

    std::vector<QString> lines;
    std::vector<double> heights;
    lines.reserve(std::size_t(pieces.GetCount()));
    heights.reserve(std::size_t(pieces.GetCount()));
    for (int i = 0; i < pieces.GetCount(); ++i) {
        lines.push_back(QString::fromUtf16(static_cast<const char16_t*>(pieces.GetAt(i))));
        heights.push_back(CStringPainter::MeasureHeight(lines.back(), font, rect.width(), painter.device()));
    }

    const std::vector<double> tops =
        PlaceTextLines(heights, rect.top(), rect.height(), m_lineSpacing, m_stringFormat.lineAlignment);
    const QColor color = CSysColors::ToOpaqueColor(m_textColor);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].isEmpty())
            CStringPainter::Draw(painter, lines[i], font, QRectF(rect.left(), tops[i], rect.width(), heights[i]),
                                 m_stringFormat, color);
    }
}
