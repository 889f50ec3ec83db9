#pragma once
#include <vector>

// An ordered list of pointer-sized items. It does not own what the items point to.
class CPtrListCtrl {
public:
    CPtrListCtrl() = default;
    virtual ~CPtrListCtrl() = default;

    // Appends item; returns its index.
    int AddData(void* item);
    int GetCount() const { return int(m_items.size()); }
    // Null for a missing index.
    void* GetAt(int index) const;
    // Removes the item at index and returns it; null for a missing index.
    virtual void* RemoveAt(int index);
    virtual void RemoveAll();

private:
    std::vector<void*> m_items;
};
