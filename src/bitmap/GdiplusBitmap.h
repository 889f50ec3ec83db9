#pragma once
#include <QImage>
#include <memory>

#include "GdiplusTypes.h"

namespace Gdiplus {

// A picture with a pixel format, lockable pixels and the status of the last failed
// operation on it. The pixels are a QImage: of its own, or laid over the caller's
// memory (then nothing is copied and the caller's later writes show).
// Threads: a bitmap belongs to one thread at a time; nothing here locks.
class Bitmap {
public:
    // Pixel memory of its own, zeroed. On failure the image is null and the last status
    // says why (InvalidParameter, OutOfMemory).
    Bitmap(INT width, INT height, PixelFormat format);
    // Over the caller's rows, stride bytes apart, top row first; not copied.
    Bitmap(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0);
    // A decoded picture; its Qt format is brought to the nearest pixel format
    // (alpha: 32bppARGB, opaque colour: 24bppRGB, palette and grey: 8bppIndexed).
    explicit Bitmap(const QImage& decoded);
    // Takes pixels that already have format's layout (and palette), e.g. a copy.
    Bitmap(const QImage& pixels, PixelFormat format);
    virtual ~Bitmap();

    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    UINT GetWidth() const;
    UINT GetHeight() const;
    PixelFormat GetPixelFormat() const;
    // The last failing status, then reset to Ok.
    Status GetLastStatus();
    // Keeps a failing status as the last status; Ok leaves it. Returns status.
    Status RecordStatus(Status status);

    // Hands out rect (null: all) of the pixels in format. When format is the bitmap's
    // own, Scan0 points into the pixels themselves; otherwise into a converted copy
    // that UnlockBits writes back when ImageLockModeWrite was asked for. With
    // ImageLockModeUserInputBuf the caller's Scan0/Stride buffer is used instead.
    // One lock at a time (WrongState otherwise). Reserved receives how many bytes
    // each locked row may be read from its start (at least the packed row).
    Status LockBits(const Rect* rect, UINT flags, PixelFormat format, BitmapData* locked);
    Status UnlockBits(BitmapData* locked);
    bool IsLocked() const { return lock_ != nullptr; }

    // The pixels for Qt drawing code. Do not keep copies of it while the bitmap is
    // locked or drawn into: a shared QImage is copied on write and the bitmap would no
    // longer see (or, over caller memory, write) the same pixels.
    const QImage& image() const { return image_; }
    QImage& image() { return image_; }

    // Largest pixel memory a bitmap may own; bigger requests fail with OutOfMemory
    // rather than depending on what the allocator happens to allow.
    static constexpr qsizetype kMaxPixelBytes = qsizetype(1) << 30;

private:
    struct LockState;
    Status lockConverted(const QRect& area, UINT flags, PixelFormat format, BitmapData* locked);
    Status writeBack(const LockState& state);

    QImage image_;
    PixelFormat format_ = PixelFormatUndefined;
    Status lastStatus_ = Ok;
    std::unique_ptr<LockState> lock_;
};

}  // namespace Gdiplus
