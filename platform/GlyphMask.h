#pragma once
// GlyphMask: one glyph's coverage in device pixels, as the font system
// renders it and a device context paints it in the text colour.

#include <cstdint>
#include <vector>

namespace zavora {

// Mono: one bit a pixel, the leftmost pixel in a byte's top bit (the exact
// page renders); Gray: one byte a pixel, 0 empty to 255 covered (smoothed).
enum class MaskDepth { Mono, Gray };

struct GlyphMask {
    MaskDepth depth = MaskDepth::Mono;
    // The mask's top-left pixel relative to the pen's device pixel: `left`
    // columns to the right, `top` rows up (y grows downwards on devices).
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0; // bytes from one row to the next
    std::vector<uint8_t> bits;

    bool empty() const { return width <= 0 || height <= 0; }
    // The coverage of pixel (x, y) of the mask, 0 to 255.
    uint8_t coverage(int32_t x, int32_t y) const
    {
        const uint8_t* row = bits.data() + std::size_t(y) * std::size_t(stride);
        if (depth == MaskDepth::Gray)
            return row[x];
        return (row[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0;
    }
};

} // namespace zavora
