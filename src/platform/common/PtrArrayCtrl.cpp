#include "PtrArrayCtrl.h"

int CPtrArrayCtrl::AddData(void* item, int index)
{
    if (index < 0 || std::size_t(index) >= m_items.size()) {
        m_items.push_back(item);
        return int(m_items.size()) - 1;
    }
    m_items.insert(m_items.begin() + index, item);
    return index;
}

void* CPtrArrayCtrl::GetAt(int index) const
{
    if (index < 0 || std::size_t(index) >= m_items.size())
        return nullptr;
    return m_items[std::size_t(index)];
}

int CPtrArrayCtrl::FindFirst(const std::function<bool(void*)>& match) const
{
    if (!match)
        return -1;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (match(m_items[i]))
            return int(i);
    }
    return -1;
}

void CPtrArrayCtrl::RemoveAt(int index, int count)
{
    if (count <= 0 || index >= int(m_items.size()))
        return;
    // The part of [index, index + count) that lies inside the array.
    long long first = index;
    long long last = first + count;
    if (first < 0)
        first = 0;
    if (last > (long long)m_items.size())
        last = (long long)m_items.size();
    if (first >= last)
        return;
    m_items.erase(m_items.begin() + first, m_items.begin() + last);
}

void CPtrArrayCtrl::RemoveAll()
{
    m_items.clear();
}
