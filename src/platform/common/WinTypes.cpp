#include "WinTypes.h"

BOOL DeleteObject(HBITMAP bitmap)
{
    if (!bitmap)
        return 0;
    delete bitmap;
    return 1;
}

BOOL DeleteObject(HRGN region)
{
    if (!region)
        return 0;
    delete region;
    return 1;
}
