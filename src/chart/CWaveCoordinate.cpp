#include "CWaveCoordinate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>

#include "WaveFont.h"
#include "WaveLabel.h"
#include "WaveMath.h"
#include "CLocaleFormat.h"

namespace {

// Folding tolerates this much so that a label exactly on a wrap edge stays put.
constexpr double kWrapSlack = 1e-16;
// Beyond this many digits a double has nothing left to show.
constexpr int kMaxDecimals = 30;

COLORREF SystemWindowTextColor()
{
    const QColor c = QApplication::palette().color(QPalette::WindowText);
    return RGB(BYTE(c.red()), BYTE(c.green()), BYTE(c.blue()));
}

}  // namespace

CWaveCoordinate::CWaveCoordinate()
    : m_font(MakeWaveFont(80, QStringLiteral("黑体"))), m_textColor(SystemWindowTextColor())
{
}

CWaveCoordinate::~CWaveCoordinate()
{
    FreeFixedLabels();
}

void CWaveCoordinate::FreeFixedLabels()
{
    for (int i = 0; i < m_fixedLabels.GetCount(); ++i)
        delete static_cast<WaveLabel*>(m_fixedLabels.GetAt(i));
    m_fixedLabels.RemoveAll();
}

void CWaveCoordinate::SetLabels(const CPtrArrayCtrl* labels)
{
    FreeFixedLabels();
    if (!labels)
        return;
    for (int i = 0; i < labels->GetCount(); ++i) {
        if (const auto* source = static_cast<const WaveLabel*>(labels->GetAt(i)))
            m_fixedLabels.AddData(new WaveLabel(*source), -1);
    }
}

void CWaveCoordinate::SetRange(double low, double high)
{
    m_rangeLow = low;
    m_rangeHigh = high;
}

void CWaveCoordinate::SetWrap(double low, double high, double period)
{
    m_wrapLow = low;
    m_wrapHigh = high;
    m_wrapPeriod = period;
}

void CWaveCoordinate::SetFont(int pointTenths, const QString& face)
{
    m_font = MakeWaveFont(pointTenths, face);
}

const QString* CWaveCoordinate::FixedLabelText(int index) const
{
    for (int i = 0; i < m_fixedLabels.GetCount(); ++i) {
        const auto* label = static_cast<const WaveLabel*>(m_fixedLabels.GetAt(i));
        if (label && label->index == index)
            return &label->text;
    }
    return nullptr;
}

double CWaveCoordinate::FoldIntoWrap(double v) const
{
    const double p = m_wrapPeriod;
    if (!(p > 0.0) || (v >= m_wrapLow - kWrapSlack && v <= m_wrapHigh + kWrapSlack))
        return v;
    v -= std::trunc(v / p) * p;
    if (v < m_wrapLow - kWrapSlack)
        v += p;
    else if (v > m_wrapHigh + kWrapSlack)
        v -= p;
    return v;
}

QString CWaveCoordinate::FormatValue(double value, double step) const
{
    int d = m_decimals;
    if (d < 0) {
        d = 0;
        for (double s = step; d < 10 && std::fabs(s) < 1.0; s *= 10.0)
            ++d;
    }
    d = std::min(d, kMaxDecimals);
    const double scale = std::pow(10.0, d);
    const double v = FoldIntoWrap(wave_math::Nearest(value * scale) / scale);
    return QString::fromStdString(CLocaleFixed(v, d));
}

std::vector<CWaveCoordinate::LabelBox> CWaveCoordinate::LayoutLabels() const
{
    std::vector<LabelBox> boxes;
    const int n = m_labelCount;
    if (n <= 0 || n > kMaxLabels)
        return boxes;
    const bool horizontal = m_orientation == kHorizontal;
    const bool farSide = m_side == kRightOrBottom;
    const double extent = horizontal ? RectWidth(m_strip) : RectHeight(m_strip);
    // A single label has no spacing: it takes the whole strip and shows the low end.
    const double cell = n > 1 ? extent / (n - 1) : 0.0;
    const double step = (m_rangeHigh - m_rangeLow) / (n > 1 ? n - 1 : 1);
    const LONG stripStart = horizontal ? m_strip.left : m_strip.top;

    // Across the axis each box spans the strip, minus the gap on the plot-facing edge.
    RECT across = m_strip;
    if (horizontal && farSide)
        across.top += m_labelGap;
    else if (horizontal)
        across.bottom -= m_labelGap;
    else if (farSide)
        across.left += m_labelGap;
    else
        across.right -= m_labelGap;

    boxes.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        const double value = horizontal ? m_rangeLow + i * step : m_rangeLow + (n - 1 - i) * step;
        LabelBox label;
        const QString* fixed = FixedLabelText(i);
        label.text = fixed ? *fixed : FormatValue(value, step);

        double from = (i - 0.5) * cell;
        double to = (i + 0.5) * cell;
        if (n == 1) {
            from = 0.0;
            to = extent;
        } else if (i == 0) {
            from = 0.0;
            to = cell;
        } else if (i == n - 1) {
            from = (i - 1) * cell;
            to = i * cell;
        }
        const LONG start = stripStart + LONG(wave_math::Nearest(from));
        const LONG end = stripStart + LONG(wave_math::Nearest(to));

        label.box = across;
        int along = 0;
        if (horizontal) {
            label.box.left = start;
            label.box.right = end;
            along = i == 0 ? Qt::AlignLeft : i == n - 1 ? Qt::AlignRight : Qt::AlignHCenter;
            label.alignment = along | (farSide ? Qt::AlignTop : Qt::AlignBottom);
        } else {
            label.box.top = start;
            label.box.bottom = end;
            along = i == 0 ? Qt::AlignTop : i == n - 1 ? Qt::AlignBottom : Qt::AlignVCenter;
            label.alignment = along | (farSide ? Qt::AlignLeft : Qt::AlignRight);
        }
        boxes.push_back(std::move(label));
    }
    return boxes;
}

void CWaveCoordinate::DrawLabels(QPainter& painter) const
{
    const QFontMetrics metrics = painter.fontMetrics();
    for (const LabelBox& label : LayoutLabels()) {
        const QRect box(QPoint(label.box.left, label.box.top), QPoint(label.box.right - 1, label.box.bottom - 1));
        if (box.isEmpty())
            continue;
        // One line, cut with an ellipsis when it does not fit, clipped to its box.
        const QString shown = metrics.elidedText(label.text, Qt::ElideRight, box.width());
        painter.drawText(box, label.alignment | Qt::TextSingleLine, shown);
    }
}
