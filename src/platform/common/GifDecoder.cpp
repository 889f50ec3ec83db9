// CGifDecoder over giflib. The whole file is decoded to palette indices at load time
// (de-interlaced); DecNextFrame then composites one frame onto
// the ARGB canvas. Disposal "restore to background" clears the frame's area to fully
// transparent pixels (what browsers do), not to the logical screen's background colour.
#include "GifDecoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "FileUtils.h"

namespace {

struct MemoryReader {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int wanted)
{
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    if (!reader || wanted <= 0)
        return 0;
    const std::size_t n = std::min(std::size_t(wanted), reader->size - reader->pos);
    std::memcpy(out, reader->data + reader->pos, n);
    reader->pos += n;
    return int(n);
}

// Largest canvas accepted (pixels): keeps a hostile header from exhausting memory.
constexpr std::int64_t kMaxCanvasPixels = std::int64_t(8192) * 8192;

struct Frame {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> indices;     // width * height palette indices, rows top first
    std::array<std::uint32_t, 256> palette{};  // ARGB, opaque
    int paletteSize = 0;
    int transparentIndex = -1;
    int disposal = 0;
    int delayMs = 0;
};

void FillPalette(Frame& frame, const ColorMapObject* map)
{
    if (!map || !map->Colors || map->ColorCount <= 0) {
        // No colour table at all: a grey ramp keeps the picture visible.
        for (int i = 0; i < 256; ++i)
            frame.palette[std::size_t(i)] = 0xFF000000u | (std::uint32_t(i) * 0x010101u);
        frame.paletteSize = 256;
        return;
    }
    frame.paletteSize = std::min(map->ColorCount, 256);
    for (int i = 0; i < frame.paletteSize; ++i) {
        const GifColorType& c = map->Colors[i];
        frame.palette[std::size_t(i)] =
            0xFF000000u | (std::uint32_t(c.Red) << 16) | (std::uint32_t(c.Green) << 8) | std::uint32_t(c.Blue);
    }
}

}  // namespace

struct CGifDecoder::Impl {
    int width = 0;
    int height = 0;
    std::vector<Frame> frames;
    std::vector<std::uint32_t> canvas;
    std::vector<std::uint32_t> saved;  // canvas before a frame with disposal 3
    int current = -1;

    void Clear()
    {
        width = height = 0;
        frames.clear();
        canvas.clear();
        saved.clear();
        current = -1;
    }

    bool Load(const void* data, std::size_t size);
    void Dispose(const Frame& frame);
    void Draw(const Frame& frame);
};

bool CGifDecoder::Impl::Load(const void* data, std::size_t size)
{
    Clear();
    if (!data || size < 6)
        return false;
    MemoryReader reader{static_cast<const std::uint8_t*>(data), size, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, &ReadFromMemory, &error);
    if (!gif)
        return false;
    std::int64_t screenW = gif->SWidth, screenH = gif->SHeight;

    // Record by record rather than DGifSlurp: a damaged file then keeps exactly the
    // frames that were read completely.
    GraphicsControlBlock pending{};
    bool havePending = false;
    bool done = false;
    while (!done) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            break;
        if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) == GIF_ERROR)
                break;
            const GifImageDesc& desc = gif->Image;
            if (desc.Width <= 0 || desc.Height <= 0 ||
                std::int64_t(desc.Width) * desc.Height > kMaxCanvasPixels)
                break;
            Frame f;
            f.left = desc.Left;
            f.top = desc.Top;
            f.width = desc.Width;
            f.height = desc.Height;
            f.indices.resize(std::size_t(f.width) * std::size_t(f.height));
            bool ok = true;
            if (desc.Interlace) {
                static const int kOffset[4] = {0, 4, 2, 1};
                static const int kJump[4] = {8, 8, 4, 2};
                for (int pass = 0; pass < 4 && ok; ++pass)
                    for (int y = kOffset[pass]; y < f.height && ok; y += kJump[pass])
                        ok = DGifGetLine(gif, f.indices.data() + std::size_t(y) * std::size_t(f.width), f.width) == GIF_OK;
            } else {
                for (int y = 0; y < f.height && ok; ++y)
                    ok = DGifGetLine(gif, f.indices.data() + std::size_t(y) * std::size_t(f.width), f.width) == GIF_OK;
            }
            if (!ok)
                break;  // an incomplete frame is dropped with everything after it
            FillPalette(f, desc.ColorMap ? desc.ColorMap : gif->SColorMap);
            if (havePending) {
                f.transparentIndex = pending.TransparentColor;
                f.disposal = pending.DisposalMode;
                f.delayMs = pending.DelayTime * 10;
                havePending = false;
            }
            // Some writers leave the screen size 0: the frames then define it.
            if (gif->SWidth <= 0 || gif->SHeight <= 0) {
                screenW = std::max<std::int64_t>(screenW, std::int64_t(f.left) + f.width);
                screenH = std::max<std::int64_t>(screenH, std::int64_t(f.top) + f.height);
            }
            frames.push_back(std::move(f));
        } else if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
                break;
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
                pending = GraphicsControlBlock{};
                if (DGifExtensionToGCB(block[0], block + 1, &pending) == GIF_OK)
                    havePending = true;
            }
            while (block) {
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
                    done = true;
                    break;
                }
            }
        } else {
            done = true;  // terminator (or an unknown record: stop there)
        }
    }
    DGifCloseFile(gif, &error);

    if (frames.empty() || screenW <= 0 || screenH <= 0 || screenW * screenH > kMaxCanvasPixels) {
        Clear();
        return false;
    }
    width = int(screenW);
    height = int(screenH);
    canvas.assign(std::size_t(width) * std::size_t(height), 0u);
    current = -1;
    return true;
}

