#pragma once
#include <QFont>
#include <QString>
#include <vector>

#include "PtrArrayCtrl.h"
#include "WinTypes.h"

class QPainter;

// One axis of the chart: a strip beside the plot showing evenly spread value labels.
// An axis is only its labels; the grid carries the lines. UI thread only.
class CWaveCoordinate {
public:
    static constexpr int kHorizontal = 0;
    static constexpr int kVertical = 1;
    // Side: for a vertical axis 0 = left of the plot, 1 = right; for a horizontal
    // axis 0 = above the plot, 1 = below.
    static constexpr int kLeftOrTop = 0;
    static constexpr int kRightOrBottom = 1;
    // More labels than this are not drawn: they could not be told apart, and laying
    // out millions of them would stall the UI thread.
    static constexpr int kMaxLabels = 1000;

    // Where one label goes: its text, its box and its Qt alignment flags.
    struct LabelBox {
        QString text;
        RECT box;
        int alignment = 0;
    };

    CWaveCoordinate();
    virtual ~CWaveCoordinate();
    CWaveCoordinate(const CWaveCoordinate&) = delete;
    CWaveCoordinate& operator=(const CWaveCoordinate&) = delete;

    // Replaces the fixed labels by copies of labels' WaveLabel records; null clears them.
    void SetLabels(const CPtrArrayCtrl* labels);
    // Draws the labels into the strip with the painter's current font and pen.
    void DrawLabels(QPainter& painter) const;
    // The labels as DrawLabels places them; text longer than its box is cut there.
    std::vector<LabelBox> LayoutLabels() const;
    // The text of a label with the given value and step; decimals < 0 picks them from the step.
    QString FormatValue(double value, double step) const;

    void SetOrientation(int orientation) { m_orientation = orientation; }
    int GetOrientation() const { return m_orientation; }
    void SetSide(int side) { m_side = side; }
    int GetSide() const { return m_side; }
    void SetLabelCount(int count) { m_labelCount = count; }
    int GetLabelCount() const { return m_labelCount; }
    void SetRange(double low, double high);
    double GetRangeLow() const { return m_rangeLow; }
    double GetRangeHigh() const { return m_rangeHigh; }
    // Label values outside low .. high are folded by period; a period of 0 or less folds nothing.
    void SetWrap(double low, double high, double period);
    double GetWrapPeriod() const { return m_wrapPeriod; }
    void SetStrip(const RECT& strip) { m_strip = strip; }
    const RECT& GetStrip() const { return m_strip; }
    void SetFont(int pointTenths, const QString& face);
    const QFont& GetFont() const { return m_font; }
    void SetTextColor(COLORREF color) { m_textColor = color; }
    COLORREF GetTextColor() const { return m_textColor; }
    void SetLabelGap(int gap) { m_labelGap = gap; }
    int GetLabelGap() const { return m_labelGap; }
    void SetDecimals(int decimals) { m_decimals = decimals; }
    int GetDecimals() const { return m_decimals; }
    int GetFixedLabelCount() const { return m_fixedLabels.GetCount(); }

private:
    void FreeFixedLabels();
    const QString* FixedLabelText(int index) const;
    double FoldIntoWrap(double value) const;

    int m_orientation = kHorizontal;
    int m_side = kRightOrBottom;
    int m_labelCount = 5;
    double m_rangeLow = -32768.0;
    double m_rangeHigh = 32768.0;
    double m_wrapLow = 0.0;
    double m_wrapHigh = 0.0;
    double m_wrapPeriod = -1.0;
    RECT m_strip;
    QFont m_font;
    COLORREF m_textColor = 0;
    int m_labelGap = 0;
    int m_decimals = -1;
    // Owned WaveLabel records.
    CPtrArrayCtrl m_fixedLabels;
};
