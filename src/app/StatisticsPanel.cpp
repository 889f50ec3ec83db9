#include "StatisticsPanel.h"

#include <QLabel>
#include <QVBoxLayout>

#include "StringTable.h"

namespace {

constexpr int kStateNames[] = {50300, 50301, 50302};
constexpr int kStateHeader = 50310;
constexpr int kTimeHeader = 50311;
constexpr int kShareHeader = 50312;
constexpr int kDistanceHeader = 50313;
constexpr int kMinHeader = 50314;
constexpr int kMaxHeader = 50315;
constexpr int kChangesLine = 50316;
constexpr int kNowLine = 50317;
constexpr int kLongestLine = 50318;
constexpr int kDelayLine = 50319;
constexpr int kNoDelayLine = 50320;
constexpr int kUnobservedLine = 50321;
constexpr int kNoReports = 50322;

QString Seconds(std::int64_t us)
{
    return QString::number(double(us) / 1e6, 'f', 1);
}

QString StateName(PresenceState state)
{
    return StringTable::load(kStateNames[int(state)]);
}

struct StateRow {
    QString name, time, share, spread, minimum, maximum;
};

StateRow RowOf(const PresenceFigures& f, PresenceState state)
{
    const DistanceSpread& d = f.distance[std::size_t(state)];
    StateRow row{StateName(state), Seconds(f.timeUs[std::size_t(state)]) + QStringLiteral(" s"),
                 QString::number(f.Share(state) * 100.0, 'f', 1) + QStringLiteral(" %"), QStringLiteral("–"),
                 QStringLiteral("–"), QStringLiteral("–")};
    if (d.count > 0) {
        row.spread = QString::number(d.mean, 'f', 1) + QStringLiteral(" ± ") +
                     QString::number(d.StandardDeviation(), 'f', 1);
        row.minimum = QString::number(d.minimum);
        row.maximum = QString::number(d.maximum);
    }
    return row;
}

// The lines under the table.
QStringList Lines(const PresenceFigures& f, std::int64_t offDelayMs)
{
    QStringList lines;
    lines << StringTable::load(kChangesLine).arg(f.stateChanges);
    if (f.hasCurrent)
        lines << StringTable::load(kNowLine).arg(StateName(f.current), Seconds(f.currentDwellUs));
    lines << StringTable::load(kLongestLine).arg(Seconds(f.longestPresenceUs), Seconds(f.longestAbsenceUs));
    const QString set = Seconds(offDelayMs * 1000);
    if (f.absenceDelays > 0)
        lines << StringTable::load(kDelayLine)
                     .arg(Seconds(f.lastAbsenceDelayUs), Seconds(f.MeanAbsenceDelayUs()),
                          QString::number(f.absenceDelays), set);
    else
        lines << StringTable::load(kNoDelayLine).arg(set);
    lines << StringTable::load(kUnobservedLine).arg(Seconds(f.unobservedUs)).arg(f.gaps);
    return lines;
}

constexpr PresenceState kStates[] = {PresenceState::Nobody, PresenceState::Moving, PresenceState::Motionless};

}  // namespace

QString StatisticsHtml(const PresenceFigures& f, std::int64_t offDelayMs)
{
    if (f.reports == 0)
        return StringTable::load(kNoReports).toHtmlEscaped();
    QString html = QStringLiteral("<table cellspacing='0' cellpadding='1'><tr>");
    for (int id : {kStateHeader, kTimeHeader, kShareHeader, kDistanceHeader, kMinHeader, kMaxHeader})
        html += QStringLiteral("<th align='left' style='padding-right:12px'>%1</th>")
                    .arg(StringTable::load(id).toHtmlEscaped());
    html += QStringLiteral("</tr>");
    for (PresenceState state : kStates) {
        const StateRow r = RowOf(f, state);
        html += QStringLiteral("<tr>");
        for (const QString* cell : {&r.name, &r.time, &r.share, &r.spread, &r.minimum, &r.maximum})
            html += QStringLiteral("<td style='padding-right:12px'>%1</td>").arg(cell->toHtmlEscaped());
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    for (const QString& line : Lines(f, offDelayMs))
        html += line.toHtmlEscaped() + QStringLiteral("<br>");
    return html;
}

QString StatisticsPlainText(const PresenceFigures& f, std::int64_t offDelayMs)
{
    if (f.reports == 0)
        return StringTable::load(kNoReports);
    QStringList lines;
    for (PresenceState state : kStates) {
        const StateRow r = RowOf(f, state);
        lines << QStringLiteral("%1: %2 (%3), %4 cm [%5, %6]")
                     .arg(r.name, r.time, r.share, r.spread, r.minimum, r.maximum);
    }
    lines << Lines(f, offDelayMs);
    return lines.join(QLatin1Char('\n'));
}

CStatisticsPanel::CStatisticsPanel(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 4);
    m_text = new QLabel(this);
    m_text->setTextFormat(Qt::RichText);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_text);
}

void CStatisticsPanel::Show(const PresenceFigures& figures, std::int64_t offDelayMs)
{
    const QString html = StatisticsHtml(figures, offDelayMs);
    if (html == m_shown)
        return;
    m_shown = html;
    m_text->setText(html);
}

QString CStatisticsPanel::Text() const
{
    return m_text->text();
}

int CStatisticsPanel::PreferredHeight() const
{
    // As tall as the fullest text needs, in this language and font.
    PresenceFigures full;
    full.reports = 2;
    full.hasCurrent = true;
    full.absenceDelays = 1;
    full.distance[0].Add(0);
    QLabel probe;
    probe.setFont(m_text->font());
    probe.setTextFormat(Qt::RichText);
    probe.setText(StatisticsHtml(full, 0));
    const QMargins margins = layout()->contentsMargins();
    return probe.sizeHint().height() + margins.top() + margins.bottom();
}
