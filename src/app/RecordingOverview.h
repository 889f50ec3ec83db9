#pragma once
#include <QDateTime>
#include <QImage>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "ColumnEnvelope.h"
#include "DecodedReport.h"
#include "GroundTruthLabel.h"
#include "StateStrip.h"

class CStateBand;
class CWaveWnd;

// A whole recording at a glance: its distance curve (the tool's own chart, fed with
// each pixel column's smallest and largest distance) and the state band, from the
// first report to the last, with the labels. The wheel zooms about the pointer, a drag
// pans, a click asks for a jump to that time. User-interface thread only.
class CRecordingOverview : public QWidget {
public:
    explicit CRecordingOverview(QWidget* parent = nullptr);

    // The reports of the recording, in time order (shared, not copied); its labels; the
    // wall-clock time of its time 0 (invalid: times read from the start); its report
    // interval (how long a report holds when the view is zoomed past one per column).
    void SetRecording(std::shared_ptr<const std::vector<DecodedReport>> reports, std::vector<LabelChange> labels,
                      const QDateTime& timeBase, std::int64_t reportIntervalMs, const QString& title);
    // Shows [fromUs, toUs), kept within the recording and at least a few reports long.
    void ShowRange(std::int64_t fromUs, std::int64_t toUs);
    void ShowWhole();
    std::int64_t FromUs() const { return m_fromUs; }
    std::int64_t ToUs() const { return m_toUs; }
    std::int64_t FirstUs() const { return m_firstUs; }
    std::int64_t LastUs() const { return m_lastUs; }
    // Zooms about x (this widget's), factor below 1 in; pans by a number of pixels.
    void ZoomAt(int x, double factor);
    void PanBy(int pixels);
    // The recording's time under x (this widget's); -1 outside the plot.
    std::int64_t TimeAtX(int x) const;
    // Called with the time clicked.
    void SetJumpHandler(std::function<void(std::int64_t)> jump) { m_jump = std::move(jump); }
    // The view drawn at size (the widget keeps its own size afterwards).
    QImage Picture(const QSize& size);

    CWaveWnd* Chart() const { return m_chart; }
    CStateBand* Band() const { return m_band; }
    const std::vector<EnvelopeColumn>& Columns() const { return m_columns; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LayOut();
    void ConfigureChart();
    // Builds the columns of the range and hands them to the chart and the band.
    void Rebuild();
    void ShowTimeLabels();
    QString TimeText(std::int64_t us, std::int64_t span) const;
    int PlotLeft() const;
    int PlotWidth() const;

    CWaveWnd* m_chart = nullptr;
    CStateStrip m_strip;
    CStateBand* m_band = nullptr;
    std::shared_ptr<const std::vector<DecodedReport>> m_reports;
    std::vector<LabelChange> m_labels;
    QDateTime m_timeBase;
    QString m_title;
    std::int64_t m_holdUs = 150'000;
    std::int64_t m_firstUs = 0;
    std::int64_t m_lastUs = 0;
    std::int64_t m_fromUs = 0;
    std::int64_t m_toUs = 1;
    std::int32_t m_distanceTop = 800;
    std::vector<EnvelopeColumn> m_columns;
    std::vector<std::int32_t> m_samples;
    std::function<void(std::int64_t)> m_jump;
    // A press on the plot: a drag pans, a release where it began jumps.
    bool m_pressed = false;
    int m_pressX = 0;
    int m_lastX = 0;
};
