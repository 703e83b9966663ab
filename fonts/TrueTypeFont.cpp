#include "fonts/TrueTypeFont.h"

#include "fonts/AnsiEncoding.h"
#include "fonts/TrueTypeConverter.h"
#include "fonts/Type3Converter.h"
#include "fonts/Type42Converter.h"
#include "platform/DebugLog.h"
#include "platform/FontSystem.h"
#include "platform/OutputStream.h"

#include <algorithm>
#include <cstring>

namespace zavora {

namespace {

int mulDiv(int value, int numerator, int denominator)
{
    long long num = static_cast<long long>(value) * numerator;
    long long half = denominator / 2;
    return static_cast<int>(num >= 0 ? (num + half) / denominator : -((-num + half) / denominator));
}

constexpr int kMacintosh = 1;
constexpr int kWindows = 3;
constexpr int kPostScriptNameId = 6;

} // namespace

TrueTypeFont::TrueTypeFont(std::string faceName, std::string styleName, int styleBits, std::string postScriptName,
    std::filesystem::path file, int index, FontSystem& fonts)
    : m_faceName(std::move(faceName))
    , m_styleName(std::move(styleName))
    , m_styleBits(styleBits)
    , m_postScriptName(std::move(postScriptName))
    , m_file(std::move(file))
    , m_index(index)
    , m_fonts(fonts)
{
}

const FontMetrics& TrueTypeFont::metrics() const
{
    if (m_metrics.metricsLoaded || m_metrics.metricsFailed)
        return m_metrics;
    FontMetrics& m = m_metrics;
    m.bold = (m_styleBits & kBold) != 0;
    m.italic = (m_styleBits & kItalic) != 0;
    auto face = m_fonts.open(m_file, m_index);
    if (!face) {
        debugLog("Can't open font %s", m_file.c_str());
        m.metricsFailed = true;
        m.bboxFailed = true;
        return m;
    }
    FaceMetrics fm = face->metrics();
    int em = fm.unitsPerEm > 0 ? fm.unitsPerEm : 2048;
    m.ascent = mulDiv(fm.ascender, 1000, em);
    m.descent = mulDiv(fm.descender, 1000, em);
    m.capHeight = mulDiv(fm.capHeight, 1000, em);
    m.xHeight = mulDiv(fm.xHeight, 1000, em);
    m.italicAngle = fm.italicAngle;
    m.symbol = fm.symbol;
    m.fixedPitch = fm.fixedPitch;
    m.serif = fm.serif;
    m.script = fm.script;
    m.bbox = { mulDiv(fm.xMin, 1000, em), mulDiv(fm.yMin, 1000, em), mulDiv(fm.xMax, 1000, em),
        mulDiv(fm.yMax, 1000, em) };
    m.bboxLoaded = true;
    // Characters the font lacks are drawn with its missing-glyph glyph.
    int fallback = mulDiv(face->defaultAdvance(), 1000, em);
    m.firstChar = 256;
    m.lastChar = -1;
    for (int code = 0; code < 256; ++code) {
        std::optional<int> advance;
        if (m.symbol) {
            advance = face->advance(static_cast<std::uint32_t>(code), CharCode::FontCode);
        } else if (char32_t u = ansiToUnicode(static_cast<unsigned char>(code))) {
            advance = face->advance(u, CharCode::Unicode);
        }
        if (advance) {
            m.widths[code] = mulDiv(*advance, 1000, em);
            m.firstChar = std::min(m.firstChar, code);
            m.lastChar = std::max(m.lastChar, code);
        } else {
            m.widths[code] = fallback;
        }
    }
    if (m.lastChar < 0) {
        m.firstChar = 32;
        m.lastChar = 255;
    }
    m.metricsLoaded = true;
    return m;
}

std::optional<std::vector<std::uint8_t>> TrueTypeFont::sfntData() const
{
    auto face = m_fonts.open(m_file, m_index);
    if (!face)
        return std::nullopt;
    auto data = face->sfntTable(0);
    if (!data || data->empty())
        return std::nullopt;
    return data;
}

bool TrueTypeFont::download(OutputStream& stream, const DownloadOptions& options) const
{
    auto data = sfntData();
    if (!data) {
        debugLog("Can't read the font data of %s", m_postScriptName.c_str());
        return false;
    }
    if (options.type42)
        return Type42Converter(m_postScriptName).convert(*data, stream);
    return Type3Converter(m_postScriptName).convert(*data, stream);
}

bool TrueTypeFont::isValidPostScriptName(std::string_view name)
{
    if (name.empty() || name.size() > 127)
        return false;
    for (unsigned char c : name)
        if (c <= 32 || c >= 127 || std::strchr("[](){}<>/%", c))
            return false;
    return true;
}

std::optional<std::string> TrueTypeFont::postScriptNameFromNameTable(const std::vector<std::uint8_t>& table)
{
    std::optional<std::string> windowsName;
    for (const NameRecord& r : nameRecords(table)) {
        if (r.nameId != kPostScriptNameId)
            continue;
        if (r.platform == kMacintosh) {
            std::string name(r.bytes.begin(), r.bytes.end());
            if (isValidPostScriptName(name))
                return name;
        } else if (r.platform == kWindows && !windowsName && r.bytes.size() % 2 == 0) {
            const BigEndianBytes utf16(r.bytes);
            std::string name;
            bool ascii = true;
            for (std::size_t k = 0; k < utf16.size(); k += 2) {
                const int c = utf16.u16(k);
                if (c > 127)
                    ascii = false;
                name += static_cast<char>(c);
            }
            if (ascii && isValidPostScriptName(name))
                windowsName = name;
        }
    }
    return windowsName;
}

} // namespace zavora
