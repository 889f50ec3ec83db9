#pragma once
#include <cstdint>
#include <memory>
#include <vector>

// Decodes an animated GIF frame by frame into a 32-bit ARGB canvas (0xAARRGGBB,
// rows top first, width * 4 bytes per row), compositing with transparency and
// each frame's disposal method.
class CGifDecoder {
public:
    CGifDecoder();
    ~CGifDecoder();
    CGifDecoder(const CGifDecoder&) = delete;
    CGifDecoder& operator=(const CGifDecoder&) = delete;

    // Loads a GIF from a file or from memory (copied). Returns false on bad data; the
    // decoder is then unloaded.
    bool LoadFile(const char* path);
    bool LoadData(const void* data, std::size_t size);
    void Unload();
    bool IsLoaded() const;

    // Advances to the next frame and composites it; after the last frame the index
    // wraps to 0 (the canvas is cleared first). loopOnly is reserved (pass false).
    // Returns false when nothing is loaded.
    bool DecNextFrame(bool loopOnly);
    int GetFrameCount() const;
    // Index of the frame on the canvas; -1 before the first DecNextFrame.
    int GetCurFrameIndex() const;
    // Back to before the first frame.
    void ResetGifFrameIndex();
    int GetGifWidth() const;
    int GetGifHeight() const;
    // The canvas; null when nothing is loaded.
    const std::uint32_t* GetGifFrameBuffer() const;
    // Delay of the current frame in milliseconds (0 when none given).
    int GetCurFrameDelay() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
