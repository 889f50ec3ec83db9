#pragma once
// Just enough of a report frame decoder for the demo: finds AA AA state distance 55 55
// in the byte stream, across block boundaries, skipping anything else.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

class CReportFrameReader {
public:
    using FrameSink = std::function<void(int state, int distanceCm)>;

    // Scans data (and what was left over from earlier blocks) and calls sink per frame.
    void Feed(const std::uint8_t* data, std::size_t size, const FrameSink& sink);

private:
    std::vector<std::uint8_t> m_pending;
};
