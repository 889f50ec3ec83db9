#include "CLocaleFormat.h"

#include <clocale>
#include <cstdio>
#include <locale.h>

#include <vector>

locale_t CNumbersLocale()
{
    // Every thread may use it at any time, so it lives as long as the process.
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return c;
}

int CLocaleVsnprintf(char* buffer, std::size_t size, const char* format, va_list args)
{
    const locale_t c = CNumbersLocale();
    // uselocale changes only this thread's locale, so other threads formatting at the
    // same moment are unaffected.
    const locale_t previous = c != locale_t(0) ? uselocale(c) : locale_t(0);
    const int n = std::vsnprintf(buffer, size, format, args);
    if (previous != locale_t(0))
        uselocale(previous);
    return n;
}

int CLocaleSnprintf(char* buffer, std::size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int n = CLocaleVsnprintf(buffer, size, format, args);
    va_end(args);
    return n;
}

int CLocaleFprintf(std::FILE* stream, const char* format, ...)
{
    char small[512];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int n = CLocaleVsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n >= 0 && std::size_t(n) < sizeof small) {
        va_end(again);
        return std::fputs(small, stream) < 0 ? -1 : n;
    }
    if (n >= 0) {
        std::vector<char> large(std::size_t(n) + 1);
        n = CLocaleVsnprintf(large.data(), large.size(), format, again);
        if (n >= 0 && std::fputs(large.data(), stream) < 0)
            n = -1;
    }
    va_end(again);
    return n;
}

std::string CLocaleFixed(double value, int decimals)
{
    char text[64];
    const int n = CLocaleSnprintf(text, sizeof text, "%.*f", decimals, value);
    // Beyond 63 characters only for magnitudes no figure of the program reaches.
    return n >= 0 && std::size_t(n) < sizeof text ? std::string(text) : std::string();
}
