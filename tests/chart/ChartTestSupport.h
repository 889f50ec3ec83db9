#pragma once
// Shared set-ups and pixel readers for the chart window tests.
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWheelEvent>
#include <cstdint>
#include <vector>

#include "CWaveWnd.h"
#include "WavePoint.h"

// A chart of width x height with every axis hidden (the plot is the whole client),
// 32-bit samples mapped from 0 .. 800, a white plot without grid, buffers made.
inline void SetUpPlainChart(CWaveWnd& chart, int width, int height, int samples = 300)
{
    chart.resize(width, height);
    chart.SetWaveCount(1);
    chart.SetSampleType(CWaveBuffer::kInt32);
    chart.SetValueRange(0.0, 800.0);
    chart.SetSampleCount(samples);
    chart.SetBackColor(0xFFFFFF);
    chart.SetPlotBackground(true, CWaveWnd::PlotColor, 0xFFFFFFFF, nullptr);
    chart.SetGrid(false, 1, 0, 0);
    chart.SetLineWidth(1);
    chart.InitChart();
}

// Pushes one history of samples values, all equal to value, into a wave.
inline void PushConstant(CWaveWnd& chart, int wave, int samples, std::int32_t value)
{
    const std::vector<std::int32_t> history(std::size_t(samples), value);
    chart.WaveBuffer(wave).Push(history.data(), samples);
}

inline std::vector<POINT> WavePoints(const CWaveWnd& chart, int wave)
{
    std::vector<POINT> points;
    const CPtrArrayCtrl& list = chart.GetWavePoints(wave);
    for (int i = 0; i < list.GetCount(); ++i)
        points.push_back(UnpackWavePoint(list.GetAt(i)));
    return points;
}

// The raw 32-bit value of a buffer pixel, alpha byte included.
inline std::uint32_t RawPixel(const QImage& image, int x, int y)
{
    return reinterpret_cast<const std::uint32_t*>(image.constScanLine(y))[x];
}

// The rows of column x whose colour is rgb (alpha ignored).
inline std::vector<int> RowsOfColor(const QImage& image, int x, QRgb rgb)
{
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y)
        if ((image.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF))
            rows.push_back(y);
    return rows;
}

// Sends a mouse event; returns whether the chart took it (an ignored one goes to the parent).
inline bool SendMouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease || type == QEvent::MouseMove
                                      ? Qt::MouseButtons()
                                      : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, modifiers);
    QApplication::sendEvent(&widget, &event);
    return event.isAccepted();
}

// Sends a wheel turn of delta (120 per notch); returns whether the chart took it.
inline bool SendWheel(QWidget& widget, QPoint at, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWheelEvent event(QPointF(at), widget.mapToGlobal(QPointF(at)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
    return event.isAccepted();
}
