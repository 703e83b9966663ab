#pragma once
// The four most recently used drawing files, most recent first. An empty
// entry is an unused slot.

#include <array>
#include <string>
#include <string_view>

namespace zavora {

class RecentFiles {
public:
    static constexpr int kCount = 4;

    // Moves a case-insensitively matching entry to the front, or pushes the
    // others down (dropping the last); entry 0 becomes path as given.
    void add(std::string_view path);

    const std::string& at(int index) const { return m_entries.at(index); }
    void set(int index, std::string path) { m_entries.at(index) = std::move(path); }
    // Drops an entry: the later ones move up and the last becomes empty.
    void remove(int index);
    const std::array<std::string, kCount>& entries() const { return m_entries; }

private:
    std::array<std::string, kCount> m_entries;
};

} // namespace zavora
