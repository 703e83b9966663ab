#include "platform/DebugLog.h"

#include "platform/TextFormat.h"

#include <cstdarg>
#include <cstdio>

namespace zavora {

DebugLog& DebugLog::instance()
{
    static DebugLog log;
    return log;
}

void DebugLog::write(std::string_view line)
{
    if (m_lines.size() >= kMaxLines)
        m_lines.clear();
    m_lines.emplace_back(line);
    if (m_echo)
        std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
    if (m_listener)
        m_listener();
}

void DebugLog::clear()
{
    m_lines.clear();
    if (m_listener)
        m_listener();
}

void debugLog(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string line = vformatText(format, args);
    va_end(args);
    DebugLog::instance().write(line);
}

} // namespace zavora
