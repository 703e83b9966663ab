#pragma once
// A renderer owns the catalogue of one kind of font (Type 1 or TrueType) and
// draws text in those fonts as glyph outlines.

#include "fonts/FaceCache.h"
#include "model/FontEntry.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace zavora {

class FontFace;
class OutlineSink;

// The code by which a face is asked for a character's glyph.
struct GlyphCode {
    std::uint32_t code;
    CharCode kind;
};

class FontRenderer {
public:
    explicit FontRenderer(FontSystem& fonts)
        : m_faces(fonts)
    {
    }
    virtual ~FontRenderer() = default;

    virtual void loadCatalogue() = 0;
    virtual void freeCatalogue()
    {
        m_entries.clear();
        m_faces.clear();
    }
    // The first font with this PostScript name, or nullptr.
    virtual const FontEntry* find(std::string_view postScriptName) const;
    // Emits the outlines of the text's glyphs in drawing units (points, y up),
    // the first character's origin at (x, y), advancing by charWidths().
    // False when the font is not one of this renderer's or cannot be read.
    bool drawString(OutlineSink& sink, double x, double y, const FontEntry& font, double size,
        std::string_view text) const;
    // The opened face of one of this renderer's fonts, or nullptr when the
    // font is not one of them or its file cannot be read.
    virtual std::shared_ptr<FaceCache::Face> face(const FontEntry& font) const = 0;
    // The glyph code of a Windows-1252 character: by Unicode, or the font's
    // own code for a symbol font; nullopt for the unused codes.
    static std::optional<GlyphCode> glyphCode(const FontEntry& font, unsigned char c);

    // The first font with this face name (any case) and exactly these style bits.
    const FontEntry* findFace(std::string_view faceName, int styleBits) const;
    const std::vector<std::unique_ptr<FontEntry>>& entries() const { return m_entries; }
    bool owns(const FontEntry& font) const;

protected:
    std::vector<std::unique_ptr<FontEntry>> m_entries;
    mutable FaceCache m_faces;
};

} // namespace zavora
