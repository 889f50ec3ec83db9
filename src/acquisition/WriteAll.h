#pragma once
#include <cstddef>
#include <cstdio>

// Writes count bytes of data to stream, retrying short writes with the rest. Stops at
// a stream error, and also when a write makes no progress without reporting an error,
// so it can never loop forever. Returns the bytes written; 0 when stream or data is
// null or count is 0. Used for the raw recording and the diagnostic log, by whichever
// thread owns the stream at the time.
std::size_t WriteAll(std::FILE* stream, const void* data, std::size_t count);

// The loop of WriteAll over any sink: write(bytes, size) returns the bytes taken,
// failed() tells whether the sink has reported an error.
template <typename WriteFn, typename FailedFn>
std::size_t WriteAllWith(const void* data, std::size_t count, WriteFn&& write, FailedFn&& failed)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::size_t done = 0;
    while (done < count) {
        const std::size_t asked = count - done;
        const std::size_t written = write(bytes + done, asked);
        done += written < asked ? written : asked;
        if (written == 0 || (written < asked && failed()))
            break;
    }
    return done;
}
