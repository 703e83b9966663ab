#pragma once
// Shared pieces of the font tests: a temporary folder, a font system with a
// chosen font list (faces are opened by the real one), and file helpers.

#include "platform/FontSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zavora::test {

class TempFolder {
public:
    TempFolder()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "zavora-fonts-XXXXXX").string();
        if (::mkdtemp(tmpl.data()))
            m_path = tmpl;
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

class ListedFontSystem : public FontSystem {
public:
    explicit ListedFontSystem(std::vector<FontFileInfo> fonts = {})
        : m_list(std::move(fonts))
    { }
    std::vector<FontFileInfo> enumerate() override { return m_list; }
    std::unique_ptr<FontFace> open(const std::filesystem::path& path, int index) override
    {
        ++opens;
        return systemFontSystem().open(path, index);
    }
    std::vector<FontFileInfo> m_list;
    int opens = 0;
};

// A TrueType file as the font system lists it, covering the ANSI code page.
inline FontFileInfo listed(
    const std::filesystem::path& path, std::string family, std::string style, int weight, bool italic)
{
    return { .path = path,
        .format = FontFileInfo::Format::TrueType,
        .family = std::move(family),
        .style = std::move(style),
        .postScriptName = {},
        .weight = weight,
        .italic = italic,
        .coversAnsi = true };
}

inline std::string readText(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline std::vector<std::uint8_t> readBytes(const std::filesystem::path& p)
{
    const std::string s = readText(p);
    return { s.begin(), s.end() };
}

inline void writeBytes(const std::filesystem::path& p, const std::string& bytes)
{
    std::ofstream(p, std::ios::binary) << bytes;
}

inline std::filesystem::path corpusFile(const char* name)
{
    return std::filesystem::path(ZAVORA_TEST_DATA_DIR) / "ttf" / name;
}

#define ZAVORA_REQUIRE_FILE(path) ASSERT_TRUE(std::filesystem::exists(path)) << (path)

} // namespace zavora::test
