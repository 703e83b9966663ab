#pragma once
// A renderer owns the catalogue of one kind of font (Type 1 or TrueType) and
// draws text in those fonts as glyph outlines.

#include "model/FontEntry.h"

#include <memory>
#include <string_view>
#include <vector>

namespace zavora {

class FontFace;
class OutlineSink;

class FontRenderer {
public:
    virtual ~FontRenderer() = default;

    virtual void loadCatalogue() = 0;
    virtual void freeCatalogue() { m_entries.clear(); }
    // The first font with this PostScript name, or nullptr.
    virtual const FontEntry* find(std::string_view postScriptName) const;
    // Emits the outlines of the text's glyphs in drawing units (points, y up),
    // the first character's origin at (x, y), advancing by charWidths().
    // False when the font is not one of this renderer's or cannot be read.
    virtual bool drawString(OutlineSink& sink, double x, double y, const FontEntry& font, double size,
        std::string_view text) const = 0;

    // The first font with this face name (any case) and exactly these style bits.
    const FontEntry* findFace(std::string_view faceName, int styleBits) const;
    const std::vector<std::unique_ptr<FontEntry>>& entries() const { return m_entries; }
    bool owns(const FontEntry& font) const;

protected:
    // The outline drawing shared by both kinds: glyphs by Windows-1252 code
    // (or the font's own code for a symbol font), scaled from font units.
    static bool drawOutlines(const FontFace& face, int unitsPerEm, OutlineSink& sink, double x, double y,
        const FontEntry& font, double size, std::string_view text);

    std::vector<std::unique_ptr<FontEntry>> m_entries;
};

} // namespace zavora
