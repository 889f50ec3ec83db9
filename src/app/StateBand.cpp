#include "StateBand.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolButton>
#include <QToolTip>

#include <algorithm>
#include <cmath>

#include "LabelInForce.h"
#include "StringIds.h"
#include "StringTable.h"
#include "CLocaleFormat.h"

namespace {

constexpr StringId kStateNames[] = {StringId::kNobodyState, StringId::kMovingState, StringId::kMotionlessState};
// The label names as the recording bar's buttons show them, in GroundTruthLabel order.
constexpr StringId kLabelNames[] = {StringId::kNoLabelText, StringId::kEmptyLabelText, StringId::kMovingLabelText,
                                    StringId::kStillLabelText};
// The label line under the band, and the gap between them.
constexpr int kLabelLine = 3;
constexpr int kLabelGap = 1;

}  // namespace

QString PresenceStateName(std::int8_t state)
{
    if (state < 0 || state >= kPresenceStateCount)
        return StringTable::load(StringId::kNoDataText);
    return StringTable::load(kStateNames[state]);
}

CStateBand::CStateBand(const CStateStrip& strip, QWidget* parent) : QWidget(parent), m_strip(strip)
{
    m_statisticsButton = new QToolButton(this);
    m_statisticsButton->setText(StringTable::load(StringId::kStatisticsText));
    m_statisticsButton->setToolTip(StringTable::load(StringId::kStatisticsTip));
    m_statisticsButton->setCheckable(true);
    m_statisticsButton->setAutoRaise(true);
    // An arrow that points the way the panel opens: right while closed, down while open.
    m_statisticsButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_statisticsButton->setArrowType(Qt::RightArrow);
    connect(m_statisticsButton, &QToolButton::toggled, m_statisticsButton,
            [button = m_statisticsButton](bool open) { button->setArrowType(open ? Qt::DownArrow : Qt::RightArrow); });
    setMouseTracking(true);
    // Every report repaints the strip, which the paint covers whole: no background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QColor CStateBand::StateColor(std::int8_t state)
{
    // Told apart with red-green colour blindness too: grey, orange and blue differ in
    // lightness as well as hue.
    switch (state) {
    case std::int8_t(PresenceState::Nobody):
        return QColor(0xDD, 0xDD, 0xDD);
    case std::int8_t(PresenceState::Moving):
        return QColor(0xE6, 0x9F, 0x00);
    case std::int8_t(PresenceState::Motionless):
        return QColor(0x00, 0x72, 0xB2);
    default:
        return QColor(0xFF, 0xFF, 0xFF);
    }
}

QColor CStateBand::LabelColor(GroundTruthLabel label)
{
    switch (label) {
    case GroundTruthLabel::Empty:
        return QColor(0x80, 0x80, 0x80);
    case GroundTruthLabel::Moving:
        return StateColor(std::int8_t(PresenceState::Moving));
    case GroundTruthLabel::Still:
        return StateColor(std::int8_t(PresenceState::Motionless));
    case GroundTruthLabel::Off:
        break;
    }
    return QColor();
}

void CStateBand::SetPlotSpan(int left, int right)
{
    if (left == m_plotLeft && right == m_plotRight)
        return;
    m_plotLeft = left;
    m_plotRight = std::max(left, right);
    PlaceSwitch();
    update();
}

void CStateBand::SetLabels(const std::vector<LabelChange>* labels)
{
    m_labels = labels;
    update();
}

void CStateBand::RequestRepaint()
{
    m_repaintRequest.Request();
}

void CStateBand::HoldRepaints(bool held)
{
    m_repaintRequest.Hold(held);
}

void CStateBand::ReleaseRepaint()
{
    m_repaintRequest.Release();
}

int CStateBand::WantedLegendHeight() const
{
    return std::max(fontMetrics().height(), m_statisticsButton->sizeHint().height()) + 2;
}

int CStateBand::LegendHeight() const
{
    // A window made smaller than its layout was drawn for still leaves the band half.
    return std::min(WantedLegendHeight(), std::max(height() / 2, 1));
}

int CStateBand::PreferredHeight() const
{
    return fontMetrics().height() + kLabelLine + kLabelGap + 4 + WantedLegendHeight();
}

QRect CStateBand::BandRect() const
{
    const int bandHeight = std::max(height() - LegendHeight() - kLabelLine - kLabelGap - 2, 4);
    return QRect(m_plotLeft, 1, std::max(m_plotRight - m_plotLeft, 0), bandHeight);
}

QRect CStateBand::StripArea() const
{
    return BandRect().adjusted(0, 0, 0, kLabelGap + kLabelLine);
}

void CStateBand::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceSwitch();
}

