// The presence display and the report notification between the two threads.
#include <QCoreApplication>
#include <QEvent>

#include <algorithm>

#include "ColorStatic.h"
#include "StringIds.h"
#include "StringTable.h"
#include "Vetra_Tivane_PeloToolDlg.h"

namespace {

// The report message number of the module tool, kept as the event's offset.
constexpr int kRadarReportMessage = 0x0500;
constexpr std::int32_t kStateMoving = 1;
constexpr std::int32_t kStateMotionless = 2;

}  // namespace

QEvent::Type CVetra_Tivane_PeloToolDlg::RadarReportEventType()
{
    static const auto type = QEvent::Type(QEvent::registerEventType(QEvent::User + kRadarReportMessage));
    return type;
}

bool CVetra_Tivane_PeloToolDlg::event(QEvent* event)
{
    if (event->type() == RadarReportEventType()) {
        m_queuedReports.fetch_sub(1, std::memory_order_relaxed);
        OnRadarReport();
        return true;
    }
    if (event->type() == QEvent::UpdateRequest && m_paintTrace.IsOn()) {
        // Taken before the paint: the chart then draws that frame or a later one.
        const std::uint64_t charted = m_framesCharted.load(std::memory_order_acquire);
        const bool handled = QDialog::event(event);
        m_paintTrace.Painted(std::min(m_framesOnDisplay, charted));
        return handled;
    }
    return QDialog::event(event);
}

void CVetra_Tivane_PeloToolDlg::OnRadarReport()
{
    // A fast replay hands over hundreds of reports a second: the digits, the picture and
    // the chart show the latest together, at most once a frame, and the last one always.
    if (IsReplaying()) {
        if (!m_replayFrame.isActive())
            m_replayFrame.start();
        return;
    }
    UpdatePresenceDisplay();
    // Data on show is fresh again the moment a report arrives, not at the next look.
    if (m_tool.Health().Stalled())
        UpdateHealth();
}

Gdiplus::Bitmap* CVetra_Tivane_PeloToolDlg::PictureForState(std::int32_t state, int& radio, int& presence) const
{
    if (state == kStateMoving) {
        radio = kMovingRadio;
        presence = 1;
        return m_movingPicture.get();
    }
    if (state == kStateMotionless) {
        radio = kMotionlessRadio;
        presence = 2;
        return m_motionlessPicture.get();
    }
    radio = 0;
    presence = 0;
    return m_nobodyPicture.get();
}

void CVetra_Tivane_PeloToolDlg::UpdatePresenceDisplay()
{
    // Taken before the state: what is shown below is that frame or a later one.
    m_framesOnDisplay = m_tool.Decoder().FramesReported();
    int radio = 0;
    Gdiplus::Bitmap* picture = PictureForState(m_tool.Decoder().GetState(), radio, m_shownPresence);
    m_controls.CheckRadioButton(kMovingRadio, kMotionlessRadio, radio);
    ShowIndicatorPicture(picture);
    // A report comes 20 times a second, mostly with what is already shown: only a
    // change costs a copy of the picture or a repaint of the digits.
    const QString distance = QString::number(m_tool.Decoder().GetDistance());
    if (m_controls.GetDlgItemText(kDistanceDigits) != distance) {
        m_controls.SetDlgItemText(kDistanceDigits, distance);
        if (m_distanceText)
            m_distanceText->update();
    }
}

void CVetra_Tivane_PeloToolDlg::ShowIndicatorPicture(Gdiplus::Bitmap* picture)
{
    // The indicator keeps a copy of what it is given, so the same picture again changes nothing.
    if (!m_indicator || (m_indicatorShowsPicture && m_indicatorPicture == picture))
        return;
    m_indicator->SetBitmap(picture);
    m_indicatorPicture = picture;
    m_indicatorShowsPicture = true;
}

// Acquisition thread: only queues the event; the handler reads the decoder's state then.
void CVetra_Tivane_PeloToolDlg::PostRadarReport()
{
    m_queuedReports.fetch_add(1, std::memory_order_relaxed);
    QCoreApplication::postEvent(this, new QEvent(RadarReportEventType()));
}

void CVetra_Tivane_PeloToolDlg::DiscardQueuedReports()
{
    QCoreApplication::removePostedEvents(this, RadarReportEventType());
    m_queuedReports.store(0, std::memory_order_relaxed);
}

void CVetra_Tivane_PeloToolDlg::ResetPresenceIndicator()
{
    m_shownPresence = 0;
    ShowIndicatorPicture(m_nobodyPicture.get());
    m_controls.CheckRadioButton(kMovingRadio, kMotionlessRadio, 0);
}

void CVetra_Tivane_PeloToolDlg::ShowStartButtonText()
{
    m_controls.SetDlgItemText(kStartButton, StringTable::load(StringId::kStartText));
}
