#pragma once
#include <QString>
#include <cstdint>

// Lets an owner word the hover read-out. Called on the UI thread.
class IWaveTipInterface {
public:
    virtual ~IWaveTipInterface() = default;

    // The text for the sample under the pointer: its position within the window
    // (0 at the left edge at rest), the chart's offset and window length, and its value.
    virtual QString GetTipText(int wave, int sample, int offset, int windowLength, double value,
                               std::intptr_t user) = 0;
};
