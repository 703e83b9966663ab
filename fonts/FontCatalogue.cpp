#include "fonts/FontCatalogue.h"

#include "model/TextObject.h"
#include "platform/Profile.h"

#include <algorithm>
#include <utility>

namespace zavora {

namespace {

const std::string_view kStandardNames[] = { "Times-Roman", "Times-Italic", "Times-Bold", "Times-BoldItalic",
    "Helvetica", "Helvetica-Oblique", "Helvetica-Bold", "Helvetica-BoldOblique", "Courier", "Courier-Oblique",
    "Courier-Bold", "Courier-BoldOblique", "Symbol" };

const std::pair<std::string_view, std::string_view> kSubstitutes[] = {
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

} // namespace

FontCatalogue::FontCatalogue(FontSystem& fonts, Profile& settings, std::filesystem::path atmIni)
    : m_type1(fonts, settings, std::move(atmIni))
    , m_trueType(fonts, settings)
{
}

std::filesystem::path FontCatalogue::atmIniBeside(const Profile& settings)
{
    return settings.path().parent_path() / "atm.ini";
}

FontCatalogue::~FontCatalogue()
{
    if (FontLookup::current() == this)
        FontLookup::setCurrent(nullptr);
}

void FontCatalogue::load()
{
    m_type1.loadCatalogue();
    m_trueType.loadCatalogue();
    FontLookup::setCurrent(this);
}

void FontCatalogue::free()
{
    if (FontLookup::current() == this)
        FontLookup::setCurrent(nullptr);
    m_type1.freeCatalogue();
    m_trueType.freeCatalogue();
}

const FontEntry* FontCatalogue::find(std::string_view postScriptName) const
{
    if (const FontEntry* font = m_type1.find(postScriptName))
        return font;
    return m_trueType.find(postScriptName);
}

const FontEntry* FontCatalogue::findFace(std::string_view faceName, int styleBits) const
{
    if (const FontEntry* font = m_type1.findFace(faceName, styleBits))
        return font;
    return m_trueType.findFace(faceName, styleBits);
}

const FontEntry* FontCatalogue::firstFont() const
{
    if (!m_type1.entries().empty())
        return m_type1.entries().front().get();
    return m_trueType.entries().empty() ? nullptr : m_trueType.entries().front().get();
}

const FontEntry* FontCatalogue::defaultTextFont() const
{
    return zavora::defaultTextFont(*this);
}

std::vector<const FontEntry*> FontCatalogue::entries() const
{
    std::vector<const FontEntry*> all;
    for (const auto& e : m_type1.entries())
        all.push_back(e.get());
    for (const auto& e : m_trueType.entries())
        all.push_back(e.get());
    return all;
}

const FontRenderer* FontCatalogue::rendererFor(const FontEntry& font) const
{
    if (m_type1.owns(font))
        return &m_type1;
    if (m_trueType.owns(font))
        return &m_trueType;
    return nullptr;
}

bool isStandardFont(const FontEntry& font)
{
    if (font.isTrueType())
        return false;
    std::string name = font.postScriptName();
    return std::find(std::begin(kStandardNames), std::end(kStandardNames), name) != std::end(kStandardNames);
}

std::string standardSubstitute(const FontEntry& font)
{
    if (font.metrics().symbol)
        return "Symbol";
    std::string name = font.postScriptName();
    for (const auto& [trueType, standard] : kSubstitutes)
        if (name == trueType)
            return std::string(standard);
    switch (font.styleBits() & (FontEntry::kBold | FontEntry::kItalic)) {
    case FontEntry::kBold:
        return "Helvetica-Bold";
    case FontEntry::kItalic:
        return "Helvetica-Oblique";
    case FontEntry::kBold | FontEntry::kItalic:
        return "Helvetica-BoldOblique";
    default:
        return "Helvetica";
    }
}

} // namespace zavora
