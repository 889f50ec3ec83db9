#pragma once
// printf-style formatting that reads the same under every locale. A Qt application
// adopts the user's locale at start-up, so plain printf would write "600,0" under a
// comma-decimal locale; every text the program formats from a printf format (log
// lines, chart read-outs) goes through these instead.
#include <locale.h>

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <string>

// The "C" locale, made once and never freed; null only when the system cannot make it.
// For reading and writing numbers with a decimal point whatever the user's locale.
locale_t CNumbersLocale();

// vsnprintf with the "C" locale's numbers on the calling thread, whatever the
// process or thread locale is; the caller's locale is back in place on return.
int CLocaleVsnprintf(char* buffer, std::size_t size, const char* format, va_list args);
// snprintf counterpart of CLocaleVsnprintf.
int CLocaleSnprintf(char* buffer, std::size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// fprintf counterpart of CLocaleVsnprintf (any length).
int CLocaleFprintf(std::FILE* stream, const char* format, ...) __attribute__((format(printf, 2, 3)));
// value in fixed notation with `decimals` digits after a point ("0.709"): for every
// number the program writes into a file or shows, Qt text included.
std::string CLocaleFixed(double value, int decimals);
