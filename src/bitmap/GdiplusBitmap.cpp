#include "GdiplusBitmap.h"

#include <cstring>

#include "PixelFormatMap.h"

namespace Gdiplus {

namespace {

bool fitsPixelBudget(qint64 width, qint64 height, PixelFormat format)
{
    const qint64 rowBytes = ((qint64(GetPixelFormatSize(format)) * width + 31) / 32) * 4;
    return rowBytes > 0 && height > 0 && rowBytes <= Bitmap::kMaxPixelBytes / height;
}

void applyDefaultPalette(QImage& image)
{
    if (image.format() == QImage::Format_Indexed8) image.setColorTable(DefaultPalette8());
    if (image.format() == QImage::Format_Mono) image.setColorTable(DefaultPalette1());
}

}  // namespace

// What one lock remembers until UnlockBits.
struct Bitmap::LockState {
    QRect area;
    UINT flags = 0;
    PixelFormat format = PixelFormatUndefined;
    // Converted pixels when the lock is not on the bitmap's own memory.
    QImage converted;
    bool direct = false;
};

Bitmap::Bitmap(INT width, INT height, PixelFormat format) : format_(format)
{
    const QImage::Format qtFormat = QtFormatOfPixelFormat(format);
    if (width <= 0 || height <= 0 || qtFormat == QImage::Format_Invalid) {
        lastStatus_ = InvalidParameter;
        return;
    }
    if (!fitsPixelBudget(width, height, format)) {
        lastStatus_ = OutOfMemory;
        return;
    }
    image_ = QImage(width, height, qtFormat);
    if (image_.isNull()) {
        lastStatus_ = OutOfMemory;
        return;
    }
    image_.fill(0);
    applyDefaultPalette(image_);
}

Bitmap::Bitmap(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0) : format_(format)
{
    const QImage::Format qtFormat = QtFormatOfPixelFormat(format);
    const qsizetype rowBytes = PackedRowBytes(format, width);
    if (scan0 == nullptr || width <= 0 || height <= 0 || qtFormat == QImage::Format_Invalid || rowBytes < 0 ||
        stride < rowBytes) {
        lastStatus_ = InvalidParameter;
        return;
    }
    image_ = QImage(scan0, width, height, stride, qtFormat);
    if (image_.isNull()) {
        lastStatus_ = InvalidParameter;
        return;
    }
    applyDefaultPalette(image_);
}

Bitmap::Bitmap(const QImage& decoded)
{
    image_ = NormalizeDecodedImage(decoded);
    format_ = PixelFormatOfQtFormat(image_.format());
    if (image_.isNull() || format_ == PixelFormatUndefined) {
        image_ = QImage();
        lastStatus_ = decoded.isNull() ? UnknownImageFormat : OutOfMemory;
    }
}

Bitmap::Bitmap(const QImage& pixels, PixelFormat format) : image_(pixels), format_(format)
{
    if (image_.isNull() || QtFormatOfPixelFormat(format) != image_.format()) {
        image_ = QImage();
        lastStatus_ = pixels.isNull() ? OutOfMemory : InvalidParameter;
    }
}

Bitmap::~Bitmap() = default;

UINT Bitmap::GetWidth() const { return UINT(image_.width()); }
UINT Bitmap::GetHeight() const { return UINT(image_.height()); }
PixelFormat Bitmap::GetPixelFormat() const { return image_.isNull() ? PixelFormatUndefined : format_; }

Status Bitmap::GetLastStatus()
{
    const Status status = lastStatus_;
    lastStatus_ = Ok;
    return status;
}

Status Bitmap::RecordStatus(Status status)
{
    if (status != Ok) lastStatus_ = status;
    return status;
}

Status Bitmap::LockBits(const Rect* rect, UINT flags, PixelFormat format, BitmapData* locked)
{
    if (locked == nullptr || image_.isNull()) return RecordStatus(InvalidParameter);
    if (lock_ != nullptr) return RecordStatus(WrongState);
    if ((flags & (ImageLockModeRead | ImageLockModeWrite)) == 0) return RecordStatus(InvalidParameter);
    const QRect area = rect == nullptr ? image_.rect() : QRect(rect->X, rect->Y, rect->Width, rect->Height);
    if (rect != nullptr && (rect->Width <= 0 || rect->Height <= 0 || rect->X < 0 || rect->Y < 0 ||
                            qint64(rect->X) + rect->Width > image_.width() ||
                            qint64(rect->Y) + rect->Height > image_.height()))
        return RecordStatus(InvalidParameter);
    if (QtFormatOfPixelFormat(format) == QImage::Format_Invalid) return RecordStatus(InvalidParameter);

    const UINT bits = GetPixelFormatSize(format);
    const bool byteAligned = (qint64(area.x()) * bits) % 8 == 0;
    if (format != format_ || !byteAligned || (flags & ImageLockModeUserInputBuf) != 0)
        return lockConverted(area, flags, format, locked);

    // Read-only locks must not detach a shared image; writers need the bitmap's own rows.
    uchar* base = (flags & ImageLockModeWrite) != 0 ? image_.bits() : const_cast<uchar*>(image_.constBits());
    auto state = std::make_unique<LockState>();
    state->area = area;
    state->flags = flags;
    state->format = format;
    state->direct = true;
    locked->Width = UINT(area.width());
    locked->Height = UINT(area.height());
    locked->Stride = INT(image_.bytesPerLine());
    locked->PixelFormat = format;
    const qsizetype offset = qsizetype(area.x()) * bits / 8;
    locked->Scan0 = base + qsizetype(area.y()) * image_.bytesPerLine() + offset;
    locked->Reserved = ULONG_PTR(image_.bytesPerLine() - offset);
    lock_ = std::move(state);
    return Ok;
}

Status Bitmap::lockConverted(const QRect& area, UINT flags, PixelFormat format, BitmapData* locked)
{
    const QImage::Format qtFormat = QtFormatOfPixelFormat(format);
    auto state = std::make_unique<LockState>();
    state->area = area;
    state->flags = flags;
    state->format = format;

    if ((flags & ImageLockModeUserInputBuf) != 0) {
        const qsizetype rowBytes = PackedRowBytes(format, area.width());
        if (locked->Scan0 == nullptr || locked->Stride < rowBytes) return RecordStatus(InvalidParameter);
        state->converted = QImage(static_cast<uchar*>(locked->Scan0), area.width(), area.height(),
                                  locked->Stride, qtFormat);
    } else {
        state->converted = QImage(area.size(), qtFormat);
    }
    if (state->converted.isNull()) return RecordStatus(OutOfMemory);
    if (qtFormat == QImage::Format_Indexed8 || qtFormat == QImage::Format_Mono)
        state->converted.setColorTable(format == format_ ? image_.colorTable()
                                                         : (qtFormat == QImage::Format_Mono ? DefaultPalette1()
                                                                                             : DefaultPalette8()));

    if ((flags & ImageLockModeRead) != 0) {
        QImage part = image_.copy(area);
        part = ConvertImage(part, qtFormat, state->converted.colorTable());
        if (part.isNull()) return RecordStatus(OutOfMemory);
        const qsizetype rowBytes = qMin(part.bytesPerLine(), state->converted.bytesPerLine());
        for (int y = 0; y < area.height(); ++y)
            std::memcpy(state->converted.scanLine(y), part.constScanLine(y), size_t(rowBytes));
    } else {
        state->converted.fill(0);
    }

    locked->Width = UINT(area.width());
    locked->Height = UINT(area.height());
    locked->Stride = INT(state->converted.bytesPerLine());
    locked->PixelFormat = format;
    locked->Scan0 = state->converted.bits();
    locked->Reserved = ULONG_PTR(state->converted.bytesPerLine());
    lock_ = std::move(state);
    return Ok;
}

Status Bitmap::UnlockBits(BitmapData* locked)
{
    if (locked == nullptr) return RecordStatus(InvalidParameter);
    if (lock_ == nullptr) return RecordStatus(WrongState);
    const std::unique_ptr<LockState> state = std::move(lock_);
    if (state->direct || (state->flags & ImageLockModeWrite) == 0) return Ok;
    return writeBack(*state);
}

// Brings the pixels a writer left in a converted lock back into the bitmap's format.
Status Bitmap::writeBack(const LockState& state)
{
    const QImage back = ConvertImage(state.converted, image_.format(), image_.colorTable());
    if (back.isNull()) return RecordStatus(OutOfMemory);
    const QRect& area = state.area;
    const UINT bits = GetPixelFormatSize(format_);
    if ((qint64(area.x()) * bits) % 8 == 0) {
        const qsizetype rowBytes = PackedRowBytes(format_, area.width());
        for (int y = 0; y < area.height(); ++y)
            std::memcpy(image_.scanLine(area.y() + y) + qsizetype(area.x()) * bits / 8, back.constScanLine(y),
                        size_t(rowBytes));
        return Ok;
    }
    // Sub-byte pixels that do not start on a byte: one by one.
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x) image_.setPixel(area.x() + x, area.y() + y, uint(back.pixelIndex(x, y)));
    return Ok;
}

}  // namespace Gdiplus
