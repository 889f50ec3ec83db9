#pragma once
#include <QString>
#include <QWidget>

#include "PresenceStatistics.h"

#include <QStringList>

#include <vector>

// The figures of the run or replay on show as lines of text, in the interface
// language, for the label summary. offDelayMs: the absence delay as the tool last read
// or set it.
QString StatisticsPlainText(const PresenceFigures& figures, std::int64_t offDelayMs);

// The panel under the window that shows them: a table of the three states and a few
// lines under it. User-interface thread only.
class CStatisticsPanel : public QWidget {
public:
    explicit CStatisticsPanel(QWidget* parent = nullptr);
    // Repaints only when a text changed.
    void Show(const PresenceFigures& figures, std::int64_t offDelayMs);
    // What it shows: the table's cells by tabs, then the lines.
    QString Text() const;
    int PreferredHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<QStringList> m_rows;
    QStringList m_lines;
};
