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
// most 256 of them, and each pixel's index: its colour's entry or else the
// nearest one (the lower index of equally near ones).
class GifPalette {
public:
    // Nothing when the monitor cancelled or memory ran out.
    static std::optional<GifPalette> build(const RgbImageView& image, ProgressMonitor* monitor);

    // 0xRRGGBB per entry.
    const std::vector<uint32_t>& colours() const { return m_colours; }
    uint8_t indexAt(int32_t x, int32_t y) const { return m_indexes[size_t(y) * size_t(m_width) + size_t(x)]; }

private:
    struct Candidate {
        int least; // squared distance to the nearest colour of the cell
        uint8_t index;
    };
    uint8_t nearest(uint32_t colour);
    const std::vector<Candidate>& candidates(int cell);

    std::vector<uint32_t> m_colours;
    // Entries that may be nearest to some colour of each small colour cube, made on first use.
    std::vector<std::vector<Candidate>> m_cells;
    std::vector<uint8_t> m_indexes;
    int32_t m_width = 0;
};

// The LZW code stream (without sub-blocks) of `indexes` for a minimum code
// size of `codeSize` (2 to 8), using runs of one index only.
std::vector<uint8_t> gifRunLengthCodes(const std::vector<uint8_t>& indexes, int codeSize);

// The whole file. Nothing when the monitor cancelled or the image is empty
// or larger than kGifMaxSide.
std::optional<std::vector<uint8_t>> encodeGif(
    const RgbImageView& image, const GifOptions& options, ProgressMonitor* monitor);

} // namespace zavora
