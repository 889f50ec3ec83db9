// CGifDecoder over any bytes, as the colour static control animates a GIF: load, then
// composite every frame and wrap around to the first again. A loaded picture must
// have a canvas of its size and frames that composite within it.
#include <cstdint>
#include <cstring>

#include "FuzzCheck.h"
#include "GifDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CGifDecoder decoder;
    if (!decoder.LoadData(data, size)) {
        FUZZ_CHECK(!decoder.IsLoaded());
        FUZZ_CHECK(decoder.GetGifFrameBuffer() == nullptr);
        return 0;
    }
    const int width = decoder.GetGifWidth();
    const int height = decoder.GetGifHeight();
    const int frames = decoder.GetFrameCount();
    FUZZ_CHECK(width > 0 && height > 0 && frames > 0);
    FUZZ_CHECK(decoder.GetCurFrameIndex() == -1);

    const std::size_t pixels = std::size_t(width) * std::size_t(height);
    // One loop and the first frame of the next, where the canvas starts over.
    for (int step = 0; step <= frames; ++step) {
        FUZZ_CHECK(decoder.DecNextFrame(false));
        FUZZ_CHECK(decoder.GetCurFrameIndex() == step % frames);
        FUZZ_CHECK(decoder.GetCurFrameDelay() >= 0);
        const std::uint32_t* canvas = decoder.GetGifFrameBuffer();
        FUZZ_CHECK(canvas != nullptr);
        // Touch the first and last pixel: the canvas must really be width x height.
        volatile std::uint32_t corners = canvas[0] ^ canvas[pixels - 1];
        (void)corners;
    }
    decoder.ResetGifFrameIndex();
    FUZZ_CHECK(decoder.GetCurFrameIndex() == -1);
    return 0;
}
