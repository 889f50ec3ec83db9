#pragma once
#include <QPointer>

#include <cstdint>

#include "PtrListCtrl.h"

class QWidget;
class IWndResizeFilter;
struct ResizeItem;

// Lays out the child widgets of a resizable window in proportion to its size.
// Init records the window's client size and the geometry and font of every widget
// below it; each Resize places and re-fonts them from those records, so repeated
// resizes never accumulate rounding. Top-level widgets parented to the window
// (dialogs, pop-ups) are not its children here and are left alone.
// Used only on the user-interface thread that owns the window.
class CWndResizeTool {
public:
    CWndResizeTool() = default;
    virtual ~CWndResizeTool();
    CWndResizeTool(const CWndResizeTool&) = delete;
    CWndResizeTool& operator=(const CWndResizeTool&) = delete;

    // Records everything anew and enables the tool; keep-ratio is switched off again.
    // A null parent leaves the tool disabled with no records.
    void Init(QWidget* parent);

    // Lays the children out for a client area of cx by cy pixels. ratioX and ratioY
    // (either may be null) receive new size / recorded size, or 1.0 when nothing was
    // laid out. Returns 1 when it laid out, 0 when the tool is not enabled, when the
    // recorded client size had no area (no ratio exists) or when cx or cy is negative.
    int Resize(int cx, int cy, double* ratioX = nullptr, double* ratioY = nullptr);

    // The filter is not owned and must outlive the tool or be reset to null.
    void SetFilter(IWndResizeFilter* filter, std::uintptr_t userValue = 0);
    // Non-zero makes both ratios the smaller one, so children keep their shape.
    void SetKeepRatio(int keepRatio) { m_keepRatio = keepRatio; }
    int GetKeepRatio() const { return m_keepRatio; }
    bool IsEnabled() const { return m_enabled != 0; }
    int GetRecordCount() const { return m_records.GetCount(); }

private:
    void RemoveAllRecords();
    void RecordChildren(QWidget* window);
    void ApplyRecord(ResizeItem& item, double sx, double sy, double fontScale);

    IWndResizeFilter* m_filter = nullptr;
    std::uintptr_t m_userValue = 0;
    int m_enabled = 0;
    int m_keepRatio = 0;
    QPointer<QWidget> m_parent;
    // Owned ResizeItem pointers, every widget below the parent in pre-order.
    CPtrListCtrl m_records;
    int m_recordedWidth = 0;
    int m_recordedHeight = 0;
};
