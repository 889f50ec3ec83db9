#include "WaveTipFormat.h"

#include <QByteArray>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "CLocaleFormat.h"

namespace {

// Widths and precisions beyond this would only make huge strings.
constexpr int kMaxFieldDigits = 3;

// Skips up to kMaxFieldDigits digits; false when there are more.
bool SkipDigits(const char*& p)
{
    int digits = 0;
    while (std::isdigit(static_cast<unsigned char>(*p))) {
        if (++digits > kMaxFieldDigits)
            return false;
        ++p;
    }
    return true;
}

}  // namespace

bool IsSafeWaveTipFormat(const QString& format)
{
    const QByteArray bytes = format.toUtf8();
    // The arguments, in the order they are passed.
    static const char* const kExpected[] = {"diouxX", "diouxX", "fFeEgGaA"};
    int used = 0;
    for (const char* p = bytes.constData(); *p; ++p) {
        if (*p != '%')
            continue;
        ++p;
        if (*p == '%')
            continue;
        while (*p && std::strchr("-+ #0", *p))
            ++p;
        if (!SkipDigits(p))
            return false;
        if (*p == '.') {
            ++p;
            if (!SkipDigits(p))
                return false;
        }
        if (used == 2 && *p == 'l')  // "%lf" means the same as "%f".
            ++p;
        if (used >= 3 || !*p || !std::strchr(kExpected[used], *p))
            return false;
        ++used;
    }
    return true;
}

QString FormatWaveTip(const QString& format, int wave, int sample, double value)
{
    const QByteArray bytes = (IsSafeWaveTipFormat(format) ? format : QString::fromLatin1(kDefaultWaveTipFormat)).toUtf8();
    const int needed = CLocaleSnprintf(nullptr, 0, bytes.constData(), wave, sample, value);
    if (needed <= 0)
        return QString();
    std::vector<char> text(std::size_t(needed) + 1);
    CLocaleSnprintf(text.data(), text.size(), bytes.constData(), wave, sample, value);
    return QString::fromUtf8(text.data(), needed);
}
