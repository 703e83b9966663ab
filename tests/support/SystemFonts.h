#pragma once
// The machine's own font catalogue for tests, loaded with its settings file
// in a private folder that goes away with it.

#include "fonts/FontCatalogue.h"
#include "platform/FontSystem.h"
#include "platform/Profile.h"

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <unistd.h>

namespace zavora::testfonts {

class SystemCatalogue {
public:
    SystemCatalogue()
    {
        std::string folder = (std::filesystem::temp_directory_path() / "zavora-fonts-XXXXXX").string();
        if (::mkdtemp(folder.data()))
            m_folder = folder;
        m_settings = std::make_unique<Profile>(m_folder / "zavora.ini");
        m_catalogue = std::make_unique<FontCatalogue>(systemFontSystem(), *m_settings, m_folder / "atm.ini");
        m_catalogue->load();
    }
    ~SystemCatalogue()
    {
        m_catalogue.reset();
        m_settings.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    SystemCatalogue(const SystemCatalogue&) = delete;
    SystemCatalogue& operator=(const SystemCatalogue&) = delete;

    FontCatalogue& catalogue() { return *m_catalogue; }
    Profile& settings() { return *m_settings; }
    const std::filesystem::path& folder() const { return m_folder; }

private:
    std::filesystem::path m_folder;
    std::unique_ptr<Profile> m_settings;
    std::unique_ptr<FontCatalogue> m_catalogue;
};

} // namespace zavora::testfonts
