#include "output/WriterState.h"

#include "fonts/FontCatalogue.h"
#include "output/Traversal.h"

#include <cstring>

namespace zavora {

namespace {

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
    fillColorWritten = false;
    usedFonts.clear();
}

std::string WriterState::fontName(const FontEntry& font) const
{
    if (substituteFonts && font.isTrueType())
        return standardSubstitute(font);
    return postScriptNameText(font.postScriptName());
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
