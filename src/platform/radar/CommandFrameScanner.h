#pragma once
// Finds command or reply frames in a byte stream that may also carry report frames,
// garbage and corrupt frames.
//
// Every C5 3A in the stream is a candidate frame. A candidate whose length is out of
// range or whose CRC is wrong is skipped by one byte only, so a false header inside
// other bytes can never swallow the real frame after it. While an early candidate is
// still incomplete, later candidates are tried as well: a false header announcing a
// long frame does not hold back a complete, valid frame behind it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "CommandFrame.h"

class CCommandFrameScanner {
public:
    // Appends bytes received from the other side.
    void Append(const std::uint8_t* data, std::size_t size);
    // Removes and returns the first complete frame with a valid CRC, dropping every
    // byte before it; nullopt when there is none yet.
    std::optional<CommandFrame> Next();
    // Hands back the bytes held after the last frame returned and empties the scanner.
    std::vector<std::uint8_t> TakeRemainder();
    std::size_t BufferedSize() const { return m_buffer.size(); }
    // Candidates with a plausible length and a wrong CRC seen so far.
    std::size_t RejectedFrames() const { return m_rejected; }

private:
    // Drops bytes that can no longer start a frame.
    void Prune(std::size_t keepFrom);

    std::vector<std::uint8_t> m_buffer;
    // Wrong-CRC candidates before this offset are counted already: a rescan while an
    // earlier candidate waits for its bytes must not count them twice.
    std::size_t m_rejectedUpTo = 0;
    std::size_t m_rejected = 0;
};
