#pragma once
// A Type 1 font: metrics from its AFM or PFM file (or, lacking both, from the
// font itself), the program from its .pfb or .t1 file.

#include "model/FontEntry.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zavora {

class FontSystem;

// Family traits that neither AFM files nor fonts record.
struct Type1Traits {
    bool serif = false;
    bool script = false;
};

class Type1Font : public FontEntry {
public:
    using Traits = Type1Traits;

    Type1Font(std::string faceName, int styleBits, std::string postScriptName, std::filesystem::path metricsPath,
        std::filesystem::path programPath, FontSystem* fonts = nullptr, Type1Traits traits = {});

    bool isTrueType() const override { return false; }
    std::string postScriptName() const override { return m_postScriptName; }
    std::string faceName() const override { return m_faceName; }
    int styleBits() const override { return m_styleBits; }
    const FontMetrics& metrics() const override;
    // The program as PostScript text: ASCII segments with CR LF line ends,
    // binary segments as hex, 32 bytes a line. The font is defined under
    // postScriptName() (a standard name backed by a URW font included).
    bool download(OutputStream& stream, const DownloadOptions& options) const override;

    const std::filesystem::path& metricsPath() const { return m_metricsPath; }
    const std::filesystem::path& programPath() const { return m_programPath; }

    // Converts a .pfb (segments: 128, type 1 ASCII / 2 binary / 3 end, 32-bit
    // little-endian length) or a .t1 (clear text, binary eexec part, zeros
    // trailer) to PostScript text. False for anything else or a damaged file.
    static bool programText(const std::vector<std::uint8_t>& file, std::string& out);
    // The "/FontBBox { x0 y0 x1 y1 }" of the first 16384 bytes of a font program.
    static std::optional<std::array<int, 4>> findFontBBox(const std::vector<std::uint8_t>& file);

private:
    void loadMetrics() const;
    bool loadAfm(FontMetrics& m) const;
    bool loadFromFace(FontMetrics& m) const;

    std::string m_faceName;
    int m_styleBits;
    std::string m_postScriptName;
    std::filesystem::path m_metricsPath;
    std::filesystem::path m_programPath;
    FontSystem* m_fonts;
    Traits m_traits;
    mutable FontMetrics m_metrics;
};

} // namespace zavora
