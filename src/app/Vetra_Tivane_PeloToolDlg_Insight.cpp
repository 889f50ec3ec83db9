// What the module decides, shown beside the chart: the state band under it (fed with
// every report, stepped through link gaps as the chart is) and the statistics panel of
// the run or replay on show.
#include <QToolButton>

#include <algorithm>

#include "CWaveWnd.h"
#include "ReportTiming.h"
#include "StallWatch.h"
#include "StateBand.h"
#include "StatisticsPanel.h"
#include "Vetra_Tivane_PeloToolDlg.h"

namespace {
// How often an open panel takes the latest figures while reports come.
constexpr int kStatisticsTickMs = 250;
}  // namespace

void CVetra_Tivane_PeloToolDlg::AddStateBand()
{
    // Right under the chart, growing the window by its height as the health strip does,
    // so the chart's plot keeps its size; the proportional layout then scales it too.
    m_stateBand = new CStateBand(m_tool.Insight().Strip(), this);
    const int top = height();
    const int bandHeight = m_stateBand->PreferredHeight();
    resize(width(), top + bandHeight);
    m_stateBand->setGeometry(0, top, width(), bandHeight);
    m_stateBand->StatisticsButton()->setChecked(m_settings.showStatistics);
    connect(m_stateBand->StatisticsButton(), &QToolButton::toggled, this, &CVetra_Tivane_PeloToolDlg::ShowStatistics);
    m_stateBand->show();
    PlaceInsightViews();
}

void CVetra_Tivane_PeloToolDlg::AddStatisticsPanel()
{
    // Made after the proportional layout recorded the window: the panel is not scaled
    // with it but added below, so opening it never changes the rest of the window.
    m_statisticsPanel = new CStatisticsPanel(this);
    m_statisticsPanel->hide();
    m_statisticsTick.setInterval(kStatisticsTickMs);
    connect(&m_statisticsTick, &QTimer::timeout, this, &CVetra_Tivane_PeloToolDlg::RefreshStatistics);
    if (m_settings.showStatistics)
        ShowStatistics(true);
}

void CVetra_Tivane_PeloToolDlg::ShowStatistics(bool open)
{
    if (!m_statisticsPanel || open == StatisticsShown())
        return;
    const int extra = open ? m_statisticsPanel->PreferredHeight() : 0;
    const int change = extra - m_statisticsExtra;
    m_statisticsExtra = extra;
    // Growing, the new height comes before the raised minimum, which would otherwise grow
    // the window on its own and lay it out once with the panel's room taken from the
    // chart (a set-up that clears the curve); shrinking, the minimum comes first, or it
    // would hold the window at its old height.
    const int newHeight = height() + change;
    const QSize least(minimumWidth(), minimumHeight() + change);
    m_statisticsPanel->setVisible(open);
    if (change > 0) {
        resize(width(), newHeight);
        setMinimumSize(least);
    } else {
        setMinimumSize(least);
        resize(width(), newHeight);
    }
    PlaceInsightViews();
    if (m_stateBand && m_stateBand->StatisticsButton()->isChecked() != open)
        m_stateBand->StatisticsButton()->setChecked(open);
    m_statisticsShown = ~std::uint64_t(0);
    // A closed panel takes no figures; an open one while reports come (the refresh below
    // stops the tick again when none do).
    if (open)
        m_statisticsTick.start();
    else
        m_statisticsTick.stop();
    RefreshStatistics();
    if (open != m_settings.showStatistics) {
        m_settings.showStatistics = open;
        SaveSettings();
    }
}

void CVetra_Tivane_PeloToolDlg::PlaceInsightViews()
{
    if (m_stateBand && m_chart) {
        const RECT& plot = m_chart->GetPlotRect();
        const int offset = m_chart->x() - m_stateBand->x();
        m_stateBand->SetPlotSpan(offset + plot.left, offset + plot.right);
    }
    if (m_statisticsPanel && m_statisticsExtra > 0)
        m_statisticsPanel->setGeometry(0, height() - m_statisticsExtra, width(), m_statisticsExtra);
}

void CVetra_Tivane_PeloToolDlg::StartInsight(std::int64_t reportIntervalMs, const QDateTime& timeBase,
                                             const std::vector<LabelChange>* labels)
{
    const auto threshold = StallThreshold(reportIntervalMs);
    m_tool.Insight().ResetFigures(std::chrono::duration_cast<std::chrono::microseconds>(threshold).count());
    if (m_stateBand) {
        m_stateBand->SetTimeBase(timeBase);
        m_stateBand->SetLabels(labels);
    }
    m_statisticsShown = ~std::uint64_t(0);
    RefreshStatistics();
    if (StatisticsShown())
        m_statisticsTick.start();
}

void CVetra_Tivane_PeloToolDlg::ShowGapOnBand(std::int32_t steps)
{
    // Whichever thread steps the chart through the gap: both calls below are for any thread.
    m_tool.Insight().AddLinkGap(steps, m_tool.FanOut().TimeUs());
    if (m_stateBand)
        m_stateBand->RequestRepaint();
}

void CVetra_Tivane_PeloToolDlg::RefreshStatistics()
{
    // A panel closed, or a run that no longer changes, costs no work and no wake-ups.
    const bool feeding = m_tool.Acquisition().IsRunningFlagSet() || (IsReplaying() && !m_tool.Replay().Ended());
    if (!feeding)
        m_statisticsTick.stop();
    if (!m_statisticsPanel || !StatisticsShown())
        return;
    const std::uint64_t generation = m_tool.Insight().Generation();
    if (generation == m_statisticsShown)
        return;
    m_statisticsShown = generation;
    m_statisticsPanel->Show(m_tool.Insight().Figures(), AbsenceDelayMs(m_settings.params));
}
