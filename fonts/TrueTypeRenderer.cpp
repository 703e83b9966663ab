#include "fonts/TrueTypeRenderer.h"

#include "fonts/TrueTypeFont.h"
#include "platform/DebugLog.h"
#include "platform/FontSystem.h"
#include "platform/Profile.h"

namespace zavora {

TrueTypeRenderer::TrueTypeRenderer(FontSystem& fonts, Profile& settings)
    : FontRenderer(fonts)
    , m_fonts(fonts)
    , m_settings(settings)
{
}

std::string TrueTypeRenderer::settingsKey(const std::string& faceName, int styleBits)
{
    bool bold = styleBits & FontEntry::kBold;
    bool italic = styleBits & FontEntry::kItalic;
    if (bold && italic)
        return faceName + ",BOLDITALIC";
    if (italic)
        return faceName + ",ITALIC";
    if (bold)
        return faceName + ",BOLD";
    return faceName;
}

void TrueTypeRenderer::loadCatalogue()
{
    m_entries.clear();
    for (const FontFileInfo& info : m_fonts.enumerate()) {
        if (info.format != FontFileInfo::Format::TrueType || !(info.coversAnsi || info.symbol) || info.family.empty())
            continue;
        int bits = (info.weight > 400 ? FontEntry::kBold : 0) | (info.italic ? FontEntry::kItalic : 0);
        // One entry per face and style, as the font menu lists them.
        if (findFace(info.family, bits))
            continue;
        std::string key = settingsKey(info.family, bits);
        std::string name = m_settings.getString("TrueType", key, "");
        if (!TrueTypeFont::isValidPostScriptName(name)) {
            auto face = m_fonts.open(info.path, info.index);
            auto table = face ? face->sfntTable(sfntTag('n', 'a', 'm', 'e')) : std::nullopt;
            auto fromTable = table ? TrueTypeFont::postScriptNameFromNameTable(*table) : std::nullopt;
            if (!fromTable) {
                debugLog("No PostScript name for %s", key.c_str());
                continue;
            }
            name = *fromTable;
            m_settings.putString("TrueType", key, name);
        }
        if (find(name))
            continue;
        m_entries.push_back(
            std::make_unique<TrueTypeFont>(info.family, info.style, bits, name, info.path, info.index, m_fonts));
    }
}

std::shared_ptr<FaceCache::Face> TrueTypeRenderer::face(const FontEntry& font) const
{
    if (!owns(font))
        return nullptr;
    const auto& trueType = static_cast<const TrueTypeFont&>(font);
    return m_faces.open(trueType.file(), trueType.faceIndex());
}

} // namespace zavora
