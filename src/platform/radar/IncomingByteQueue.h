#pragma once
// The bytes the module has sent and nobody has read yet, handed from the link's
// own thread (serial I/O thread or simulated module thread) to the readers.
//
// Threads: Push and MarkFailed come from the link's thread; Read, Unread and Discard
// from the acquisition or user-interface thread; Reset and Shut from the thread that
// opens and closes the link. Every member is guarded by m_mutex.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

class CIncomingByteQueue {
public:
    // Holds at most this many bytes. When nobody reads for a long time (connected but
    // idle), the oldest bytes go first so that memory stays bounded; DroppedBytes counts them.
    static constexpr std::size_t kCapacity = 1u << 20;

    void Push(const std::uint8_t* data, std::size_t size);
    // The link is gone (device unplugged, pty hung up): readers get what is left, then -1.
    void MarkFailed();

    // Copies up to capacity bytes into buffer as soon as any are there, waiting at most
    // timeoutMs. Returns the count, 0 on time-out, -1 when the queue is empty and the link
    // has failed or is shut.
    int Read(std::uint8_t* buffer, int capacity, int timeoutMs);
    // Puts bytes taken by Read back in front of everything queued.
    void Unread(const std::uint8_t* data, std::size_t size);
    // Drops everything queued; returns how many bytes that was.
    std::size_t Discard();

    // Empty and open for a new link.
    void Reset();
    // No link: readers return -1 at once, also those waiting now.
    void Shut();

    bool HasFailed() const;
    std::size_t DroppedBytes() const;

private:
    void TrimToCapacityLocked();

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::uint8_t> m_bytes;
    bool m_failed = false;
    bool m_shut = true;
    std::size_t m_dropped = 0;
};
