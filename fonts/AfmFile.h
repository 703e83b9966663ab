#pragma once
// Adobe Font Metrics files: the header keys and the character metrics that
// the Type 1 catalogue needs. Unknown keys and damaged lines are ignored.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zavora {

class AfmFile {
public:
    struct Glyph {
        int code = -1; // in the font's own encoding, -1 when unencoded
        int width = 0;
        std::array<int, 4> box {};
        bool hasBox = false;
    };

    // Nullopt when the text is not an AFM file (no StartFontMetrics).
    static std::optional<AfmFile> parse(std::string_view text);

    std::string fontName;
    std::string familyName;
    std::string encodingScheme;
    double italicAngle = 0;
    bool fixedPitch = false;
    std::array<int, 4> fontBBox {};
    bool hasFontBBox = false;
    int capHeight = 0;
    int xHeight = 0;
    int ascender = 0;
    int descender = 0;
    std::unordered_map<std::string, Glyph> glyphs; // by glyph name

    // A glyph by its code in the font's own encoding.
    const Glyph* glyphByCode(int code) const;
    const Glyph* glyph(const std::string& name) const;
    bool fontSpecific() const { return encodingScheme == "FontSpecific"; }

private:
    std::unordered_map<int, std::string> m_byCode;
};

} // namespace zavora
