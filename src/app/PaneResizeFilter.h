#pragma once
#include <QPointer>
#include <QWidget>

#include <vector>

#include "IWndResizeFilter.h"

// Keeps the proportional layout of the main window out of the panes that place their own
// controls (the health strip, the state band, the recording bar): the layout moves,
// sizes and re-fonts each pane, the pane's controls follow from its own layout and take
// its font. Moved by the proportional layout as well, they would land where they were
// recorded, before the pane had laid them out, and stay there until the pane's size
// changed again. User-interface thread only, as the layout.
class CPaneResizeFilter : public IWndResizeFilter {
public:
    void AddPane(QWidget* pane);

    bool CanMoveWindow(QWidget* child, std::uintptr_t userValue) override;
    bool CanScaleFont(QWidget* child, std::uintptr_t userValue) override;

private:
    bool InsideAPane(const QWidget* child) const;

    std::vector<QPointer<QWidget>> m_panes;
};
