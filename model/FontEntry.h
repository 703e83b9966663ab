#pragma once
// A font of the catalogue as text objects and the ports see it: names, style,
// metrics and widths in 1/1000 of the size, and its program for PostScript
// output. The concrete fonts (Type 1 and TrueType) live in fonts/.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace zavora {

class OutputStream;

// Font-wide metrics in 1/1000 of the size, read on first use.
struct FontMetrics {
    bool bold = false;
    bool italic = false;
    int ascent = 0; // above the baseline, positive
    int descent = 0; // below the baseline, negative
    int capHeight = 0;
    int xHeight = 0;
    double italicAngle = 0; // degrees, negative leans right
    bool symbol = false; // symbol character set
    bool fixedPitch = false;
    bool serif = false;
    bool script = false;
    int firstChar = 32;
    int lastChar = 255;
    std::array<int, 256> widths {}; // advance widths by Windows-1252 code
    std::array<int, 4> bbox {}; // x0, y0, x1, y1
    bool metricsLoaded = false;
    bool metricsFailed = false;
    bool bboxLoaded = false;
    bool bboxFailed = false;
};

// How download() should convert a TrueType font (Type 1 fonts ignore it).
struct DownloadOptions {
    bool type42 = false; // Type 42 when set, else Type 3
};

class FontEntry {
public:
    virtual ~FontEntry() = default;

    virtual bool isTrueType() const = 0;
    // ascent × size / 1000 and descent × size / 1000 (descent is negative).
    virtual double ascent(double size) const;
    virtual double descent(double size) const;
    // Integer advance widths at the size, one per byte of text, with the
    // rounding error carried so the integers never drift a whole unit from the
    // exact total. Returns the total.
    virtual int charWidths(std::string_view text, double size, std::vector<int>& widths) const;
    // (sum of the widths in 1/1000 units) × size / 1000.
    virtual double stringWidth(std::string_view text, double size) const;
    virtual double charWidth(unsigned char c, double size) const;
    virtual std::string postScriptName() const = 0;
    // The face (menu) name.
    virtual std::string faceName() const = 0;
    // kBold | kItalic.
    virtual int styleBits() const = 0;
    // Loads the metrics on first use; a font whose file cannot be read has
    // metricsFailed set and zero widths.
    virtual const FontMetrics& metrics() const = 0;
    // Writes the font program for PostScript output; false when it cannot.
    virtual bool download(OutputStream& stream, const DownloadOptions& options) const = 0;

    static constexpr int kBold = 1;
    static constexpr int kItalic = 16;
};

} // namespace zavora
