#include "fonts/Type1Font.h"

#include "fonts/AfmFile.h"
#include "fonts/AnsiEncoding.h"
#include "fonts/FontFiles.h"
#include "fonts/PfmFile.h"
#include "platform/DebugLog.h"
#include "platform/FontSystem.h"
#include "platform/OutputStream.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace zavora {

namespace {

constexpr std::size_t kBBoxSearchBytes = 16384;
constexpr int kTrailerZeros = 512;

bool endsWithIgnoreCase(const std::filesystem::path& path, const char* suffix)
{
    std::string s = path.string();
    std::size_t n = std::strlen(suffix);
    if (s.size() < n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != suffix[i])
            return false;
    return true;
}

// Copies clear text with every line end (CR, LF or CR LF) written as CR LF.
void appendText(std::string& out, const std::uint8_t* data, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i) {
        char c = static_cast<char>(data[i]);
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < length && data[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
}

void appendHex(std::string& out, const std::uint8_t* data, std::size_t length)
{
    static const char digits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < length; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
        if (i % 32 == 31 || i + 1 == length)
            out += "\r\n";
    }
}

bool isHexDigit(std::uint8_t c) { return std::isxdigit(c) != 0; }
bool isSpace(std::uint8_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool pfbText(const std::vector<std::uint8_t>& file, std::string& out)
{
    std::size_t pos = 0;
    while (pos + 2 <= file.size() && file[pos] == 128) {
        int type = file[pos + 1];
        if (type == 3)
            return true;
        if ((type != 1 && type != 2) || file.size() - pos < 6)
            return false;
        std::size_t length = std::size_t(file[pos + 2]) | (std::size_t(file[pos + 3]) << 8)
            | (std::size_t(file[pos + 4]) << 16) | (std::size_t(file[pos + 5]) << 24);
        pos += 6;
        if (length > file.size() - pos)
            return false;
        if (type == 1)
            appendText(out, file.data() + pos, length);
        else
            appendHex(out, file.data() + pos, length);
        pos += length;
    }
    return false; // no end segment
}

std::size_t findBytes(const std::vector<std::uint8_t>& file, std::string_view what, std::size_t from = 0)
{
    auto it = std::search(file.begin() + static_cast<std::ptrdiff_t>(std::min(from, file.size())), file.end(),
        what.begin(), what.end());
    return it == file.end() ? std::string::npos : static_cast<std::size_t>(it - file.begin());
}

bool t1Text(const std::vector<std::uint8_t>& file, std::string& out)
{
    std::size_t eexec = findBytes(file, "eexec");
    if (eexec == std::string::npos)
        return false;
    std::size_t binStart = eexec + 5;
    while (binStart < file.size() && (file[binStart] == ' ' || file[binStart] == '\t'))
        ++binStart;
    if (binStart < file.size() && file[binStart] == '\r')
        ++binStart;
    if (binStart < file.size() && file[binStart] == '\n')
        ++binStart;
    // Already hex (a .pfa): all of it is text.
    if (file.size() - binStart >= 4 && std::all_of(file.begin() + binStart, file.begin() + binStart + 4, isHexDigit)) {
        appendText(out, file.data(), file.size());
        return true;
    }
    // The binary part ends where the trailer's 512 zeros begin.
    std::size_t mark = std::string::npos;
    for (std::size_t at = findBytes(file, "cleartomark", binStart); at != std::string::npos;
         at = findBytes(file, "cleartomark", at + 1))
        mark = at;
    if (mark == std::string::npos)
        return false;
    std::size_t trailer = mark;
    int zeros = 0;
    while (trailer > binStart && zeros < kTrailerZeros) {
        std::uint8_t c = file[trailer - 1];
        if (c == '0')
            ++zeros;
        else if (!isSpace(c))
            break;
        --trailer;
    }
    if (zeros < kTrailerZeros)
        return false;
    while (trailer > binStart && (file[trailer - 1] == '\r' || file[trailer - 1] == '\n'))
        --trailer;
    appendText(out, file.data(), binStart);
    appendHex(out, file.data() + binStart, trailer - binStart);
    appendText(out, file.data() + trailer, file.size() - trailer);
    if (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0)
        out += "\r\n";
    return true;
}

int scaled(int value, int unitsPerEm)
{
    // MulDiv: rounded, halves away from zero.
    long long num = static_cast<long long>(value) * 1000;
    long long half = unitsPerEm / 2;
    return static_cast<int>(num >= 0 ? (num + half) / unitsPerEm : -((-num + half) / unitsPerEm));
}

} // namespace

Type1Font::Type1Font(std::string faceName, int styleBits, std::string postScriptName,
    std::filesystem::path metricsPath, std::filesystem::path programPath, FontSystem* fonts, Traits traits)
    : m_faceName(std::move(faceName))
    , m_styleBits(styleBits)
    , m_postScriptName(std::move(postScriptName))
    , m_metricsPath(std::move(metricsPath))
    , m_programPath(std::move(programPath))
    , m_fonts(fonts)
    , m_traits(traits)
{
}

const FontMetrics& Type1Font::metrics() const
{
    if (!m_metrics.metricsLoaded && !m_metrics.metricsFailed)
        loadMetrics();
    return m_metrics;
}

void Type1Font::loadMetrics() const
{
    FontMetrics m;
    bool ok = false;
    if (endsWithIgnoreCase(m_metricsPath, ".pfm")) {
        if (auto data = readFontFile(m_metricsPath)) {
            if (auto pfm = PfmFile::metrics(*data)) {
                m = *pfm;
                ok = true;
            }
        }
    } else if (!m_metricsPath.empty()) {
        ok = loadAfm(m);
    } else {
        ok = loadFromFace(m);
    }
    m.bold = (m_styleBits & kBold) != 0;
    m.italic = (m_styleBits & kItalic) != 0;
    m.serif = m.serif || m_traits.serif;
    m.script = m.script || m_traits.script;
    if (!ok) {
        debugLog("Can't read the metrics of %s", m_postScriptName.c_str());
        m = FontMetrics {};
        m.bold = (m_styleBits & kBold) != 0;
        m.italic = (m_styleBits & kItalic) != 0;
        m.metricsFailed = true;
        m.bboxFailed = true;
        m_metrics = m;
        return;
    }
    m.metricsLoaded = true;
    if (!m.bboxLoaded) {
        auto program = readFontFile(m_programPath, kBBoxSearchBytes);
        auto box = program ? findFontBBox(*program) : std::nullopt;
        if (box) {
            m.bbox = *box;
            m.bboxLoaded = true;
        } else {
            m.bboxFailed = true;
        }
    }
    m_metrics = m;
}

bool Type1Font::loadAfm(FontMetrics& m) const
{
    auto data = readFontFile(m_metricsPath);
    if (!data)
        return false;
    auto afm = AfmFile::parse(std::string_view(reinterpret_cast<const char*>(data->data()), data->size()));
    if (!afm)
        return false;
    m.symbol = afm->fontSpecific();
    m.firstChar = 256;
    m.lastChar = -1;
    for (int code = 0; code < 256; ++code) {
        const AfmFile::Glyph* glyph = nullptr;
        if (m.symbol) {
            glyph = afm->glyphByCode(code);
        } else if (const char* name = ansiGlyphName(static_cast<unsigned char>(code))) {
            glyph = afm->glyph(name);
        }
        if (!glyph)
            continue;
        m.widths[code] = glyph->width;
        m.firstChar = std::min(m.firstChar, code);
        m.lastChar = std::max(m.lastChar, code);
    }
    if (m.lastChar < 0) {
        m.firstChar = 32;
        m.lastChar = 255;
    }
    auto letter = [&](const char* name, int edge) -> int {
        const AfmFile::Glyph* g = afm->glyph(name);
        return g && g->hasBox ? g->box[edge] : 0;
    };
    // Ascender and descender are the heights of 'd' and 'p' when the file leaves them out.
    m.ascent = afm->ascender ? afm->ascender : letter("d", 3);
    m.descent = afm->descender ? afm->descender : letter("p", 1);
    if (m.ascent == 0 && afm->hasFontBBox)
        m.ascent = afm->fontBBox[3];
    if (m.descent == 0 && afm->hasFontBBox)
        m.descent = afm->fontBBox[1];
    m.capHeight = afm->capHeight ? afm->capHeight : letter("H", 3);
    m.xHeight = afm->xHeight ? afm->xHeight : letter("x", 3);
    m.italicAngle = afm->italicAngle;
    m.fixedPitch = afm->fixedPitch;
    if (afm->hasFontBBox) {
        // The font program's own box is preferred (loaded afterwards); this is the fallback.
        auto program = readFontFile(m_programPath, kBBoxSearchBytes);
        auto box = program ? findFontBBox(*program) : std::nullopt;
        m.bbox = box ? *box : afm->fontBBox;
        m.bboxLoaded = true;
    }
    return true;
}

bool Type1Font::loadFromFace(FontMetrics& m) const
{
    if (!m_fonts)
        return false;
    auto face = m_fonts->open(m_programPath, 0);
    if (!face)
        return false;
    FaceMetrics fm = face->metrics();
    int em = fm.unitsPerEm > 0 ? fm.unitsPerEm : 1000;
    m.symbol = !face->advance('A', CharCode::Unicode);
    CharCode kind = m.symbol ? CharCode::FontCode : CharCode::Unicode;
    m.firstChar = 256;
    m.lastChar = -1;
    for (int code = 0; code < 256; ++code) {
        std::uint32_t c = m.symbol ? std::uint32_t(code) : ansiToUnicode(static_cast<unsigned char>(code));
        if (!c && !m.symbol)
            continue;
        auto advance = face->advance(c, kind);
        if (!advance)
            continue;
        m.widths[code] = scaled(*advance, em);
        m.firstChar = std::min(m.firstChar, code);
        m.lastChar = std::max(m.lastChar, code);
    }
    if (m.lastChar < 0) {
        m.firstChar = 32;
        m.lastChar = 255;
    }
    m.ascent = scaled(fm.ascender, em);
    m.descent = scaled(fm.descender, em);
    m.capHeight = scaled(fm.capHeight, em);
    m.xHeight = scaled(fm.xHeight, em);
    m.italicAngle = fm.italicAngle;
    m.fixedPitch = fm.fixedPitch;
    m.bbox = { scaled(fm.xMin, em), scaled(fm.yMin, em), scaled(fm.xMax, em), scaled(fm.yMax, em) };
    m.bboxLoaded = true;
    return true;
}

bool Type1Font::download(OutputStream& stream, const DownloadOptions&) const
{
    auto file = readFontFile(m_programPath);
    std::string text;
    if (!file || !programText(*file, text)) {
        debugLog("Can't read the font program %s", m_programPath.c_str());
        return false;
    }
    // A standard name backed by another font: define the font under the name
    // the document uses. The name sits in the clear text before eexec.
    std::size_t clearEnd = text.find("eexec");
    std::size_t at = text.find("/FontName /");
    if (at != std::string::npos && at < clearEnd) {
        std::size_t start = at + 11;
        std::size_t end = text.find_first_of(" \t\r\n/", start);
        if (end != std::string::npos && text.compare(start, end - start, m_postScriptName) != 0)
            text.replace(start, end - start, m_postScriptName);
    }
    return stream.write(text.data(), text.size());
}

bool Type1Font::programText(const std::vector<std::uint8_t>& file, std::string& out)
{
    out.clear();
    bool ok = false;
    if (!file.empty() && file[0] == 128)
        ok = pfbText(file, out);
    else if (file.size() >= 2 && file[0] == '%' && file[1] == '!')
        ok = t1Text(file, out);
    if (!ok)
        out.clear();
    return ok;
}

std::optional<std::array<int, 4>> Type1Font::findFontBBox(const std::vector<std::uint8_t>& file)
{
    std::vector<std::uint8_t> head(file.begin(), file.begin() + std::min(file.size(), kBBoxSearchBytes));
    std::size_t at = findBytes(head, "/FontBBox");
    if (at == std::string::npos)
        return std::nullopt;
    const char* p = reinterpret_cast<const char*>(head.data()) + at + 9;
    const char* end = reinterpret_cast<const char*>(head.data()) + head.size();
    auto skipSpace = [&] {
        while (p < end && isSpace(static_cast<std::uint8_t>(*p)))
            ++p;
    };
    skipSpace();
    if (p == end || (*p != '{' && *p != '['))
        return std::nullopt;
    ++p;
    std::array<int, 4> box {};
    for (int& v : box) {
        skipSpace();
        double value = 0;
        auto result = std::from_chars(p, end, value);
        if (result.ec != std::errc() || !std::isfinite(value) || std::fabs(value) > 1e6)
            return std::nullopt;
        v = static_cast<int>(value);
        p = result.ptr;
    }
    return box;
}

} // namespace zavora
