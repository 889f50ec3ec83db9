#include "RegionDataBuffer.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

constexpr DWORD kRectangleType = 1;

DWORD readDword(const BYTE* at)
{
    DWORD value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void writeDword(BYTE* at, DWORD value) { std::memcpy(at, &value, sizeof value); }

bool overlaps(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// piece minus cut as at most four non-overlapping rectangles appended to out.
void subtract(const RECT& piece, const RECT& cut, std::vector<RECT>* out)
{
    if (!overlaps(piece, cut)) {
        out->push_back(piece);
        return;
    }
    const LONG midTop = std::max(piece.top, cut.top);
    const LONG midBottom = std::min(piece.bottom, cut.bottom);
    if (piece.top < cut.top) out->push_back({piece.left, piece.top, piece.right, cut.top});
    if (cut.bottom < piece.bottom) out->push_back({piece.left, cut.bottom, piece.right, piece.bottom});
    if (piece.left < cut.left) out->push_back({piece.left, midTop, cut.left, midBottom});
    if (cut.right < piece.right) out->push_back({cut.right, midTop, piece.right, midBottom});
}

}  // namespace

void RegionDataBuffer::FreeDeleter::operator()(BYTE* p) const { std::free(p); }

bool RegionDataBuffer::Allocate()
{
    data_.reset(static_cast<BYTE*>(std::calloc(1, (std::size_t(kGrowth) + 2) * kRectBytes)));
    if (data_ == nullptr) return false;
    capacity_ = kGrowth;
    StartBatch();
    return true;
}

bool RegionDataBuffer::Append(const RECT& rect)
{
    if (data_ == nullptr) return false;
    if (count_ == capacity_) {
        if (capacity_ > INT_MAX - kGrowth) return false;
        const std::size_t grown = (std::size_t(capacity_) + kGrowth + 2) * kRectBytes;
        auto* bigger = static_cast<BYTE*>(std::realloc(data_.get(), grown));
        if (bigger == nullptr) return false;
        data_.release();
        data_.reset(bigger);
        capacity_ += kGrowth;
    }
    std::memcpy(data_.get() + kHeaderBytes + std::size_t(count_) * kRectBytes, &rect, kRectBytes);
    ++count_;
    bounds_.left = std::min(bounds_.left, rect.left);
    bounds_.top = std::min(bounds_.top, rect.top);
    bounds_.right = std::max(bounds_.right, rect.right);
    bounds_.bottom = std::max(bounds_.bottom, rect.bottom);
    writeHeader();
    return true;
}

void RegionDataBuffer::StartBatch()
{
    count_ = 0;
    bounds_ = RECT{INT_MAX, INT_MAX, 0, 0};
    writeHeader();
}

void RegionDataBuffer::writeHeader()
{
    BYTE* header = data_.get();
    writeDword(header, DWORD(kHeaderBytes));
    writeDword(header + 4, kRectangleType);
    writeDword(header + 8, DWORD(count_));
    writeDword(header + 12, 0);
    std::memcpy(header + 16, &bounds_, sizeof bounds_);
}

HRGN CreateRegionFromData(const BYTE* data, std::size_t byteSize)
{
    if (data == nullptr || byteSize < RegionDataBuffer::kHeaderBytes) return nullptr;
    const DWORD headerSize = readDword(data);
    const DWORD count = readDword(data + 8);
    if (headerSize != RegionDataBuffer::kHeaderBytes || readDword(data + 4) != kRectangleType) return nullptr;
    if (count > (byteSize - headerSize) / RegionDataBuffer::kRectBytes) return nullptr;
    auto* region = new RectRegion;
    region->rects.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        RECT rect;
        std::memcpy(&rect, data + headerSize + std::size_t(i) * RegionDataBuffer::kRectBytes, sizeof rect);
        if (!IsRectEmpty(rect)) region->rects.push_back(rect);
    }
    return region;
}

void UniteRegion(RectRegion* target, const RectRegion& addition)
{
    if (addition.rects.empty()) return;
    RECT reach = addition.rects.front();
    for (const RECT& r : addition.rects) {
        reach.left = std::min(reach.left, r.left);
        reach.top = std::min(reach.top, r.top);
        reach.right = std::max(reach.right, r.right);
        reach.bottom = std::max(reach.bottom, r.bottom);
    }
    // Only rectangles near the addition can overlap it; usually a handful.
    std::vector<RECT> nearby;
    for (const RECT& r : target->rects)
        if (overlaps(r, reach)) nearby.push_back(r);
    std::vector<RECT> pieces;
    std::vector<RECT> rest;
    for (const RECT& added : addition.rects) {
        pieces.assign(1, added);
        for (const RECT& cut : nearby) {
            rest.clear();
            for (const RECT& piece : pieces) subtract(piece, cut, &rest);
            pieces.swap(rest);
            if (pieces.empty()) break;
        }
        target->rects.insert(target->rects.end(), pieces.begin(), pieces.end());
    }
}