void CStateBand::PlaceSwitch()
{
    // At the plot's right edge, which a chart set-up may move without a resize.
    const QSize button = m_statisticsButton->sizeHint();
    m_statisticsButton->setGeometry(std::max(m_plotRight - button.width(), 0), height() - LegendHeight(),
                                    button.width(), std::min(button.height(), LegendHeight()));
}

double CStateBand::SampleX(double index) const
{
    // Where the chart puts sample i of n: at i * (W - 1) / (n - 1) across the plot.
    const double n = double(m_samples.size());
    const double width = double(m_plotRight - m_plotLeft);
    return n > 1 ? m_plotLeft + index * (width - 1) / (n - 1) : m_plotLeft;
}

int CStateBand::SampleAt(int x) const
{
    const int n = int(m_samples.size());
    const int width = m_plotRight - m_plotLeft;
    if (n < 1 || x < m_plotLeft || x >= m_plotRight)
        return -1;
    if (n == 1 || width < 2)
        return 0;
    return std::clamp(int(std::lround(double(x - m_plotLeft) * (n - 1) / (width - 1))), 0, n - 1);
}

void CStateBand::paintEvent(QPaintEvent* event)
{
    m_repaintRequest.Painted();
    m_strip.CopyTo(m_samples);
    QPainter painter(this);
    // The states cover the band; everything else of the region gets the window colour.
    const QColor face = palette().color(QPalette::Window);
    for (const QRect& area : event->region().subtracted(QRegion(BandRect())))
        painter.fillRect(area, face);
    const QRect band = BandRect();
    if (event->region().intersects(StripArea())) {
        PaintStates(painter, band);
        PaintLabels(painter, QRect(band.left(), band.bottom() + 1 + kLabelGap, band.width(), kLabelLine));
    }
    // The legend never changes with a report: only a paint that reaches it draws it.
    const QRect legend(m_plotLeft, height() - LegendHeight(), m_statisticsButton->x() - m_plotLeft, LegendHeight());
    if (event->region().intersects(legend))
        PaintLegend(painter, legend);
}

void CStateBand::PaintStates(QPainter& painter, const QRect& band)
{
    if (band.width() <= 0)
        return;
    const int n = int(m_samples.size());
    if (n == 0)
        painter.fillRect(band, StateColor(StripSample::kNoData));
    for (int first = 0; first < n;) {
        int last = first;
        while (last + 1 < n && m_samples[std::size_t(last) + 1].state == m_samples[std::size_t(first)].state)
            ++last;
        // Each sample owns the pixels nearer to it than to its neighbours; whole pixels,
        // which the raster engine fills directly.
        const int left = first == 0 ? band.left() : int(std::lround(SampleX(first - 0.5)));
        const int right = last == n - 1 ? band.right() + 1 : int(std::lround(SampleX(last + 0.5)));
        const QRect area(left, band.top(), right - left, band.height());
        const std::int8_t state = m_samples[std::size_t(first)].state;
        // The hatching leaves pixels out: the area is made white first (no background is
        // painted under the band).
        painter.fillRect(area, StateColor(state));
        if (state == StripSample::kNoData)
            painter.fillRect(area, QBrush(QColor(0x60, 0x60, 0x60), Qt::BDiagPattern));
        first = last + 1;
    }
    // The frame as four whole-pixel fills: a pen's rectangle goes through the stroker.
    const QColor frame(0x90, 0x90, 0x90);
    painter.fillRect(QRect(band.left(), band.top(), band.width(), 1), frame);
    painter.fillRect(QRect(band.left(), band.bottom(), band.width(), 1), frame);
    painter.fillRect(QRect(band.left(), band.top(), 1, band.height()), frame);
    painter.fillRect(QRect(band.right(), band.top(), 1, band.height()), frame);
}

