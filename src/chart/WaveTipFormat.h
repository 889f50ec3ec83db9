#pragma once
#include <QString>

// The hover read-out's default wording: wave index, sample position, value.
inline constexpr const char* kDefaultWaveTipFormat = "Wave:%d, Sample:%d, Value:%.1f";

// True when format is a printf format that consumes at most, in this order, an
// integer, an integer and a double (with flags, width and precision up to 3 digits
// each, and %% anywhere). Anything else would read arguments that are not there.
bool IsSafeWaveTipFormat(const QString& format);

// The read-out text for format; an unsafe format is replaced by the default one.
QString FormatWaveTip(const QString& format, int wave, int sample, double value);
