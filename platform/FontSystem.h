#pragma once
// The installed fonts, seen without naming the libraries behind them: the
// catalogue code in fonts/ enumerates font files and opens faces through this
// interface. The system implementation (platform/freetype/) uses fontconfig
// to enumerate and FreeType to read; tests may substitute their own.

#include "platform/GlyphMask.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zavora {

// One installed font as the enumeration sees it (no face is opened).
struct FontFileInfo {
    enum class Format { TrueType, Type1, Other };

    std::filesystem::path path;
    int index = 0; // face index inside a collection
    Format format = Format::Other;
    std::string family; // legacy (menu) family name
    std::string style; // style name, e.g. "Bold Italic"
    std::string postScriptName; // as the enumeration reports it; may be empty
    int weight = 400; // OpenType scale: 400 regular, 700 bold
    bool italic = false; // italic or oblique
    bool coversAnsi = false; // maps every printable Windows-1252 character
    bool symbol = false; // has a symbol character map
};

// Font-wide metrics in font units.
struct FaceMetrics {
    int unitsPerEm = 1000;
    int ascender = 0; // above the baseline, positive
    int descender = 0; // below the baseline, negative
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0; // font bounding box
    int capHeight = 0;
    int xHeight = 0;
    double italicAngle = 0; // degrees, negative leans right
    bool fixedPitch = false;
    bool serif = false;
    bool script = false;
    bool symbol = false; // symbol character map
};

// Receives a glyph outline in font units, y up. Contours are closed implicitly.
class OutlineSink {
public:
    virtual ~OutlineSink() = default;
    virtual void moveTo(double x, double y) = 0;
    virtual void lineTo(double x, double y) = 0;
    virtual void conicTo(double cx, double cy, double x, double y) = 0;
    virtual void cubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y) = 0;
};

// One opened face. A character is looked up by Unicode, or for symbol fonts
// by the font's own code (0-255) through its symbol or built-in encoding.
enum class CharCode { Unicode, FontCode };

// How a glyph is rasterised: the em square's axes in device pixels (y down),
// so that a point (u, v) of the glyph in ems, v up, lands at (xx u + xy v,
// yx u + yy v) from the pen; the pen's place inside its pixel (0 to 1 right
// and down); and the kind of mask. Mono masks are hinted in full and keep
// every stem (dropout control); gray ones are lightly hinted.
struct GlyphRaster {
    double xx = 0, yx = 0, xy = 0, yy = 0;
    double penX = 0, penY = 0;
    MaskDepth depth = MaskDepth::Mono;
};

class FontFace {
public:
    virtual ~FontFace() = default;

    virtual FaceMetrics metrics() const = 0;
    // The advance width in font units, or nullopt when the code has no glyph.
    virtual std::optional<int> advance(std::uint32_t code, CharCode kind) const = 0;
    // The advance of the missing-glyph glyph (glyph 0).
    virtual int defaultAdvance() const = 0;
    // The raw bytes of an sfnt table ('name', 'head', ...); tag 0 gives the
    // whole font (for a face in a collection, that face alone as a font file).
    virtual std::optional<std::vector<std::uint8_t>> sfntTable(std::uint32_t tag) const = 0;
    // The PostScript name the font declares, or "".
    virtual std::string postScriptName() const = 0;
    // Emits the glyph's outline; false when the code has no glyph.
    virtual bool outline(std::uint32_t code, CharCode kind, OutlineSink& sink) const = 0;
    // Renders the glyph with the font's own rasteriser and hinting; an empty
    // mask for a glyph without ink, nullopt when the code has no glyph or the
    // face cannot render (the caller then fills the outline itself).
    virtual std::optional<GlyphMask> renderGlyph(std::uint32_t code, CharCode kind, const GlyphRaster& raster) const
    {
        (void)code, (void)kind, (void)raster;
        return std::nullopt;
    }
};

class FontSystem {
public:
    virtual ~FontSystem() = default;
    // Every font file the system knows, in a stable order.
    virtual std::vector<FontFileInfo> enumerate() = 0;
    // Opens a face, or nullptr when the file cannot be read as a font.
    virtual std::unique_ptr<FontFace> open(const std::filesystem::path& path, int index = 0) = 0;
};

// The system fonts (fontconfig and FreeType). Lives for the whole process.
FontSystem& systemFontSystem();

// Builds an sfnt tag from its four characters.
constexpr std::uint32_t sfntTag(char a, char b, char c, char d)
{
    return (std::uint32_t(std::uint8_t(a)) << 24) | (std::uint32_t(std::uint8_t(b)) << 16)
        | (std::uint32_t(std::uint8_t(c)) << 8) | std::uint32_t(std::uint8_t(d));
}

} // namespace zavora
