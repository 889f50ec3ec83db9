#pragma once
#include <functional>
#include <vector>

// An array of pointer-sized items. It does not own what the items point to.
class CPtrArrayCtrl {
public:
    CPtrArrayCtrl() = default;
    virtual ~CPtrArrayCtrl() = default;

    // Inserts item before index; index -1 (or past the end) appends. Returns the item's index.
    int AddData(void* item, int index = -1);
    int GetCount() const { return int(m_items.size()); }
    // Null for a missing index.
    void* GetAt(int index) const;
    // Index of the first item for which match returns true, or -1.
    virtual int FindFirst(const std::function<bool(void*)>& match) const;
    // Removes count items from index; out-of-range parts are ignored.
    virtual void RemoveAt(int index, int count = 1);
    virtual void RemoveAll();
    void Reserve(int count) { m_items.reserve(count > 0 ? std::size_t(count) : 0); }

private:
    std::vector<void*> m_items;
};