// Applies `frame`'s disposal before the next frame is drawn.
void CGifDecoder::Impl::Dispose(const Frame& frame)
{
    if (frame.disposal == DISPOSE_BACKGROUND) {
        const int x0 = std::max(0, frame.left), y0 = std::max(0, frame.top);
        const int x1 = std::min(width, frame.left + frame.width), y1 = std::min(height, frame.top + frame.height);
        // A frame may lie wholly right of or below the canvas; then there is nothing to clear.
        if (x0 >= x1)
            return;
        for (int y = y0; y < y1; ++y)
            std::fill(canvas.begin() + std::ptrdiff_t(y) * width + x0, canvas.begin() + std::ptrdiff_t(y) * width + x1,
                      0u);
    } else if (frame.disposal == DISPOSE_PREVIOUS && saved.size() == canvas.size()) {
        canvas = saved;
    }
}

void CGifDecoder::Impl::Draw(const Frame& frame)
{
    if (frame.disposal == DISPOSE_PREVIOUS)
        saved = canvas;
    for (int fy = 0; fy < frame.height; ++fy) {
        const int y = frame.top + fy;
        if (y < 0 || y >= height)
            continue;
        const std::uint8_t* row = frame.indices.data() + std::size_t(fy) * std::size_t(frame.width);
        for (int fx = 0; fx < frame.width; ++fx) {
            const int x = frame.left + fx;
            if (x < 0 || x >= width)
                continue;
            const int index = row[fx];
            if (index == frame.transparentIndex || index >= frame.paletteSize)
                continue;
            canvas[std::size_t(y) * std::size_t(width) + std::size_t(x)] = frame.palette[std::size_t(index)];
        }
    }
}

CGifDecoder::CGifDecoder() : m_impl(std::make_unique<Impl>()) {}

CGifDecoder::~CGifDecoder() = default;

bool CGifDecoder::LoadFile(const char* path)
{
    std::size_t size = 0;
    std::uint8_t* data = ReadFileDataA(path, &size);
    if (!data) {
        m_impl->Clear();
        return false;
    }
    const bool ok = m_impl->Load(data, size);
    ReleaseFileData(data);
    return ok;
}

bool CGifDecoder::LoadData(const void* data, std::size_t size)
{
    return m_impl->Load(data, size);
}

void CGifDecoder::Unload()
{
    m_impl->Clear();
}

bool CGifDecoder::IsLoaded() const
{
    return !m_impl->frames.empty();
}

bool CGifDecoder::DecNextFrame(bool /*loopOnly*/)
{
    Impl& d = *m_impl;
    if (d.frames.empty())
        return false;
    int next = d.current + 1;
    if (next >= int(d.frames.size()))
        next = 0;
    if (next == 0) {
        // A new loop starts from an empty canvas.
        std::fill(d.canvas.begin(), d.canvas.end(), 0u);
        d.saved.clear();
    } else {
        d.Dispose(d.frames[std::size_t(d.current)]);
    }
    d.Draw(d.frames[std::size_t(next)]);
    d.current = next;
    return true;
}

int CGifDecoder::GetFrameCount() const
{
    return int(m_impl->frames.size());
}

int CGifDecoder::GetCurFrameIndex() const
{
    return m_impl->current;
}

void CGifDecoder::ResetGifFrameIndex()
{
    m_impl->current = -1;
    std::fill(m_impl->canvas.begin(), m_impl->canvas.end(), 0u);
    m_impl->saved.clear();
}

int CGifDecoder::GetGifWidth() const
{
    return m_impl->width;
}

int CGifDecoder::GetGifHeight() const
{
    return m_impl->height;
}

const std::uint32_t* CGifDecoder::GetGifFrameBuffer() const
{
    return m_impl->frames.empty() ? nullptr : m_impl->canvas.data();
}

int CGifDecoder::GetCurFrameDelay() const
{
    const Impl& d = *m_impl;
    if (d.current < 0 || d.current >= int(d.frames.size()))
        return 0;
    return d.frames[std::size_t(d.current)].delayMs;
}
