#include "fonts/Type1Renderer.h"

#include "fonts/AtmIni.h"
#include "fonts/FontFiles.h"
#include "fonts/PfmFile.h"
#include "fonts/TrueTypeFont.h"
#include "fonts/Type1Font.h"
#include "platform/DebugLog.h"
#include "platform/FontSystem.h"
#include "platform/Profile.h"
#include "platform/Reporter.h"

#include <fstream>
#include <iterator>

namespace zavora {

namespace {

constexpr int B = FontEntry::kBold;
constexpr int I = FontEntry::kItalic;

struct StandardFont {
    const char* name; // the standard PostScript name
    const char* urwName; // the URW base 35 font behind it
    const char* face; // the menu name
    int style;
    Type1Traits traits;
};

constexpr Type1Traits kSans {};
constexpr Type1Traits kSerif { true, false };
constexpr Type1Traits kScript { false, true };

// The 13 standard fonts first, then the rest of the base 35.
const StandardFont kStandardFonts[] = {
    { "Times-Roman", "NimbusRoman-Regular", "Times", 0, kSerif },
    { "Times-Italic", "NimbusRoman-Italic", "Times", I, kSerif },
    { "Times-Bold", "NimbusRoman-Bold", "Times", B, kSerif },
    { "Times-BoldItalic", "NimbusRoman-BoldItalic", "Times", B | I, kSerif },
    { "Helvetica", "NimbusSans-Regular", "Helvetica", 0, kSans },
    { "Helvetica-Oblique", "NimbusSans-Italic", "Helvetica", I, kSans },
    { "Helvetica-Bold", "NimbusSans-Bold", "Helvetica", B, kSans },
    { "Helvetica-BoldOblique", "NimbusSans-BoldItalic", "Helvetica", B | I, kSans },
    { "Courier", "NimbusMonoPS-Regular", "Courier", 0, kSans },
    { "Courier-Oblique", "NimbusMonoPS-Italic", "Courier", I, kSans },
    { "Courier-Bold", "NimbusMonoPS-Bold", "Courier", B, kSans },
    { "Courier-BoldOblique", "NimbusMonoPS-BoldItalic", "Courier", B | I, kSans },
    { "Symbol", "StandardSymbolsPS", "Symbol", 0, kSans },
    { "AvantGarde-Book", "URWGothic-Book", "AvantGarde", 0, kSans },
    { "AvantGarde-BookOblique", "URWGothic-BookOblique", "AvantGarde", I, kSans },
    { "AvantGarde-Demi", "URWGothic-Demi", "AvantGarde", B, kSans },
    { "AvantGarde-DemiOblique", "URWGothic-DemiOblique", "AvantGarde", B | I, kSans },
    { "Bookman-Light", "URWBookman-Light", "Bookman", 0, kSerif },
    { "Bookman-LightItalic", "URWBookman-LightItalic", "Bookman", I, kSerif },
    { "Bookman-Demi", "URWBookman-Demi", "Bookman", B, kSerif },
    { "Bookman-DemiItalic", "URWBookman-DemiItalic", "Bookman", B | I, kSerif },
    { "Helvetica-Narrow", "NimbusSansNarrow-Regular", "Helvetica-Narrow", 0, kSans },
    { "Helvetica-Narrow-Oblique", "NimbusSansNarrow-Oblique", "Helvetica-Narrow", I, kSans },
    { "Helvetica-Narrow-Bold", "NimbusSansNarrow-Bold", "Helvetica-Narrow", B, kSans },
    { "Helvetica-Narrow-BoldOblique", "NimbusSansNarrow-BoldOblique", "Helvetica-Narrow", B | I, kSans },
    { "NewCenturySchlbk-Roman", "C059-Roman", "NewCenturySchlbk", 0, kSerif },
    { "NewCenturySchlbk-Italic", "C059-Italic", "NewCenturySchlbk", I, kSerif },
    { "NewCenturySchlbk-Bold", "C059-Bold", "NewCenturySchlbk", B, kSerif },
    { "NewCenturySchlbk-BoldItalic", "C059-BdIta", "NewCenturySchlbk", B | I, kSerif },
    { "Palatino-Roman", "P052-Roman", "Palatino", 0, kSerif },
    { "Palatino-Italic", "P052-Italic", "Palatino", I, kSerif },
    { "Palatino-Bold", "P052-Bold", "Palatino", B, kSerif },
    { "Palatino-BoldItalic", "P052-BoldItalic", "Palatino", B | I, kSerif },
    { "ZapfChancery-MediumItalic", "Z003-MediumItalic", "ZapfChancery", I, kScript },
    { "ZapfDingbats", "D050000L", "ZapfDingbats", 0, kSans },
};

bool isUrwName(const std::string& name)
{
    for (const StandardFont& f : kStandardFonts)
        if (name == f.urwName)
            return true;
    return false;
}

// The AFM file beside a font program, if there is one.
std::filesystem::path afmBeside(const std::filesystem::path& program)
{
    std::error_code ec;
    for (const char* ext : { ".afm", ".AFM" }) {
        std::filesystem::path afm = program;
        afm.replace_extension(ext);
        if (std::filesystem::is_regular_file(afm, ec))
            return afm;
    }
    return {};
}

int styleBitsOf(const FontFileInfo& info)
{
    return (info.weight > 400 ? FontEntry::kBold : 0) | (info.italic ? FontEntry::kItalic : 0);
}

} // namespace

Type1Renderer::Type1Renderer(FontSystem& fonts, Profile& settings, std::filesystem::path atmIni)
    : FontRenderer(fonts)
    , m_fonts(fonts)
    , m_settings(settings)
    , m_atmIni(std::move(atmIni))
    , m_standardFolders { "/usr/share/fonts/type1/urw-base35", "/usr/share/fonts/X11/Type1" }
{
}

bool Type1Renderer::hasName(const std::string& postScriptName) const { return find(postScriptName) != nullptr; }

void Type1Renderer::loadCatalogue()
{
    m_entries.clear();
    addStandardFonts();
    addSystemFonts();
    addAtmIniFonts();
}

void Type1Renderer::addStandardFonts()
{
    std::vector<FontFileInfo> listed = m_fonts.enumerate();
    for (const StandardFont& standard : kStandardFonts) {
        std::filesystem::path program, afm;
        // Prefer a listed file with its AFM beside it; else the package's own folders.
        for (const FontFileInfo& info : listed) {
            if (info.format != FontFileInfo::Format::Type1 || info.postScriptName != standard.urwName)
                continue;
            std::filesystem::path candidate = afmBeside(info.path);
            if (program.empty() || (afm.empty() && !candidate.empty())) {
                program = info.path;
                afm = candidate;
            }
        }
        std::error_code ec;
        for (const auto& folder : m_standardFolders) {
            if (!afm.empty())
                break;
            for (const char* ext : { ".t1", ".pfb" }) {
                std::filesystem::path file = folder / (std::string(standard.urwName) + ext);
                if (std::filesystem::is_regular_file(file, ec) && !afmBeside(file).empty()) {
                    program = file;
                    afm = afmBeside(file);
                    break;
                }
            }
        }
        if (program.empty())
            continue;
        m_entries.push_back(std::make_unique<Type1Font>(
            standard.face, standard.style, standard.name, afm, program, &m_fonts, standard.traits));
    }
}

void Type1Renderer::addSystemFonts()
{
    for (const FontFileInfo& info : m_fonts.enumerate()) {
        if (info.format != FontFileInfo::Format::Type1 || info.postScriptName.empty())
            continue;
        // The URW fonts appear under their standard names already.
        if (isUrwName(info.postScriptName) || hasName(info.postScriptName)
            || !TrueTypeFont::isValidPostScriptName(info.postScriptName))
            continue;
        m_entries.push_back(std::make_unique<Type1Font>(
            info.family, styleBitsOf(info), info.postScriptName, afmBeside(info.path), info.path, &m_fonts));
    }
}

void Type1Renderer::addAtmIniFonts()
{
    std::error_code ec;
    if (m_atmIni.empty() || !std::filesystem::exists(m_atmIni, ec))
        return;
    std::ifstream in(m_atmIni, std::ios::binary);
    if (!in) {
        errorBox("Can't open %s", m_atmIni.c_str());
        return;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    AtmIni list = AtmIni::parse(text);
    if (!list.sectionFound) {
        errorBox("Can't find [Fonts] section in ATM.INI");
        return;
    }
    std::size_t added = 0;
    for (const AtmIni::Entry& entry : list.entries) {
        std::string key = entry.settingsKey();
        std::string name = m_settings.getString("Fonts", key, "");
        if (!TrueTypeFont::isValidPostScriptName(name)) {
            auto pfm = readFontFile(entry.pfmPath);
            auto fromPfm = pfm ? PfmFile::postScriptName(*pfm) : std::nullopt;
            if (!fromPfm || !TrueTypeFont::isValidPostScriptName(*fromPfm)) {
                debugLog("No PostScript name for %s", key.c_str());
                continue;
            }
            name = *fromPfm;
            m_settings.putString("Fonts", key, name);
        }
        ++added;
        if (hasName(name))
            continue; // already listed through the system
        m_entries.push_back(
            std::make_unique<Type1Font>(entry.menuName, entry.styleBits, name, entry.pfmPath, entry.pfbPath, &m_fonts));
    }
    if (added == 0) {
        errorBox("No fonts in [Fonts] section in ATM.INI");
        // The catalogue is never left empty.
        if (m_entries.empty())
            m_entries.push_back(std::make_unique<Type1Font>("Arial", 0, "Arial", "", "", &m_fonts));
    }
}

std::shared_ptr<FaceCache::Face> Type1Renderer::face(const FontEntry& font) const
{
    if (!owns(font))
        return nullptr;
    const auto& type1 = static_cast<const Type1Font&>(font);
    return m_faces.open(type1.programPath(), 0);
}

} // namespace zavora
