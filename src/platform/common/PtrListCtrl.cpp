#include "PtrListCtrl.h"

int CPtrListCtrl::AddData(void* item)
{
    m_items.push_back(item);
    return int(m_items.size()) - 1;
}

void* CPtrListCtrl::GetAt(int index) const
{
    if (index < 0 || std::size_t(index) >= m_items.size())
        return nullptr;
    return m_items[std::size_t(index)];
}

void* CPtrListCtrl::RemoveAt(int index)
{
    if (index < 0 || std::size_t(index) >= m_items.size())
        return nullptr;
    void* item = m_items[std::size_t(index)];
    m_items.erase(m_items.begin() + index);
    return item;
}

void CPtrListCtrl::RemoveAll()
{
    m_items.clear();
}
