#include "BaseStringA.h"

#include <cstring>

void CBaseStringA::Set(const char* text, int length)
{
    if (!text) {
        m_text.clear();
        return;
    }
    if (length < 0)
        m_text.assign(text);
    else
        m_text.assign(text, std::size_t(length));
}
