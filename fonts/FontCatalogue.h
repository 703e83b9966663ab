#pragma once
// The program's fonts: the Type 1 and the TrueType renderer with their
// catalogues, looked up by PostScript name or by face name and style. Once
// loaded it is the model's current font lookup, until freed or destroyed.

#include "fonts/TrueTypeRenderer.h"
#include "fonts/Type1Renderer.h"
#include "model/FontLookup.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zavora {

class FontSystem;
class Profile;

class FontCatalogue : public FontLookup {
public:
    // atmIni: the optional legacy Type 1 list (atmIniBeside() gives the usual place).
    FontCatalogue(FontSystem& fonts, Profile& settings, std::filesystem::path atmIni);
    ~FontCatalogue() override;
    FontCatalogue(const FontCatalogue&) = delete;
    FontCatalogue& operator=(const FontCatalogue&) = delete;

    // "atm.ini" in the settings file's folder.
    static std::filesystem::path atmIniBeside(const Profile& settings);

    // Loads both catalogues and installs this one as FontLookup::current().
    void load();
    // Empties both catalogues and uninstalls this one.
    void free();

    // Type 1 fonts first, then TrueType fonts.
    const FontEntry* find(std::string_view postScriptName) const override;
    const FontEntry* firstFont() const override;
    const FontEntry* findFace(std::string_view faceName, int styleBits) const;
    // The font of a new text object: the first of the preferred PostScript
    // names the catalogue knows, else its first font, else nullptr.
    const FontEntry* defaultTextFont() const;
    std::vector<const FontEntry*> entries() const;
    // The renderer that draws a font, or nullptr for a font of neither catalogue.
    const FontRenderer* rendererFor(const FontEntry& font) const;

    Type1Renderer& type1() { return m_type1; }
    TrueTypeRenderer& trueType() { return m_trueType; }

private:
    Type1Renderer m_type1;
    TrueTypeRenderer m_trueType;
};

// True for a Type 1 font with one of the 13 standard PostScript names.
bool isStandardFont(const FontEntry& font);
// The standard font PostScript output uses in place of a TrueType font.
std::string standardSubstitute(const FontEntry& font);

} // namespace zavora
