#include "PaneResizeFilter.h"

#include <algorithm>

void CPaneResizeFilter::AddPane(QWidget* pane)
{
    if (pane)
        m_panes.emplace_back(pane);
}

bool CPaneResizeFilter::InsideAPane(const QWidget* child) const
{
    for (const QWidget* parent = child ? child->parentWidget() : nullptr; parent; parent = parent->parentWidget())
        if (std::any_of(m_panes.begin(), m_panes.end(), [parent](const QPointer<QWidget>& pane) { return pane == parent; }))
            return true;
    return false;
}

bool CPaneResizeFilter::CanMoveWindow(QWidget* child, std::uintptr_t /*userValue*/)
{
    return !InsideAPane(child);
}

bool CPaneResizeFilter::CanScaleFont(QWidget* /*child*/, std::uintptr_t /*userValue*/)
{
    return true;
}
