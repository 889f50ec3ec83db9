#include "GifTestFile.h"

#include <gif_lib.h>

#include <QFile>

bool WriteSolidColourGif(const QString& path, int width, int height, const std::vector<QRgb>& frameColours,
                         int delayCentiseconds)
{
    if (frameColours.empty() || frameColours.size() > 256 || width <= 0 || height <= 0)
        return false;
    int error = 0;
    GifFileType* gif = EGifOpenFileName(QFile::encodeName(path).constData(), false, &error);
    if (!gif)
        return false;
    EGifSetGifVersion(gif, true);

    int mapSize = 2;
    while (mapSize < int(frameColours.size()))
        mapSize *= 2;
    std::vector<GifColorType> colours(std::size_t(mapSize), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < frameColours.size(); ++i)
        colours[i] = GifColorType{GifByteType(qRed(frameColours[i])), GifByteType(qGreen(frameColours[i])),
                                  GifByteType(qBlue(frameColours[i]))};
    ColorMapObject* map = GifMakeMapObject(mapSize, colours.data());
    bool ok = map && EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;

    std::vector<GifPixelType> row(static_cast<std::size_t>(width));
    for (std::size_t frame = 0; ok && frame < frameColours.size(); ++frame) {
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_DO_NOT;
        control.DelayTime = delayCentiseconds;
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        const std::size_t extensionLength = EGifGCBToExtension(&control, extension);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(extensionLength), extension) == GIF_OK
             && EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
        row.assign(row.size(), GifPixelType(frame));
        for (int y = 0; ok && y < height; ++y)
            ok = EGifPutLine(gif, row.data(), width) == GIF_OK;
    }
    GifFreeMapObject(map);
    return EGifCloseFile(gif, &error) == GIF_OK && ok;
}
