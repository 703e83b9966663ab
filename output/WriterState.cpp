#include "output/WriterState.h"

#include "output/Traversal.h"

#include <cstring>

namespace zavora {

namespace {

struct FontMapping {
    const char* trueTypeName;
    const char* standardName;
};

constexpr FontMapping kFontMappings[] = {
    { "ArialMT", "Helvetica" },
    { "Arial-BoldMT", "Helvetica-Bold" },
    { "Arial-BoldItalicMT", "Helvetica-BoldOblique" },
    { "Arial-ItalicMT", "Helvetica-Oblique" },
    { "CourierNewPSMT", "Courier" },
    { "CourierNewPS-BoldMT", "Courier-Bold" },
    { "CourierNewPS-BoldItalicMT", "Courier-BoldOblique" },
    { "CourierNewPS-ItalicMT", "Courier-Oblique" },
    { "TimesNewRomanPSMT", "Times-Roman" },
    { "TimesNewRomanPS-BoldMT", "Times-Bold" },
    { "TimesNewRomanPS-BoldItalicMT", "Times-BoldItalic" },
    { "TimesNewRomanPS-ItalicMT", "Times-Italic" },
    { "SymbolMT", "Symbol" },
    { "Arial-Black", "Helvetica-Bold" },
    { "ArialNarrow-BoldItalic", "Helvetica-BoldOblique" },
    { "ArialNarrow", "Helvetica" },
    { "ArialNarrow-Bold", "Helvetica-Bold" },
    { "ArialNarrow-Italic", "Helvetica-Oblique" },
    { "ArialRoundedMTBold", "Helvetica-Bold" },
};

bool isNameCharacter(unsigned char ch)
{
    if (ch <= 32 || ch >= 127)
        return false;
    return !std::strchr("()<>[]{}/%", ch);
}

} // namespace

void WriterState::reset(bool substitute, DownloadOptions form)
{
    resetCache();
    substituteFonts = substitute;
    downloadForm = form;
}

void WriterState::resetCache()
{
    lastStyle = PaintStyle();
    lastFontName.clear();
    lastFontSize = -1;
    lastLeading = -1;
    lastAlign = -1;
    usedFonts.clear();
}

std::string WriterState::fontName(const FontEntry& font) const
{
    if (substituteFonts && font.isTrueType())
        return standardFontFor(font);
    return postScriptNameText(font.postScriptName());
}

WriterState& writerState()
{
    static WriterState state;
    return state;
}

void resetWriterStateFor(const RenderOptions& options)
{
    DownloadOptions form;
    form.type42 = options.downloadForm == FontDownloadForm::Type42;
    writerState().reset(options.substituteFonts, form);
}

std::string standardFontFor(const FontEntry& font)
{
    if (font.metrics().symbol)
        return "Symbol";
    std::string name = font.postScriptName();
    for (const FontMapping& mapping : kFontMappings) {
        if (name == mapping.trueTypeName)
            return mapping.standardName;
    }
    int style = font.styleBits();
    bool bold = style & FontEntry::kBold;
    bool italic = style & FontEntry::kItalic;
    if (bold && italic)
        return "Helvetica-BoldOblique";
    if (bold)
        return "Helvetica-Bold";
    if (italic)
        return "Helvetica-Oblique";
    return "Helvetica";
}

std::string postScriptNameText(std::string_view name)
{
    std::string out(name);
    for (char& ch : out) {
        if (!isNameCharacter(static_cast<unsigned char>(ch)))
            ch = '_';
    }
    // An empty name would leave "/_" and "/" operands that swallow the next token.
    if (out.empty())
        return std::string(1, '_');
    return out;
}

} // namespace zavora
