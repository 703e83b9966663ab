#include "fonts/FontFiles.h"

#include <fstream>

namespace zavora {

std::optional<std::vector<std::uint8_t>> readFontFile(const std::filesystem::path& path, std::size_t maxBytes)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<std::uint8_t> data;
    char buffer[65536];
    while (data.size() < maxBytes && in) {
        in.read(buffer, static_cast<std::streamsize>(std::min(sizeof buffer, maxBytes - data.size())));
        data.insert(data.end(), buffer, buffer + in.gcount());
    }
    if (in.bad())
        return std::nullopt;
    return data;
}

} // namespace zavora
