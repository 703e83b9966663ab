#pragma once
// The system's fonts: fontconfig enumerates them, FreeType opens and reads them.

#include "platform/FontSystem.h"


namespace zavora {

class FreeTypeFontSystem : public FontSystem {
public:
    FreeTypeFontSystem();
    ~FreeTypeFontSystem() override;
    FreeTypeFontSystem(const FreeTypeFontSystem&) = delete;
    FreeTypeFontSystem& operator=(const FreeTypeFontSystem&) = delete;

    std::vector<FontFileInfo> enumerate() override;
    std::unique_ptr<FontFace> open(const std::filesystem::path& path, int index) override;

    // The FreeType library; open faces share it so it outlives them.
    struct Library;

private:
    std::shared_ptr<Library> m_library;
};

} // namespace zavora
