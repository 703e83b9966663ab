#pragma once
// Reading font and metrics files whole, with a size limit so a wrong path
// (a device, a huge file) cannot exhaust memory.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace zavora {

constexpr std::size_t kMaxFontFileSize = 64u << 20;

// The file's bytes (at most maxBytes of them), or nullopt when it cannot be read.
std::optional<std::vector<std::uint8_t>> readFontFile(const std::filesystem::path& path,
    std::size_t maxBytes = kMaxFontFileSize);

} // namespace zavora
