// Start-up and shut-down of the bitmap functions. The drawing layer runs on Qt's image
// and painting code, which needs no start-up of its own, so the record only keeps the
// token that marks it started.
#include <new>

#include "GdiplusApi.h"

namespace {
// Any non-zero value: the record has been started.
constexpr ULONG_PTR kStartedToken = 1;
}  // namespace

extern "C" GdiplusStartupRecord* Gdiplus_Init(void)
{
    auto* record = new (std::nothrow) GdiplusStartupRecord;
    if (record == nullptr) return nullptr;
    record->token = kStartedToken;
    return record;
}

extern "C" void Gdiplus_DeInit(GdiplusStartupRecord* record)
{
    if (record == nullptr) return;
    record->token = 0;
    delete record;
}
