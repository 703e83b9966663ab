#include "app/RecentFiles.h"

#include <strings.h>

namespace zavora {

namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

} // namespace

void RecentFiles::add(std::string_view path)
{
    int last = kCount - 1; // no match: the last entry falls off
    for (int i = 0; i < kCount; ++i) {
        if (sameIgnoringCase(m_entries[i], path)) {
            last = i;
            break;
        }
    }
    for (int i = last; i > 0; --i)
        m_entries[i] = std::move(m_entries[i - 1]);
    m_entries[0] = std::string(path);
}

void RecentFiles::remove(int index)
{
    if (index < 0 || index >= kCount)
        return;
    for (int i = index; i + 1 < kCount; ++i)
        m_entries[i] = std::move(m_entries[i + 1]);
    m_entries[kCount - 1].clear();
}

} // namespace zavora
