#pragma once
#include <QString>
#include <QWidget>

#include "PresenceStatistics.h"

class QLabel;

// The figures of the run or replay on show, as a table and a few lines, in the
// interface language. offDelayMs: the absence delay as the tool last read or set it.
QString StatisticsHtml(const PresenceFigures& figures, std::int64_t offDelayMs);
// The same as plain lines, for the label summary.
QString StatisticsPlainText(const PresenceFigures& figures, std::int64_t offDelayMs);

// The panel under the window that shows them. User-interface thread only.
class CStatisticsPanel : public QWidget {
public:
    explicit CStatisticsPanel(QWidget* parent = nullptr);
    void Show(const PresenceFigures& figures, std::int64_t offDelayMs);
    QString Text() const;
    int PreferredHeight() const;

private:
    QLabel* m_text = nullptr;
    QString m_shown;
};
