#include "StatisticsPanel.h"

#include <QPainter>

#include <algorithm>

#include "StateBand.h"
#include "StringIds.h"
#include "StringTable.h"
#include "CLocaleFormat.h"

namespace {

constexpr int kMargin = 6;
constexpr int kColumnGap = 14;
constexpr int kTableGap = 4;

QString Seconds(std::int64_t us)
{
    return QString::fromStdString(CLocaleFixed(double(us) / 1e6, 1));
}

QString StateName(PresenceState state)
{
    return PresenceStateName(std::int8_t(state));
}

struct StateRow {
    QString name, time, share, spread, minimum, maximum;
};

StateRow RowOf(const PresenceFigures& f, PresenceState state)
{
    const DistanceSpread& d = f.distance[std::size_t(state)];
    StateRow row{StateName(state), Seconds(f.timeUs[std::size_t(state)]) + QStringLiteral(" s"),
                 QString::fromStdString(CLocaleFixed(f.Share(state) * 100.0, 1)) + QStringLiteral(" %"), QStringLiteral("–"),
                 QStringLiteral("–"), QStringLiteral("–")};
    if (d.count > 0) {
        row.spread = QString::fromStdString(CLocaleFixed(d.mean, 1)) + QStringLiteral(" ± ") +
                     QString::fromStdString(CLocaleFixed(d.StandardDeviation(), 1));
        row.minimum = QString::number(d.minimum);
        row.maximum = QString::number(d.maximum);
    }
    return row;
}

// The lines under the table.
QStringList Lines(const PresenceFigures& f, std::int64_t offDelayMs)
{
    QStringList lines;
    lines << StringTable::load(StringId::kChangesLine).arg(f.stateChanges);
    if (f.hasCurrent)
        lines << StringTable::load(StringId::kNowLine).arg(StateName(f.current), Seconds(f.currentDwellUs));
    lines << StringTable::load(StringId::kLongestLine).arg(Seconds(f.longestPresenceUs), Seconds(f.longestAbsenceUs));
    const QString set = Seconds(offDelayMs * 1000);
    if (f.absenceDelays > 0)
        lines << StringTable::load(StringId::kAbsenceDelayLine)
                     .arg(Seconds(f.lastAbsenceDelayUs), Seconds(f.MeanAbsenceDelayUs()),
                          QString::number(f.absenceDelays), set);
    else
        lines << StringTable::load(StringId::kNoDelayLine).arg(set);
    lines << StringTable::load(StringId::kUnobservedLine).arg(Seconds(f.unobservedUs)).arg(f.gaps);
    return lines;
}

constexpr PresenceState kStates[] = {PresenceState::Nobody, PresenceState::Moving, PresenceState::Motionless};

}  // namespace

QString StatisticsPlainText(const PresenceFigures& f, std::int64_t offDelayMs)
{
    if (f.reports == 0)
        return StringTable::load(StringId::kNoReports);
    QStringList lines;
    for (PresenceState state : kStates) {
        const StateRow r = RowOf(f, state);
        lines << QStringLiteral("%1: %2 (%3), %4 cm [%5, %6]")
                     .arg(r.name, r.time, r.share, r.spread, r.minimum, r.maximum);
    }
    lines << Lines(f, offDelayMs);
    return lines.join(QLatin1Char('\n'));
}

CStatisticsPanel::CStatisticsPanel(QWidget* parent) : QWidget(parent) {}

void CStatisticsPanel::Show(const PresenceFigures& figures, std::int64_t offDelayMs)
{
    // Drawn as text lines by the panel itself: a rich-text label laid its table out
    // anew at every refresh, which cost as much as the rest of the window.
    std::vector<QStringList> rows;
    QStringList lines;
    if (figures.reports > 0) {
        QStringList header;
        for (int id : {StringId::kStateHeader, StringId::kTimeHeader, StringId::kShareHeader, StringId::kDistanceHeader, StringId::kMinHeader, StringId::kMaxHeader})
            header << StringTable::load(id);
        rows.push_back(header);
        for (PresenceState state : kStates) {
            const StateRow r = RowOf(figures, state);
            rows.push_back({r.name, r.time, r.share, r.spread, r.minimum, r.maximum});
        }
        lines = Lines(figures, offDelayMs);
    } else {
        lines << StringTable::load(StringId::kNoReports);
    }
    if (rows == m_rows && lines == m_lines)
        return;
    m_rows = std::move(rows);
    m_lines = std::move(lines);
    update();
}

QString CStatisticsPanel::Text() const
{
    QStringList text;
    for (const QStringList& row : m_rows)
        text << row.join(QLatin1Char('\t'));
    text << m_lines;
    return text.join(QLatin1Char('\n'));
}

int CStatisticsPanel::PreferredHeight() const
{
    // The table's header and three rows, and the lines under it at their most.
    constexpr int kRows = 4;
    constexpr int kLines = 5;
    return fontMetrics().lineSpacing() * (kRows + kLines) + kMargin * 2 + kTableGap;
}

void CStatisticsPanel::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.lineSpacing();
    int y = kMargin;
    if (!m_rows.empty()) {
        // Each column as wide as its widest cell.
        std::vector<int> widths(m_rows.front().size(), 0);
        for (const QStringList& row : m_rows)
            for (int c = 0; c < row.size() && std::size_t(c) < widths.size(); ++c)
                widths[std::size_t(c)] = std::max(widths[std::size_t(c)], metrics.horizontalAdvance(row[c]));
        QFont bold = font();
        bold.setBold(true);
        for (std::size_t r = 0; r < m_rows.size(); ++r) {
            painter.setFont(r == 0 ? bold : font());
            int x = kMargin;
            for (int c = 0; c < m_rows[r].size() && std::size_t(c) < widths.size(); ++c) {
                painter.drawText(QRect(x, y, widths[std::size_t(c)] + kColumnGap, line), Qt::AlignLeft | Qt::AlignVCenter,
                                 m_rows[r][c]);
                x += widths[std::size_t(c)] + kColumnGap;
            }
            y += line;
        }
        painter.setFont(font());
        y += kTableGap;
    }
    for (const QString& text : m_lines) {
        painter.drawText(QRect(kMargin, y, width() - 2 * kMargin, line), Qt::AlignLeft | Qt::AlignVCenter, text);
        y += line;
    }
}
