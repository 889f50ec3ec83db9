#pragma once
// The rectangle list a region is made from, laid out like the Windows RGNDATA block:
// a 32-byte header (header size 32, type 1, rectangle count, 0, bounds) followed by
// 16-byte rectangles. It starts with room for 100 rectangles and grows by 100, so a
// large picture never needs one huge block.
#include <cstddef>
#include <memory>

#include "WinTypes.h"

class RegionDataBuffer {
public:
    static constexpr int kGrowth = 100;
    static constexpr std::size_t kHeaderBytes = 32;
    static constexpr std::size_t kRectBytes = 16;

    // False when the first block cannot be allocated.
    bool Allocate();
    // Appends rect and widens the bounds, growing the block when it is full. False,
    // with the buffer unchanged, when growing fails.
    bool Append(const RECT& rect);
    // Count 0 and bounds reset; the capacity stays.
    void StartBatch();

    int Count() const { return count_; }
    int Capacity() const { return capacity_; }
    // The whole block: header and room for Capacity() rectangles.
    const BYTE* Data() const { return data_.get(); }
    std::size_t ByteSize() const { return (std::size_t(capacity_) + 2) * kRectBytes; }

private:
    struct FreeDeleter {
        void operator()(BYTE* p) const;
    };
    void writeHeader();

    std::unique_ptr<BYTE, FreeDeleter> data_;
    int capacity_ = 0;
    int count_ = 0;
    RECT bounds_;
};

// A region of the rectangles of an RGNDATA-style block, as the block's creator means
// them: null for a malformed header or a count the block cannot hold. Empty
// rectangles are left out.
HRGN CreateRegionFromData(const BYTE* data, std::size_t byteSize);
// Adds addition's area to target. Both hold non-overlapping rectangles, and so does
// target afterwards.
void UniteRegion(RectRegion* target, const RectRegion& addition);
