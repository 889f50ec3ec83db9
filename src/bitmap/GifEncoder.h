#pragma once
#include <QByteArray>
#include <QImage>

// Writes one picture as a GIF89a with giflib. A picture of at most 256 colours (255
// when some pixels are transparent) keeps them exactly; more are reduced by giflib's
// quantiser, which keeps 5 bits per channel. Pixels with alpha below 128 become the
// one transparent colour; the others are opaque.
class GifEncoder {
public:
    // Appends the GIF to *out. False for a null or empty picture, one wider or higher
    // than 65535, or a giflib failure (*out is then unspecified).
    static bool Encode(const QImage& image, QByteArray* out);
};
