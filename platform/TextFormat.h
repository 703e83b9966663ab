#pragma once
// printf-style formatting into a std::string, for messages and status texts.
// Numbers in file formats go through NumberFormat instead (locale-free).

#include <cstdarg>
#include <string>

namespace zavora {

std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string vformatText(const char* format, va_list args);

} // namespace zavora
