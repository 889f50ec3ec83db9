#pragma once
#include <QBasicTimer>
#include <QFont>
#include <QImage>
#include <QLabel>

#include <cstddef>
#include <optional>

#include "GifDecoder.h"
#include "StringFormat.h"
#include "WinTypes.h"

namespace Gdiplus {
class Bitmap;
}

// A static text control that paints all of itself, through an off-screen buffer:
// a picture stretched over the whole area or a plain background colour, and on top
// the window text (QLabel::text) in the control's own font, colour and alignment,
// as one block or line by line. It can also play a GIF animation frame by frame.
// Everything here runs on the user-interface thread that owns the control.
class CColorStatic : public QLabel {
    Q_OBJECT
public:
    // The identifier OnTimer knows as the animation tick.
    static constexpr int kAnimationTimerId = 1;

    explicit CColorStatic(QWidget* parent = nullptr);
    ~CColorStatic() override;

    // Resets the control: no text rectangle, a font of fontHeight points, the given
    // horizontal alignment (0 near, 1 centre, 2 far; other values keep the current
    // one) with vertical centring, automatic line-by-line layout, black text, no
    // picture or animation, the given background colour; text (null keeps the
    // current one) becomes the window text.
    void SetStyle(COLORREF backColor, const char16_t* text, int fontHeight, int alignment);
    // Gives the control a font of the given height in points, converted to pixels at
    // the logical DPI (40 points at 96 dpi: 53 pixels).
    void SetFontHeight(int points);
    // Shows a copy of bitmap (the caller keeps its own) stretched over the control,
    // or no picture for null; stops any animation.
    void SetBitmap(Gdiplus::Bitmap* bitmap);

    // Loads a GIF (file path in UTF-8, or encoded bytes, which are copied), shows its
    // first frame and steps one frame per intervalMs; 0 takes the first frame's own
    // delay (100 ms when it gives none). A single-frame GIF is shown still. Returns
    // false, leaving the control without picture, for a GIF that cannot be read.
    bool StartGifAnimation(const char* path, int intervalMs = 0);
    bool StartGifAnimationFromData(const void* data, std::size_t size, int intervalMs = 0);
    void StopGifAnimation();
    bool IsAnimating() const { return m_animationTimer.isActive(); }
    // Non-zero repeats the animation without end (the default); 0 stops it when it
    // comes round to its first frame.
    void SetLoop(int loop) { m_loop = loop; }
    // 1: a stopping animation goes back to its first frame; 0 (default): it does not.
    void SetRewind(int rewind) { m_rewind = rewind; }

    // The animation tick: timer identifiers other than kAnimationTimerId, or a tick
    // while the control is not visible, change nothing.
    void OnTimer(int timerId);

    // Pixels per inch used by SetFontHeight; 0 (default) uses the screen's logical DPI.
    void SetLogicalDpi(int dpi) { m_logicalDpi = dpi; }
    int LogicalDpi() const;

    void SetTextColor(COLORREF color);
    COLORREF GetTextColor() const { return m_textColor; }
    COLORREF GetBackColor() const { return m_backColor; }
    // Below 0: one block; 0: line by line, spread evenly; above 0: line by line with
    // that many pixels between lines.
    void SetLineSpacing(int spacing);
    int GetLineSpacing() const { return m_lineSpacing; }
    // Lays the text out in rect instead of the whole control; an empty rect undoes it.
    void SetTextRect(const RECT& rect);
    const StringFormat& GetStringFormat() const { return m_stringFormat; }
    const Gdiplus::Bitmap* GetImage() const { return m_image; }
    // The control's own font, if SetFontHeight has made one.
    const std::optional<QFont>& GetOwnFont() const { return m_font; }

    // Takes the place of a placeholder widget (typically the QLabel a dialog template
    // produced): parent, geometry, stacking, visibility, name and text; its font too
    // unless SetFontHeight gave this control one. The placeholder is deleted, so the
    // caller must forget any pointer to it. Returns false for null or this.
    bool SubclassWidget(QWidget* placeholder);

protected:
    // Paints the picture or background and the text into painter over itemRect.
    void DrawItem(QPainter& painter, const QRect& itemRect);
    // Draws the text line by line, split at line feeds, spaced by the line spacing.
    void DrawMultiLineText(QPainter& painter, const QFont& font, const QString& text, const QRectF& rect);

    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void DeleteImage();
    // Stops the tick and drops the picture and the GIF, as every new picture does.
    void ClearPicture();
    bool StartLoadedAnimation(int intervalMs);
    // Replaces the picture with the decoder's current frame.
    void ShowCurrentFrame();

    Gdiplus::Bitmap* m_image = nullptr;
    CGifDecoder m_gifDecoder;
    COLORREF m_backColor = 0;
    int m_loop = 1;
    int m_rewind = 0;
    std::optional<QFont> m_font;
    COLORREF m_textColor = 0;
    StringFormat m_stringFormat;
    RECT m_textRect{};
    int m_lineSpacing = -1;

    QBasicTimer m_animationTimer;
    int m_logicalDpi = 0;
    // The off-screen buffer, kept between paints while the size stays.
    QImage m_buffer;
};
