#pragma once
// A TrueType font of the system: names from the enumeration and the font's
// 'name' table, metrics scaled from the em square to 1000 units, and the
// whole sfnt data handed to a converter for PostScript output.

#include "model/FontEntry.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zavora {

class FontSystem;

class TrueTypeFont : public FontEntry {
public:
    TrueTypeFont(std::string faceName, std::string styleName, int styleBits, std::string postScriptName,
        std::filesystem::path file, int index, FontSystem& fonts);

    bool isTrueType() const override { return true; }
    std::string postScriptName() const override { return m_postScriptName; }
    std::string faceName() const override { return m_faceName; }
    int styleBits() const override { return m_styleBits; }
    const FontMetrics& metrics() const override;
    // Converts the font's sfnt data to a Type 42 or Type 3 program named as
    // the catalogue names it; false when the data cannot be read or converted.
    bool download(OutputStream& stream, const DownloadOptions& options) const override;

    const std::string& styleName() const { return m_styleName; }
    const std::filesystem::path& file() const { return m_file; }
    int faceIndex() const { return m_index; }
    // The font's whole sfnt data (for a face of a collection, that face alone).
    std::optional<std::vector<std::uint8_t>> sfntData() const;

    // The PostScript name in a 'name' table: the first Macintosh record
    // (platform 1) with name id 6, else the first Windows one (platform 3,
    // UTF-16). Names that could break PostScript output are refused.
    static std::optional<std::string> postScriptNameFromNameTable(const std::vector<std::uint8_t>& table);
    // True for a name usable as a PostScript literal name: 1 to 127 printable
    // characters, none of them a PostScript delimiter.
    static bool isValidPostScriptName(std::string_view name);

private:
    std::string m_faceName;
    std::string m_styleName;
    int m_styleBits;
    std::string m_postScriptName;
    std::filesystem::path m_file;
    int m_index;
    FontSystem& m_fonts;
    mutable FontMetrics m_metrics;
};

} // namespace zavora
