#include "WideText.h"

#include <cstring>

QString WideToQString(const char16_t* text)
{
    return text == nullptr ? QString() : QString::fromUtf16(text);
}

bool Utf8PathToWideBuffer(const char* path, char16_t* out)
{
    out[0] = 0;
    if (path == nullptr) return false;
    return CopyToWideBuffer(QString::fromUtf8(path), out, kWidePathChars);
}

bool CopyToWideBuffer(const QString& text, char16_t* out, std::size_t outSize)
{
    if (out == nullptr || outSize == 0) return false;
    const auto length = std::size_t(text.size());
    if (length + 1 > outSize) {
        out[0] = 0;
        return false;
    }
    std::memcpy(out, text.utf16(), length * sizeof(char16_t));
    out[length] = 0;
    return true;
}

bool CopyToUtf8Buffer(const QString& text, char* out, std::size_t outSize)
{
    if (out == nullptr || outSize == 0) return false;
    const QByteArray utf8 = text.toUtf8();
    const auto length = std::size_t(utf8.size());
    if (length + 1 > outSize) {
        out[0] = 0;
        return false;
    }
    std::memcpy(out, utf8.constData(), length);
    out[length] = 0;
    return true;
}
