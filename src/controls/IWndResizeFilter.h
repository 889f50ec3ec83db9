#pragma once
#include <cstdint>

class QWidget;

// Lets the owner of a CWndResizeTool keep chosen children out of the layout pass.
// Queried on the user-interface thread, once per child and resize.
class IWndResizeFilter {
public:
    virtual ~IWndResizeFilter() = default;
    // False leaves the child where it is (and its font as it is).
    virtual bool CanMoveWindow(QWidget* child, std::uintptr_t userValue) = 0;
    // False moves the child but leaves its font as it is.
    virtual bool CanScaleFont(QWidget* child, std::uintptr_t userValue) = 0;
};
