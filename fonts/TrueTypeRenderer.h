#pragma once
// The TrueType catalogue: every TrueType font of the system that covers the
// Windows-1252 characters or is a symbol font, one entry per face and style,
// with PostScript names cached in the settings section "TrueType".

#include "fonts/FontRenderer.h"

#include <string>

namespace zavora {

class FontSystem;
class Profile;

class TrueTypeRenderer : public FontRenderer {
public:
    TrueTypeRenderer(FontSystem& fonts, Profile& settings);

    void loadCatalogue() override;
    std::shared_ptr<FaceCache::Face> face(const FontEntry& font) const override;

    // The settings key of a face: "face,BOLDITALIC", "face,ITALIC", "face,BOLD" or "face".
    static std::string settingsKey(const std::string& faceName, int styleBits);

private:
    FontSystem& m_fonts;
    Profile& m_settings;
};

} // namespace zavora
