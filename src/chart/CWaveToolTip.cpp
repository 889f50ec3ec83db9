#include "CWaveToolTip.h"

#include <QToolTip>

namespace {
// Below and right of the pointer, so the tip never sits under it and steals the hover.
const QPoint kPointerOffset(12, 20);
}  // namespace

CWaveToolTip::CWaveToolTip(QWidget* owner)
    : QLabel(owner, Qt::ToolTip | Qt::BypassGraphicsProxyWidget | Qt::WindowTransparentForInput), m_owner(owner)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setPalette(QToolTip::palette());
    setFont(QToolTip::font());
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMargin(2);
    setTextFormat(Qt::PlainText);
}

void CWaveToolTip::Activate(bool on)
{
    m_active = on;
    if (!on)
        hide();
}

void CWaveToolTip::SetTipText(const QString& text)
{
    if (text == this->text())
        return;
    setText(text);
    adjustSize();
}

void CWaveToolTip::RelayMouseMove(const QPoint& point)
{
    if (!m_active || !m_owner)
        return;
    move(m_owner->mapToGlobal(point) + kPointerOffset);
    if (!isVisible())
        show();
}
