#include "RecordingOverview.h"

#include <QMouseEvent>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "CWaveWnd.h"
#include "PtrArrayCtrl.h"
#include "StateBand.h"
#include "WaveLabel.h"

namespace {

constexpr COLORREF kDistanceLineColor = 0x0000FF;
constexpr COLORREF kAxisTextColor = 0xE8A200;
constexpr DWORD kPlotColor = 0xFFFFFF;
constexpr DWORD kGridColor = 0xFFD0D0D0;
constexpr int kLineWidth = 2;
constexpr int kTimeLabels = 9;
constexpr int kDistanceLabels = 5;
// The narrowest view: this many reports across, however far the wheel turns.
constexpr std::int64_t kFewestReports = 20;
// A press that moves less than this is a click.
constexpr int kClickSlack = 3;

}  // namespace

CRecordingOverview::CRecordingOverview(QWidget* parent) : QWidget(parent)
{
    m_chart = new CWaveWnd(this);
    m_band = new CStateBand(m_strip, this);
    m_band->StatisticsButton()->hide();
    m_chart->installEventFilter(this);
    m_chart->SetTipHook(nullptr, 0);
    ConfigureChart();
}

void CRecordingOverview::ConfigureChart()
{
    CWaveWnd& chart = *m_chart;
    chart.SetWaveCount(1);
    chart.SetSmoothCurve(false);
    chart.SetBackColor(0xFFFFFF);
    chart.SetPlotBackground(true, CWaveWnd::PlotColor, kPlotColor, nullptr);
    chart.SetLineWidth(kLineWidth);
    chart.SetGrid(true, 3, kGridColor, kGridColor);
    chart.SetWaveColor(0, kDistanceLineColor);
    chart.SetWaveToolTip(0, false);
    chart.SetSampleType(CWaveBuffer::kInt32);
    chart.SetWholeWindows(false);
    chart.ShowTitle(false);
    const QFontMetrics metrics = fontMetrics();
    chart.SetAxis(CWaveWnd::AxisLeft, true, metrics.horizontalAdvance(QStringLiteral("00000")) + 8);
    chart.SetAxis(CWaveWnd::AxisRight, true, metrics.horizontalAdvance(QStringLiteral("00000")) + 8);
    chart.SetAxis(CWaveWnd::AxisTop, false, 0);
    chart.SetAxis(CWaveWnd::AxisBottom, true, metrics.height() + 6);
    const int pointTenths = std::max(font().pointSize(), 8) * 10;
    chart.SetXAxisFont(pointTenths, font().family(), kAxisTextColor, 3, 0);
    chart.SetYAxisFont(pointTenths, font().family(), kAxisTextColor, 2, 0);
    chart.SetYTickCount(kDistanceLabels);
    chart.SetInteraction(false, false, false, false);
}

void CRecordingOverview::SetRecording(std::shared_ptr<const std::vector<DecodedReport>> reports,
                                      std::vector<LabelChange> labels, const QDateTime& timeBase,
                                      std::int64_t reportIntervalMs, const QString& title)
{
    m_reports = reports ? std::move(reports) : std::make_shared<const std::vector<DecodedReport>>();
    m_labels = std::move(labels);
    m_timeBase = timeBase;
    m_title = title;
    // A report holds for up to three intervals before the view calls it a gap.
    m_holdUs = std::max<std::int64_t>(reportIntervalMs, 1) * 3000;
    m_firstUs = m_reports->empty() ? 0 : m_reports->front().timeUs;
    m_lastUs = m_reports->empty() ? 0 : m_reports->back().timeUs;
    std::int32_t highest = 0;
    for (const DecodedReport& r : *m_reports)
        highest = std::max(highest, r.distance);
    m_distanceTop = std::max<std::int32_t>(800, (highest + 99) / 100 * 100);
    m_band->SetLabels(&m_labels);
    m_band->SetTimeBase(timeBase);
    ShowWhole();
}

void CRecordingOverview::ShowWhole()
{
    ShowRange(m_firstUs, m_lastUs + 1);
}

void CRecordingOverview::ShowRange(std::int64_t fromUs, std::int64_t toUs)
{
    const std::int64_t whole = std::max<std::int64_t>(m_lastUs + 1 - m_firstUs, 1);
    const std::int64_t narrowest = std::min(whole, std::max<std::int64_t>(m_holdUs / 3 * kFewestReports, 1));
    std::int64_t span = std::clamp<std::int64_t>(toUs - fromUs, narrowest, whole);
    fromUs = std::clamp<std::int64_t>(fromUs, m_firstUs, m_firstUs + whole - span);
    m_fromUs = fromUs;
    m_toUs = fromUs + span;
    Rebuild();
}

int CRecordingOverview::PlotLeft() const
{
    return m_chart->x() + m_chart->GetPlotRect().left;
}

int CRecordingOverview::PlotWidth() const
{
    const RECT& plot = m_chart->GetPlotRect();
    return std::max<int>(plot.right - plot.left, 0);
}

std::int64_t CRecordingOverview::TimeAtX(int x) const
{
    const int width = PlotWidth();
    const int offset = x - PlotLeft();
    if (width < 1 || offset < 0 || offset >= width)
        return -1;
    return m_fromUs + std::int64_t(double(m_toUs - m_fromUs) * offset / width);
}

