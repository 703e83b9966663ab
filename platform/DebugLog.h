#pragma once
// The program's debug log: internal errors ("Stack underflow", "Unknown menu
// command %d") land here. One process-wide list of at most 1000 lines, emptied
// when full, each line also echoed to stderr. The shell's debug window shows it.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zavora {

class DebugLog {
public:
    static constexpr std::size_t kMaxLines = 1000;

    static DebugLog& instance();

    // Appends one line; when the list already holds kMaxLines it is emptied first.
    void write(std::string_view line);
    const std::vector<std::string>& lines() const { return m_lines; }
    void clear();

    void setEchoToStderr(bool echo) { m_echo = echo; }
    // Called after every change of the list (the debug window refreshes itself).
    void setListener(std::function<void()> listener) { m_listener = std::move(listener); }

private:
    std::vector<std::string> m_lines;
    bool m_echo = true;
    std::function<void()> m_listener;
};

// printf-style shortcut for DebugLog::instance().write().
void debugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace zavora
