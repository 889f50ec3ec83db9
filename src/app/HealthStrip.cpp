#include "HealthStrip.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QUrl>

#include <algorithm>

#include "StringIds.h"
#include "StringTable.h"
#include "CLocaleFormat.h"

namespace {
QString LinkText(LinkState link)
{
    switch (link) {
    case LinkState::Connected: return StringTable::load(StringId::kConnectedText);
    case LinkState::Running: return StringTable::load(StringId::kRunningText);
    case LinkState::Reconnecting: return StringTable::load(StringId::kReconnectingText);
    case LinkState::Disconnected: break;
    }
    return StringTable::load(StringId::kDisconnectedText);
}

// Coarse on purpose: the strip is repainted only when its text changes, and a recording
// grows with every report.
QString Bytes(long long bytes)
{
    if (bytes < 1000)
        return QStringLiteral("%1 B").arg(bytes);
    if (bytes < 1000 * 1000)
        return QStringLiteral("%1 kB").arg(bytes / 1000);
    if (bytes < 1000LL * 1000 * 1000)
        return QStringLiteral("%1 MB").arg(QString::fromStdString(CLocaleFixed(double(bytes) / 1e6, 1)));
    return QStringLiteral("%1 GB").arg(QString::fromStdString(CLocaleFixed(double(bytes) / 1e9, 2)));
}

// Whole seconds: "0" while reports flow, so the text stays the same between them.
QString Seconds(long long ms)
{
    return QString::number(ms / 1000);
}

// Whole reports a second at the usual rates, tenths below ten.
QString Rate(double perSecond)
{
    return perSecond < 10.0 ? QString::fromStdString(CLocaleFixed(perSecond, 1)) : QString::number(qRound(perSecond));
}

}  // namespace

QString HealthStripText(const HealthSnapshot& snapshot)
{
    QStringList parts{snapshot.replay.isEmpty() ? LinkText(snapshot.link) : snapshot.replay};
    if (snapshot.link == LinkState::Running) {
        parts << StringTable::load(StringId::kRateText).arg(Rate(snapshot.reportsPerSecond));
        if (snapshot.silenceMs >= 0)
            parts << StringTable::load(snapshot.stalled ? StringId::kNoReportText : StringId::kLastReportText).arg(Seconds(snapshot.silenceMs));
    }
    if (snapshot.link == LinkState::Running || snapshot.brokenTails > 0 || snapshot.skippedBytes > 0) {
        parts << StringTable::load(StringId::kBrokenTailsText).arg(snapshot.brokenTails);
        parts << StringTable::load(StringId::kSkippedBytesText).arg(snapshot.skippedBytes);
    }
    if (snapshot.recordedBytes >= 0)
        parts << StringTable::load(StringId::kRecordedText).arg(Bytes(snapshot.recordedBytes));
    if (snapshot.moduleSilent)
        parts << StringTable::load(StringId::kModuleSilentText);
    if (snapshot.lowDiskFreeMb >= 0)
        parts << StringTable::load(StringId::kLowDiskText).arg(snapshot.lowDiskFreeMb);
    return parts.join(QStringLiteral(" · "));
}

CHealthStrip::CHealthStrip(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 0);
    m_reconnect = new QCheckBox(StringTable::load(StringId::kReconnectText), this);
    m_reconnect->setFocusPolicy(Qt::NoFocus);  // Enter and Space stay with the window
    layout->addWidget(m_reconnect, 0);
    m_status = new QLabel(this);
    m_status->setTextFormat(Qt::PlainText);
    // The status takes what room there is and is cut to it, never the other way round.
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_status->installEventFilter(this);
    m_file = new QLabel(this);
    m_file->setTextFormat(Qt::RichText);
    m_file->setToolTip(StringTable::load(StringId::kOpenFolderTip));
    layout->addWidget(m_status, 1);
    layout->addWidget(m_file, 0);
    connect(m_file, &QLabel::linkActivated, this, [this] {
        if (!m_shownPath.isEmpty())
            QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(m_shownPath).absolutePath()));
    });
    Show(HealthSnapshot{});
}

void CHealthStrip::Show(const HealthSnapshot& snapshot)
{
    const QString status = HealthStripText(snapshot);
    if (status != m_statusText) {
        m_statusText = status;
        FitStatus();
    }
    if (snapshot.recordingPath != m_shownPath) {
        m_shownPath = snapshot.recordingPath;
        // The name is the file's, not markup.
        m_file->setText(m_shownPath.isEmpty() ? QString()
                                              : QStringLiteral("<a href=\"folder\">%1</a>")
                                                    .arg(QFileInfo(m_shownPath).fileName().toHtmlEscaped()));
    }
}

bool CHealthStrip::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_status && event->type() == QEvent::Resize)
        FitStatus();
    return QWidget::eventFilter(watched, event);
}

void CHealthStrip::FitStatus()
{
    const QString shown = m_status->fontMetrics().elidedText(m_statusText, Qt::ElideRight, std::max(m_status->width(), 0));
    if (m_status->text() != shown)
        m_status->setText(shown);
    m_status->setToolTip(shown == m_statusText ? QString() : m_statusText);
}

QString CHealthStrip::FileText() const
{
    return QFileInfo(m_shownPath).fileName();
}
