#pragma once
// The cache shared by the PostScript-family writers (native file, PostScript,
// EPS, printing, forms, Illustrator, PDF): what the output's graphics state
// already holds, so that an attribute is written only when it changes, the
// two font options of the export, and the fonts named in the header.
// Each PostScript-family port keeps its own, so that two outputs can be
// written at once (a document and its preview, a copy during an export).

#include "model/FontEntry.h"
#include "model/PaintStyle.h"

#include <string>
#include <string_view>
#include <vector>

namespace zavora {

// PostScript font names longer than this stay out of the header's font lists.
constexpr std::size_t kMaxUsedFontName = 64;

struct UsedFont {
    std::string name;
    bool symbol = false; // the symbol character set, not Windows ANSI

    // The encoding the header re-encodes the font with: Windows ANSI, the
    // Symbol font's own set, or (an empty list) the built-in encoding of any
    // other symbol font, whose glyph names the Symbol set would not find.
    std::string_view reencoding() const
    {
        if (!symbol)
            return "WinAnsiEncoding";
        return name == "Symbol" ? "SymbolEncoding" : "[]";
    }
};

struct WriterState {
    // Construction defaults: what the procedure set's initial state paints.
    PaintStyle lastStyle;
    std::string lastFontName;
    float lastFontSize = -1;
    float lastLeading = -1;
    float lastAlign = -1;
    // Whether a fill colour line has been written in this document.
    bool fillColorWritten = false;
    // Export options: TrueType fonts named by a standard font, and the form
    // embedded fonts are downloaded in.
    bool substituteFonts = false;
    DownloadOptions downloadForm;
    std::vector<UsedFont> usedFonts;

    // Back to the state a fresh document starts from, with the export's options.
    void reset(bool substitute, DownloadOptions form);
    // Forgets the cached style and font only; the options stay.
    void resetCache();

    // The PostScript name a text in this font is written with: the font's own
    // name, or while substituteFonts is set a TrueType font's standard stand-in.
    // Characters that cannot stand in a PostScript name are replaced.
    std::string fontName(const FontEntry& font) const;
};

// `name` with every character that would end or break a PostScript name
// (white space, delimiters, control and non-ASCII bytes) replaced by '_'.
std::string postScriptNameText(std::string_view name);

} // namespace zavora
