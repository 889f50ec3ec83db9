#pragma once
#include <cstddef>
#include <cstdint>

// A growable byte buffer. Not thread-safe: one owner at a time.
class CBaseBuffer {
public:
    CBaseBuffer() = default;
    ~CBaseBuffer();
    CBaseBuffer(const CBaseBuffer&) = delete;
    CBaseBuffer& operator=(const CBaseBuffer&) = delete;

    // Appends size bytes from data (data may be null only when size is 0). Returns false when out of memory.
    bool AppendBuffer(const void* data, std::size_t size);
    // Replaces the content by size bytes from data; data may point inside this buffer's own storage.
    bool SetBuffer(const void* data, std::size_t size);
    // The content; null when empty and never allocated.
    std::uint8_t* GetBuffer() const { return m_data; }
    std::size_t GetAvailSize() const { return m_size; }
    // Empties the buffer and frees its storage.
    void Delete();

private:
    bool Reserve(std::size_t capacity);
    std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};
