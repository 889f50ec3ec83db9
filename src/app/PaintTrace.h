#pragma once
#include <cstdint>
#include <cstdio>

// An optional timing trace of the main window's paints, for measuring how long a
// report takes from the module to the screen. When the environment variable
// TIVANE_PAINT_TRACE names a file, every completed paint of the window appends one
// line to it: the CLOCK_MONOTONIC time in nanoseconds and the number of report frames
// the window now shows in full (digits and curve). Without the variable nothing is
// opened and Painted costs a test of a null pointer.
//
// Threads: user-interface thread only.
class CPaintTrace {
public:
    CPaintTrace();
    ~CPaintTrace();
    CPaintTrace(const CPaintTrace&) = delete;
    CPaintTrace& operator=(const CPaintTrace&) = delete;

    bool IsOn() const { return m_file != nullptr; }
    void Painted(std::uint64_t framesShown);

private:
    std::FILE* m_file = nullptr;
};