void CStateBand::PaintLabels(QPainter& painter, const QRect& line)
{
    if (!m_labels || m_labels->empty() || line.width() <= 0)
        return;
    const int n = int(m_samples.size());
    for (int first = 0; first < n;) {
        const GroundTruthLabel label = LabelInForce(*m_labels, m_samples[std::size_t(first)].timeUs);
        int last = first;
        while (last + 1 < n && LabelInForce(*m_labels, m_samples[std::size_t(last) + 1].timeUs) == label)
            ++last;
        if (label != GroundTruthLabel::Off) {
            const int left = first == 0 ? line.left() : int(std::lround(SampleX(first - 0.5)));
            const int right = last == n - 1 ? line.right() + 1 : int(std::lround(SampleX(last + 0.5)));
            painter.fillRect(QRect(left, line.top(), right - left, line.height()), LabelColor(label));
        }
        first = last + 1;
    }
}

void CStateBand::PaintLegend(QPainter& painter, const QRect& area)
{
    const QFontMetrics metrics = fontMetrics();
    const int swatch = std::max(metrics.ascent() - 2, 6);
    const int top = area.top() + (area.height() - swatch) / 2;
    int x = area.left();
    auto item = [&](const QString& text, const QBrush& brush, bool thin) {
        const QRect box(x, thin ? top + swatch / 2 - 1 : top, swatch * (thin ? 2 : 1), thin ? kLabelLine : swatch);
        painter.fillRect(box, Qt::white);
        painter.fillRect(box, brush);
        if (!thin) {
            painter.setPen(QColor(0x90, 0x90, 0x90));
            painter.drawRect(box.adjusted(0, 0, -1, -1));
        }
        x = box.right() + 4;
        painter.setPen(palette().color(QPalette::WindowText));
        const QRect textBox(x, area.top(), metrics.horizontalAdvance(text) + 1, area.height());
        painter.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter, text);
        x = textBox.right() + 12;
    };
    for (std::int8_t s = 0; s < kPresenceStateCount; ++s)
        item(PresenceStateName(s), StateColor(s), false);
    item(StringTable::load(StringId::kNoDataText), QBrush(QColor(0x60, 0x60, 0x60), Qt::BDiagPattern), false);
    QLinearGradient truth(0, 0, swatch * 2, 0);
    truth.setColorAt(0.0, LabelColor(GroundTruthLabel::Empty));
    truth.setColorAt(0.49, LabelColor(GroundTruthLabel::Empty));
    truth.setColorAt(0.5, LabelColor(GroundTruthLabel::Moving));
    truth.setColorAt(1.0, LabelColor(GroundTruthLabel::Moving));
    truth.setStart(x, 0);
    truth.setFinalStop(x + swatch * 2, 0);
    item(StringTable::load(StringId::kLabelText), QBrush(truth), true);
}

QString CStateBand::TimeText(std::int64_t us) const
{
    if (m_runStart.isValid())
        return m_runStart.addMSecs(us / 1000).toString(QStringLiteral("HH:mm:ss.z"));
    return QString::fromStdString(CLocaleFixed(double(us) / 1e6, 1)) + QStringLiteral(" s");
}

QString CStateBand::HoverText(int x)
{
    m_strip.CopyTo(m_samples);
    const int index = SampleAt(x);
    StateRun run;
    if (index < 0 || !FindStateRun(m_samples, index, run))
        return QString();
    const QString lasted = QString::fromStdString(CLocaleFixed(double(run.lastedUs) / 1e6, 1));
    QString text =
        StringTable::load(run.goesOn ? StringId::kRunGoesOn : StringId::kRunEnded)
            .arg(PresenceStateName(run.state), TimeText(run.beganUs), lasted);
    if (m_labels) {
        const GroundTruthLabel label = LabelInForce(*m_labels, m_samples[std::size_t(index)].timeUs);
        if (label != GroundTruthLabel::Off)
            text += QStringLiteral("\n") + StringTable::load(StringId::kLabelInForce).arg(StringTable::load(kLabelNames[int(label)]));
    }
    return text;
}

bool CStateBand::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = BandRect().adjusted(0, 0, 0, kLabelLine + kLabelGap).contains(help->pos())
                                 ? HoverText(help->pos().x())
                                 : QString();
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}
