#include "GifEncoder.h"

#include <QHash>
#include <gif_lib.h>

#include <memory>
#include <vector>

namespace {

constexpr int kMaxGifSide = 65535;
constexpr int kGifColors = 256;

bool isTransparent(QRgb pixel) { return qAlpha(pixel) < 128; }

// A picture as palette indices, ready for giflib.
struct IndexedPicture {
    std::vector<GifByteType> indices;
    std::vector<GifColorType> colors;
    int transparentIndex = -1;
};

int writeToByteArray(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

// Exact palette in first-seen order; false as soon as there are more than limit colours.
bool indexExactly(const QImage& argb, int limit, IndexedPicture* picture)
{
    QHash<QRgb, GifByteType> colorIndex;
    std::size_t i = 0;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x, ++i) {
            if (isTransparent(row[x])) continue;
            const QRgb rgb = row[x] & 0xFFFFFF;
            auto found = colorIndex.constFind(rgb);
            if (found == colorIndex.constEnd()) {
                if (colorIndex.size() == limit) return false;
                found = colorIndex.insert(rgb, GifByteType(colorIndex.size()));
                picture->colors.push_back(GifColorType{GifByteType(qRed(rgb)), GifByteType(qGreen(rgb)), GifByteType(qBlue(rgb))});
            }
            picture->indices[i] = *found;
        }
    }
    return true;
}

bool indexByQuantizing(const QImage& argb, int limit, IndexedPicture* picture)
{
    const std::size_t count = picture->indices.size();
    std::vector<GifByteType> red(count), green(count), blue(count);
    // Transparent pixels take an opaque neighbour's colour so they spend no palette entry.
    QRgb fill = 0;
    std::size_t i = 0;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x, ++i) {
            if (!isTransparent(row[x])) fill = row[x];
            const QRgb pixel = isTransparent(row[x]) ? fill : row[x];
            red[i] = GifByteType(qRed(pixel));
            green[i] = GifByteType(qGreen(pixel));
            blue[i] = GifByteType(qBlue(pixel));
        }
    }
    int size = limit;
    picture->colors.assign(kGifColors, GifColorType{0, 0, 0});
    if (GifQuantizeBuffer(unsigned(argb.width()), unsigned(argb.height()), &size, red.data(), green.data(), blue.data(),
                          picture->indices.data(), picture->colors.data()) == GIF_ERROR)
        return false;
    picture->colors.resize(std::size_t(qBound(1, size, limit)));
    return true;
}

bool toIndexed(const QImage& argb, IndexedPicture* picture)
{
    picture->indices.assign(std::size_t(argb.width()) * std::size_t(argb.height()), 0);
    bool anyTransparent = false;
    for (int y = 0; y < argb.height() && !anyTransparent; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (isTransparent(row[x])) {
                anyTransparent = true;
                break;
            }
    }
    const int limit = anyTransparent ? kGifColors - 1 : kGifColors;
    if (!indexExactly(argb, limit, picture)) {
        picture->colors.clear();
        if (!indexByQuantizing(argb, limit, picture)) return false;
    }
    if (!anyTransparent) return true;

    picture->transparentIndex = int(picture->colors.size());
    picture->colors.push_back(GifColorType{0, 0, 0});
    std::size_t i = 0;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x, ++i)
            if (isTransparent(row[x])) picture->indices[i] = GifByteType(picture->transparentIndex);
    }
    return true;
}

struct MapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

bool writeGif(const IndexedPicture& picture, int width, int height, QByteArray* out)
{
    // giflib takes palettes of a power of two entries, at least 2.
    int mapSize = 2;
    while (mapSize < int(picture.colors.size())) mapSize *= 2;
    std::vector<GifColorType> colors = picture.colors;
    colors.resize(std::size_t(mapSize), GifColorType{0, 0, 0});
    std::unique_ptr<ColorMapObject, MapDeleter> map(GifMakeMapObject(mapSize, colors.data()));
    if (map == nullptr) return false;

    int error = 0;
    GifFileType* gif = EGifOpen(out, writeToByteArray, &error);
    if (gif == nullptr) return false;
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, width, height, GifBitSize(mapSize), 0, map.get()) == GIF_OK;
    if (ok && picture.transparentIndex >= 0) {
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSAL_UNSPECIFIED;
        control.UserInputFlag = false;
        control.DelayTime = 0;
        control.TransparentColor = picture.transparentIndex;
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&control, extension);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), extension) == GIF_OK;
    }
    ok = ok && EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < height; ++y)
        ok = EGifPutLine(gif, const_cast<GifByteType*>(picture.indices.data()) + std::size_t(y) * std::size_t(width),
                         width) == GIF_OK;
    // Closing writes the trailer and frees gif whatever happened before.
    const bool closed = EGifCloseFile(gif, &error) == GIF_OK;
    return ok && closed;
}

}  // namespace

bool GifEncoder::Encode(const QImage& image, QByteArray* out)
{
    if (out == nullptr || image.isNull() || image.width() > kMaxGifSide || image.height() > kMaxGifSide) return false;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull()) return false;
    IndexedPicture picture;
    if (!toIndexed(argb, &picture)) return false;
    return writeGif(picture, argb.width(), argb.height(), out);
}
