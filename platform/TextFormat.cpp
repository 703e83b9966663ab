#include "platform/TextFormat.h"

#include <cstdio>

namespace zavora {

std::string vformatText(const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    int size = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (size <= 0)
        return {};
    std::string out(static_cast<std::size_t>(size) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<std::size_t>(size));
    return out;
}

std::string formatText(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string out = vformatText(format, args);
    va_end(args);
    return out;
}

} // namespace zavora
