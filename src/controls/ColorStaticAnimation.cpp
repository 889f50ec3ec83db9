// CColorStatic's GIF animation: starting it, the tick and the frame picture.
#include <QTimerEvent>

#include <climits>
#include <cstdint>

#include "ColorStatic.h"
#include "GdiplusApi.h"

namespace {

// GIFs that give no delay, or one too short to be meant literally, are played at the
// pace browsers use for them.
constexpr int kDefaultFrameIntervalMs = 100;
constexpr int kShortestFrameDelayMs = 20;

}  // namespace

bool CColorStatic::StartGifAnimation(const char* path, int intervalMs)
{
    ClearPicture();
    if (!path || !m_gifDecoder.LoadFile(path)) {
        m_gifDecoder.Unload();
        update();
        return false;
    }
    return StartLoadedAnimation(intervalMs);
}

bool CColorStatic::StartGifAnimationFromData(const void* data, std::size_t size, int intervalMs)
{
    ClearPicture();
    if (!data || size == 0 || !m_gifDecoder.LoadData(data, size)) {
        m_gifDecoder.Unload();
        update();
        return false;
    }
    return StartLoadedAnimation(intervalMs);
}

void CColorStatic::StopGifAnimation()
{
    m_animationTimer.stop();
}

bool CColorStatic::StartLoadedAnimation(int intervalMs)
{
    // The first frame is on show before the first tick, so the tick that comes round
    // to frame 0 again really is the end of the animation.
    if (!m_gifDecoder.DecNextFrame(false) || !m_gifDecoder.GetGifFrameBuffer()) {
        ClearPicture();
        update();
        return false;
    }
    ShowCurrentFrame();
    if (m_gifDecoder.GetFrameCount() > 1) {
        int interval = intervalMs;
        if (interval <= 0) {
            interval = m_gifDecoder.GetCurFrameDelay();
            if (interval < kShortestFrameDelayMs)
                interval = kDefaultFrameIntervalMs;
        }
        m_animationTimer.start(interval, this);
    }
    return true;
}

void CColorStatic::ShowCurrentFrame()
{
    DeleteImage();
    // The picture lies over the decoder's canvas without copying it; the decoder only
    // moves that memory when it steps or unloads, and each of those replaces or
    // deletes the picture before the control can paint again.
    auto* pixels = const_cast<std::uint32_t*>(m_gifDecoder.GetGifFrameBuffer());
    const int width = m_gifDecoder.GetGifWidth();
    const int height = m_gifDecoder.GetGifHeight();
    if (pixels && width > 0 && height > 0 && width <= INT_MAX / 4)
        m_image = Gdiplus_LoadBitmapFromImageBits(pixels, UINT(width), UINT(height), width * 4,
                                                  PixelFormat32bppARGB);
    update();
}

void CColorStatic::OnTimer(int timerId)
{
    // Nothing loaded: a stray tick must not take away a picture from SetBitmap.
    if (timerId != kAnimationTimerId || !isVisible() || !m_gifDecoder.IsLoaded())
        return;
    m_gifDecoder.DecNextFrame(false);
    bool stopAfterThisTick = false;
    if (m_gifDecoder.GetCurFrameIndex() == 0 && m_loop == 0) {
        stopAfterThisTick = true;
        if (m_rewind == 1) {
            m_gifDecoder.ResetGifFrameIndex();
            m_gifDecoder.DecNextFrame(false);
        }
    }
    ShowCurrentFrame();
    if (stopAfterThisTick)
        m_animationTimer.stop();
}

void CColorStatic::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_animationTimer.timerId()) {
        OnTimer(kAnimationTimerId);
        return;
    }
    QLabel::timerEvent(event);
}