void CRecordingOverview::ZoomAt(int x, double factor)
{
    if (!(factor > 0.0) || !std::isfinite(factor))
        return;
    std::int64_t anchor = TimeAtX(x);
    if (anchor < 0)
        anchor = (m_fromUs + m_toUs) / 2;
    const double span = double(m_toUs - m_fromUs) * factor;
    const double share = double(anchor - m_fromUs) / double(std::max<std::int64_t>(m_toUs - m_fromUs, 1));
    const auto from = std::int64_t(double(anchor) - span * share);
    ShowRange(from, from + std::int64_t(span));
}

void CRecordingOverview::PanBy(int pixels)
{
    const int width = std::max(PlotWidth(), 1);
    const auto shift = std::int64_t(double(m_toUs - m_fromUs) * pixels / width);
    ShowRange(m_fromUs - shift, m_toUs - shift);
}

void CRecordingOverview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOut();
}

void CRecordingOverview::LayOut()
{
    const int bandHeight = m_band->PreferredHeight();
    m_chart->setGeometry(0, 0, width(), std::max(height() - bandHeight, 1));
    m_band->setGeometry(0, m_chart->height(), width(), bandHeight);
    ConfigureChart();
    m_chart->InitChart();
    Rebuild();
}

QString CRecordingOverview::TimeText(std::int64_t us, std::int64_t span) const
{
    // Tenths of a second only where a label step is shorter than several seconds.
    const QTime time = m_timeBase.isValid() ? m_timeBase.addMSecs(us / 1000).time()
                                            : QTime(0, 0).addMSecs(int(us / 1000 % 86'400'000));
    QString text = time.toString(QStringLiteral("HH:mm:ss"));
    if (span < 60'000'000)
        text += QLatin1Char('.') + QString::number(time.msec() / 100);
    return text;
}

void CRecordingOverview::ShowTimeLabels()
{
    std::vector<WaveLabel> labels;
    labels.reserve(kTimeLabels);
    const std::int64_t span = m_toUs - m_fromUs;
    for (int i = 0; i < kTimeLabels; ++i)
        labels.push_back({i, TimeText(m_fromUs + span * i / (kTimeLabels - 1), span)});
    CPtrArrayCtrl list;
    for (WaveLabel& label : labels)
        list.AddData(&label);
    m_chart->SetXRange(0.0, double(kTimeLabels - 1));
    m_chart->SetXTickCount(kTimeLabels);
    m_chart->SetXLabels(&list);
}

void CRecordingOverview::Rebuild()
{
    const int columns = PlotWidth();
    if (columns < 1 || !m_reports)
        return;
    BuildEnvelope(*m_reports, m_fromUs, m_toUs, columns, m_holdUs, m_columns);
    // Two samples a column, its smallest then its largest distance: the line goes
    // through both, so a lone spike still reaches its height.
    m_samples.resize(std::size_t(columns) * 2);
    m_strip.Replace(columns);
    for (int c = 0; c < columns; ++c) {
        const EnvelopeColumn& col = m_columns[std::size_t(c)];
        m_samples[std::size_t(c) * 2] = col.hasData ? col.minimum : CWaveBuffer::kNoInt32Sample;
        m_samples[std::size_t(c) * 2 + 1] = col.hasData ? col.maximum : CWaveBuffer::kNoInt32Sample;
        if (col.hasData)
            m_strip.PushReport(col.timeUs, col.state);
        else
            m_strip.PushMissing(1, col.timeUs);
    }
    m_chart->SetSampleCount(columns * 2);
    m_chart->SetValueRange(0.0, m_distanceTop);
    m_chart->SetYAxisRange(0.0, m_distanceTop);
    ShowTimeLabels();
    m_chart->RemoveAllTextOverlays();
    if (!m_title.isEmpty()) {
        WaveTextOverlay title;
        title.text = m_title;
        title.layout = RECT{0, 0, 0, 0};
        title.font = font();
        title.flags = Qt::AlignLeft | Qt::AlignTop;
        title.argb = 0xFF404040;
        m_chart->AddTextOverlay(title);
    }
    m_chart->WaveBuffer(0).Push(m_samples.data(), int(m_samples.size()));
    m_chart->update();
    m_band->SetPlotSpan(PlotLeft() - m_band->x(), PlotLeft() - m_band->x() + columns);
    m_band->update();
}

bool CRecordingOverview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_chart)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Wheel: {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const int x = m_chart->x() + int(wheel->position().x());
        if (wheel->angleDelta().y() != 0)
            ZoomAt(x, wheel->angleDelta().y() > 0 ? 0.8 : 1.25);
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        m_pressed = true;
        m_pressX = m_lastX = int(mouse->position().x());
        return true;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!m_pressed)
            return false;
        const int x = int(mouse->position().x());
        if (std::abs(x - m_pressX) > kClickSlack && x != m_lastX) {
            PanBy(x - m_lastX);
            m_lastX = x;
        }
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!m_pressed || mouse->button() != Qt::LeftButton)
            return false;
        m_pressed = false;
        const int x = int(mouse->position().x());
        if (std::abs(x - m_pressX) <= kClickSlack && m_jump) {
            const std::int64_t at = TimeAtX(m_chart->x() + x);
            if (at >= 0)
                m_jump(at);
        }
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

QImage CRecordingOverview::Picture(const QSize& size)
{
    const QSize before = this->size();
    resize(size);
    LayOut();
    QImage picture = grab().toImage();
    resize(before);
    LayOut();
    return picture;
}
