#include "CLocaleFormat.h"

#include <clocale>
#include <cstdio>
#include <locale.h>

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
