#include "WndResizeTool.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

#include "IWndResizeFilter.h"
#include "ResizeItem.h"

namespace {

// Widget coordinates beyond this are meaningless to Qt; clamping keeps a huge
// ratio from overflowing the integer conversion.
constexpr double kCoordinateLimit = 16777215.0;

// Truncation toward zero, never rounding: 11 halves to 5 and -13 to -6.
int Truncate(double value)
{
    if (std::isnan(value))
        return 0;
    return int(std::trunc(std::clamp(value, -kCoordinateLimit, kCoordinateLimit)));
}

}  // namespace

CWndResizeTool::~CWndResizeTool()
{
    RemoveAllRecords();
}

void CWndResizeTool::RemoveAllRecords()
{
    // Last first, as the records were made parents before children.
    for (int i = m_records.GetCount() - 1; i >= 0; --i)
        delete static_cast<ResizeItem*>(m_records.RemoveAt(i));
}

void CWndResizeTool::Init(QWidget* parent)
{
    RemoveAllRecords();
    m_enabled = 0;
    m_keepRatio = 0;
    m_parent = parent;
    if (!parent) {
        m_recordedWidth = 0;
        m_recordedHeight = 0;
        return;
    }
    m_recordedWidth = parent->width();
    m_recordedHeight = parent->height();
    RecordChildren(parent);
    m_enabled = 1;
}

void CWndResizeTool::RecordChildren(QWidget* window)
{
    for (QObject* object : window->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || child->isWindow())
            continue;
        auto* item = new ResizeItem;
        item->window = child;
        const QRect geometry = child->geometry();
        item->left = geometry.x();
        item->top = geometry.y();
        item->right = geometry.x() + geometry.width();
        item->bottom = geometry.y() + geometry.height();
        item->font = FontDescription::FromWidget(*child);
        m_records.AddData(item);
        // Pre-order: a child's own children follow it, relative to it.
        RecordChildren(child);
    }
}

void CWndResizeTool::SetFilter(IWndResizeFilter* filter, std::uintptr_t userValue)
{
    m_filter = filter;
    m_userValue = userValue;
}

int CWndResizeTool::Resize(int cx, int cy, double* ratioX, double* ratioY)
{
    if (ratioX)
        *ratioX = 1.0;
    if (ratioY)
        *ratioY = 1.0;
    QWidget* parent = m_parent.data();
    if (!m_enabled || !parent)
        return 0;
    // A recorded side of 0 has no ratio (it would divide by zero), and a negative
    // size would mirror every child: neither gives a layout.
    if (m_recordedWidth <= 0 || m_recordedHeight <= 0 || cx < 0 || cy < 0)
        return 0;

    double sx = double(cx) / m_recordedWidth;
    double sy = double(cy) / m_recordedHeight;
    const double fontScale = std::min(sx, sy);
    if (m_keepRatio)
        sx = sy = fontScale;

    // Painting stays off while the children move and change fonts, so the window
    // repaints once at the end. Re-enable only what we disabled: an owner that froze
    // the window itself keeps it frozen.
    const bool wasUpdating = parent->updatesEnabled();
    parent->setUpdatesEnabled(false);
    for (int i = 0; i < m_records.GetCount(); ++i)
        ApplyRecord(*static_cast<ResizeItem*>(m_records.GetAt(i)), sx, sy, fontScale);
    if (wasUpdating)
        parent->setUpdatesEnabled(true);
    parent->update();

    if (ratioX)
        *ratioX = sx;
    if (ratioY)
        *ratioY = sy;
    return 1;
}

void CWndResizeTool::ApplyRecord(ResizeItem& item, double sx, double sy, double fontScale)
{
    QWidget* child = item.window.data();
    if (!child)
        return;
    if (m_filter && !m_filter->CanMoveWindow(child, m_userValue))
        return;
    const int x = Truncate(item.left * sx);
    const int y = Truncate(item.top * sy);
    const int width = std::max(0, Truncate(item.right * sx) - x);
    const int height = std::max(0, Truncate(item.bottom * sy) - y);
    child->setGeometry(x, y, width, height);

    if (m_filter && !m_filter->CanScaleFont(child, m_userValue))
        return;
    if (item.font.height == 0)
        return;
    item.scaledFont = item.font.ToFont(Truncate(item.font.height * fontScale),
                                       Truncate(item.font.width * fontScale));
    child->setFont(*item.scaledFont);
}
