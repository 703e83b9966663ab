#pragma once
// The Type 1 catalogue: the standard PostScript fonts under their standard
// names (backed by the metric-compatible URW base 35 files), the other Type 1
// fonts the system knows, and the fonts of an optional ATM.INI list.

#include "fonts/FontRenderer.h"

#include <filesystem>
#include <string>
#include <vector>

namespace zavora {

class FontSystem;
class Profile;

class Type1Renderer : public FontRenderer {
public:
    // atmIni: the optional legacy font list (a missing file lists nothing).
    Type1Renderer(FontSystem& fonts, Profile& settings, std::filesystem::path atmIni);

    void loadCatalogue() override;
    std::shared_ptr<FaceCache::Face> face(const FontEntry& font) const override;

    // Folders searched for the URW base 35 files when the system does not list them.
    void setStandardFolders(std::vector<std::filesystem::path> folders) { m_standardFolders = std::move(folders); }

private:
    void addStandardFonts();
    void addSystemFonts();
    void addAtmIniFonts();
    bool hasName(const std::string& postScriptName) const;

    FontSystem& m_fonts;
    Profile& m_settings;
    std::filesystem::path m_atmIni;
    std::vector<std::filesystem::path> m_standardFolders;
};

} // namespace zavora
