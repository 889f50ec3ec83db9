#pragma once
#include <string>

// A narrow (UTF-8) text.
class CBaseStringA {
public:
    CBaseStringA() = default;
    explicit CBaseStringA(const char* text) { Set(text, -1); }
    // Copies length bytes of text, or up to its terminator when length is -1; null empties.
    void Set(const char* text, int length = -1);
    const char* GetString() const { return m_text.c_str(); }
    int GetLength() const { return int(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }

private:
    std::string m_text;
};
