#pragma once
// GIF of our own: a palette of the 256 most frequent colours (the rest map to
// their nearest), optional interlace and white transparency, and a run-length
// LZW code stream that needs no string table.

#include "platform/DeviceContext.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace zavora {

class ProgressMonitor;

struct GifOptions {
    bool interlace = false;
    bool transparent = false; // white (or entry 0 when there is none) is transparent
};

// The largest width or height a GIF can hold.
constexpr int32_t kGifMaxSide = 65535;

// The colours of an image by how often they occur, most frequent first, at
// most 256 of them; each pixel's index is its colour's entry or the nearest one.
class GifPalette {
public:
    // Nothing when the monitor cancelled.
    static std::optional<GifPalette> build(const RgbImageView& image, ProgressMonitor* monitor);

    // 0xRRGGBB per entry.
    const std::vector<uint32_t>& colours() const { return m_colours; }
    // The first entry equal to the colour, else the nearest (lower index on a tie).
    uint8_t indexOf(uint32_t colour);

private:
    std::vector<uint32_t> m_colours;
    std::vector<std::pair<uint32_t, uint8_t>> m_cache; // open-addressed colour -> index
    size_t m_cacheUsed = 0;
};

// The LZW code stream (without sub-blocks) of `indexes` for a minimum code
// size of `codeSize` (2 to 8), using runs of one index only.
std::vector<uint8_t> gifRunLengthCodes(const std::vector<uint8_t>& indexes, int codeSize);

// The whole file. Nothing when the monitor cancelled or the image is empty
// or larger than kGifMaxSide.
std::optional<std::vector<uint8_t>> encodeGif(
    const RgbImageView& image, const GifOptions& options, ProgressMonitor* monitor);

} // namespace zavora
