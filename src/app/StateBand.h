#pragma once
#include <QDateTime>
#include <QImage>
#include <QWidget>

#include <cstdint>
#include <vector>

#include "GroundTruthLabel.h"
#include "RepaintRequest.h"
#include "StateStrip.h"

class QToolButton;

// The name of a state as the legend shows it, in the interface language; any value
// other than a PresenceState reads "No data".
QString PresenceStateName(std::int8_t state);

// The band under the distance chart: the state the module reported at each step the
// chart plots, in the same pixels, with link gaps as hatching and the ground-truth
// labels as a thin line beneath; a legend and the statistics switch below it. Hovering
// the band tells the state, when it began and how long it lasted.
//
// Threads: a widget of the user-interface thread. RequestRepaint alone may be called
// from any thread (the decoding thread asks with each report, as it asks the chart).
class CStateBand : public QWidget {
public:
    CStateBand(const CStateStrip& strip, QWidget* parent = nullptr);

    // The chart's plot, from left to right edge in this widget's x.
    void SetPlotSpan(int left, int right);
    // The labels to draw (times as the strip's); null for none. The window owns them.
    void SetLabels(const std::vector<LabelChange>* labels);
    // The wall-clock time of the strip's time 0; invalid: times read as seconds into the run.
    void SetTimeBase(const QDateTime& runStart) { m_runStart = runStart; }
    void RequestRepaint();
    // As the chart's: while held, a requested repaint waits for ReleaseRepaint.
    void HoldRepaints(bool held);
    void ReleaseRepaint();

    QToolButton* StatisticsButton() const { return m_statisticsButton; }
    // What hovering at x tells; empty outside the band. For the tooltip and tests.
    QString HoverText(int x);
    // The band's rectangle (state part only) in this widget.
    QRect BandRect() const;
    // What a new report changes: the band and the label line under it.
    QRect StripArea() const;
    int PreferredHeight() const;
    static QColor StateColor(std::int8_t state);
    static QColor LabelColor(GroundTruthLabel label);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    int WantedLegendHeight() const;
    int LegendHeight() const;
    void PlaceSwitch();
    // The sample drawn at x, or -1.
    int SampleAt(int x) const;
    double SampleX(double index) const;
    QString TimeText(std::int64_t us) const;
    void PaintStates(QPainter& painter, const QRect& band);
    void PaintLabels(QPainter& painter, const QRect& line);
    void PaintLegend(QPainter& painter, const QRect& area);

    const CStateStrip& m_strip;
    std::vector<StripSample> m_samples;  // the copy the last paint drew
    const std::vector<LabelChange>* m_labels = nullptr;
    QDateTime m_runStart;
    int m_plotLeft = 0;
    int m_plotRight = 0;
    QToolButton* m_statisticsButton = nullptr;
    // A report changes the strip only.
    CRepaintRequest m_repaintRequest{*this, [this] { update(StripArea()); }};
};
