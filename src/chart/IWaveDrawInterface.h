#pragma once
#include <cstdint>

#include "PtrArrayCtrl.h"
#include "WinTypes.h"

class QPainter;

// Lets an owner draw into the chart. All calls come on the UI thread while the chart
// renders; the painter is only valid during the call. The default bodies do nothing,
// so an owner overrides only what it needs.
class IWaveDrawInterface {
public:
    virtual ~IWaveDrawInterface() = default;

    // The back buffer holds window colour, plot background and grid; axis labels follow.
    // Strips and plot are logical client rectangles, and so are the painter's coordinates;
    // pixels are the buffer's width x height device pixels (the client size times the
    // chart's GetDevicePixelRatio()), stride bytes a row.
    virtual void OnDrawBackground(QPainter& /*painter*/, HBITMAP /*back*/, void* /*pixels*/, int /*width*/,
                                  int /*height*/, int /*stride*/, const RECT& /*left*/, const RECT& /*top*/,
                                  const RECT& /*right*/, const RECT& /*bottom*/, const RECT& /*plot*/,
                                  std::intptr_t /*user*/)
    {
    }
    // Before a visible wave is drawn; the owner may change its packed points. Where
    // samples are missing the list holds a break item (IsWaveBreak), not a point.
    virtual void OnBeforeDrawWave(int /*wave*/, const RECT& /*plot*/, CPtrArrayCtrl& /*points*/,
                                  std::intptr_t /*user*/)
    {
    }
    // Nonzero when the owner drew the wave itself and the chart must not.
    virtual int OnDrawWave(QPainter& /*painter*/, const RECT& /*plot*/, int /*wave*/, CPtrArrayCtrl& /*points*/,
                           int /*lineWidth*/, COLORREF /*color*/, bool /*smooth*/, std::intptr_t /*user*/)
    {
        return 0;
    }
};
