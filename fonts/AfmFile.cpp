#include "fonts/AfmFile.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace zavora {

namespace {

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// Splits off the first blank-separated word.
std::string_view nextWord(std::string_view& s)
{
    s = trimmed(s);
    std::size_t end = s.find_first_of(" \t");
    std::string_view word = s.substr(0, end);
    s = end == std::string_view::npos ? std::string_view() : s.substr(end);
    return word;
}

// Reads a number written as integer or decimal, rounded to an integer.
bool readInt(std::string_view& s, int& out)
{
    std::string_view word = nextWord(s);
    double value = 0;
    auto result = std::from_chars(word.data(), word.data() + word.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value) || std::fabs(value) > 1e7)
        return false;
    out = static_cast<int>(std::lround(value));
    return true;
}

bool readDouble(std::string_view s, double& out)
{
    std::string_view word = nextWord(s);
    auto result = std::from_chars(word.data(), word.data() + word.size(), out);
    return result.ec == std::errc() && std::isfinite(out);
}

void parseCharMetrics(std::string_view line, AfmFile::Glyph& glyph, std::string& name)
{
    // Fields separated by ';', e.g. "C 32 ; WX 278 ; N space ; B 191 0 191 0 ;"
    while (!line.empty()) {
        std::size_t semi = line.find(';');
        std::string_view field = line.substr(0, semi);
        line = semi == std::string_view::npos ? std::string_view() : line.substr(semi + 1);
        std::string_view key = nextWord(field);
        if (key == "C") {
            readInt(field, glyph.code);
        } else if (key == "CH") {
            std::string_view hex = trimmed(field);
            if (hex.size() > 2 && hex.front() == '<' && hex.back() == '>') {
                int code = 0;
                auto r = std::from_chars(hex.data() + 1, hex.data() + hex.size() - 1, code, 16);
                if (r.ec == std::errc())
                    glyph.code = code;
            }
        } else if (key == "WX" || key == "W0X") {
            readInt(field, glyph.width);
        } else if (key == "W" || key == "W0") {
            readInt(field, glyph.width);
        } else if (key == "N") {
            name = std::string(nextWord(field));
        } else if (key == "B") {
            glyph.hasBox = readInt(field, glyph.box[0]) && readInt(field, glyph.box[1])
                && readInt(field, glyph.box[2]) && readInt(field, glyph.box[3]);
        }
    }
}

} // namespace

std::optional<AfmFile> AfmFile::parse(std::string_view text)
{
    AfmFile afm;
    bool started = false;
    bool inCharMetrics = false;
    int unnamed = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        std::string_view line = text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        pos = end == std::string_view::npos ? text.size() : end + 1;
        std::string_view rest = line;
        std::string_view key = nextWord(rest);
        if (key.empty())
            continue;
        if (!started) {
            if (key != "StartFontMetrics")
                return std::nullopt;
            started = true;
            continue;
        }
        if (inCharMetrics) {
            if (key == "EndCharMetrics") {
                inCharMetrics = false;
                continue;
            }
            Glyph glyph;
            std::string name;
            parseCharMetrics(line, glyph, name);
            if (name.empty())
                name = "<unnamed " + std::to_string(unnamed++) + ">";
            if (glyph.code >= 0 && !afm.m_byCode.count(glyph.code))
                afm.m_byCode.emplace(glyph.code, name);
            afm.glyphs.emplace(std::move(name), glyph);
            continue;
        }
        if (key == "StartCharMetrics")
            inCharMetrics = true;
        else if (key == "EndFontMetrics")
            break;
        else if (key == "FontName")
            afm.fontName = std::string(trimmed(rest));
        else if (key == "FamilyName")
            afm.familyName = std::string(trimmed(rest));
        else if (key == "EncodingScheme")
            afm.encodingScheme = std::string(trimmed(rest));
        else if (key == "ItalicAngle")
            readDouble(rest, afm.italicAngle);
        else if (key == "IsFixedPitch")
            afm.fixedPitch = trimmed(rest) == "true";
        else if (key == "FontBBox")
            afm.hasFontBBox = readInt(rest, afm.fontBBox[0]) && readInt(rest, afm.fontBBox[1])
                && readInt(rest, afm.fontBBox[2]) && readInt(rest, afm.fontBBox[3]);
        else if (key == "CapHeight")
            readInt(rest, afm.capHeight);
        else if (key == "XHeight")
            readInt(rest, afm.xHeight);
        else if (key == "Ascender")
            readInt(rest, afm.ascender);
        else if (key == "Descender")
            readInt(rest, afm.descender);
    }
    if (!started)
        return std::nullopt;
    return afm;
}

const AfmFile::Glyph* AfmFile::glyphByCode(int code) const
{
    auto it = m_byCode.find(code);
    return it == m_byCode.end() ? nullptr : glyph(it->second);
}

const AfmFile::Glyph* AfmFile::glyph(const std::string& name) const
{
    auto it = glyphs.find(name);
    return it == glyphs.end() ? nullptr : &it->second;
}

} // namespace zavora
