#pragma once
// FaceCache: font faces opened once and kept, the least recently used one
// closed when more than `capacity` files are open, each with the glyph masks
// rendered from it. Parsing a font file costs far more than drawing a
// string, and a drawing uses a handful of fonts over and over.

#include "platform/FontSystem.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace zavora {

class FaceCache {
public:
    static constexpr std::size_t kDefaultCapacity = 32;
    // Masks kept per face before they are dropped and rendered afresh.
    static constexpr std::size_t kMaskBudgetBytes = 2u << 20;

    // One opened face and the masks rendered from it.
    class Face {
    public:
        explicit Face(std::unique_ptr<FontFace> face);
        const FontFace& font() const { return *m_face; }
        int unitsPerEm() const { return m_unitsPerEm; }
        // The glyph's mask, rendered on first use; nullptr when the face
        // cannot render it (see FontFace::renderGlyph). The pointer holds
        // until the next call.
        const GlyphMask* mask(std::uint32_t code, CharCode kind, const GlyphRaster& raster);

    private:
        struct Key {
            std::uint32_t code;
            CharCode kind;
            MaskDepth depth;
            // The raster's mapping in 1/1024 pixel, its pen in 1/64 pixel.
            std::int64_t xx, yx, xy, yy;
            std::int32_t penX, penY;
            bool operator==(const Key&) const = default;
        };
        struct KeyHash {
            std::size_t operator()(const Key& k) const;
        };

        std::unique_ptr<FontFace> m_face;
        int m_unitsPerEm;
        std::unordered_map<Key, std::optional<GlyphMask>, KeyHash> m_masks;
        std::size_t m_maskBytes = 0;
    };

    explicit FaceCache(FontSystem& fonts, std::size_t capacity = kDefaultCapacity);

    // The face of a font file, opened on first use; nullptr when the file
    // cannot be opened (remembered too, so it is not tried for every string).
    std::shared_ptr<Face> open(const std::filesystem::path& path, int index);
    void clear() { m_entries.clear(); }

private:
    struct Entry {
        std::filesystem::path path;
        int index = 0;
        std::shared_ptr<Face> face;
        std::uint64_t lastUse = 0;
    };

    FontSystem& m_fonts;
    std::size_t m_capacity;
    std::vector<Entry> m_entries;
    std::uint64_t m_clock = 0;
};

} // namespace zavora
