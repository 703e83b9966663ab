#include "fonts/TrueTypeConverter.h"

#include "fonts/AnsiEncoding.h"
#include "fonts/TrueTypeFont.h"
#include "platform/FontSystem.h"
#include "platform/OutputStream.h"
#include "platform/Reporter.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>

namespace zavora {

std::string TrueTypeConverter::tagText(std::uint32_t t)
{
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = static_cast<char>((t >> shift) & 0xFF);
        s += (c >= 32 && c < 127) ? c : '?';
    }
    return s;
}

namespace {

// The standard Macintosh order of the first 258 glyph names of a 'post' table.
constexpr std::array<const char*, 258> kMacGlyphNames = { ".notdef", ".null", "nonmarkingreturn", "space",
    "exclam", "quotedbl", "numbersign", "dollar", "percent", "ampersand", "quotesingle", "parenleft",
    "parenright", "asterisk", "plus", "comma", "hyphen", "period", "slash", "zero", "one", "two", "three",
    "four", "five", "six", "seven", "eight", "nine", "colon", "semicolon", "less", "equal", "greater",
    "question", "at", "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P", "Q",
    "R", "S", "T", "U", "V", "W", "X", "Y", "Z", "bracketleft", "backslash", "bracketright", "asciicircum",
    "underscore", "grave", "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n", "o", "p",
    "q", "r", "s", "t", "u", "v", "w", "x", "y", "z", "braceleft", "bar", "braceright", "asciitilde",
    "Adieresis", "Aring", "Ccedilla", "Eacute", "Ntilde", "Odieresis", "Udieresis", "aacute", "agrave",
    "acircumflex", "adieresis", "atilde", "aring", "ccedilla", "eacute", "egrave", "ecircumflex", "edieresis",
    "iacute", "igrave", "icircumflex", "idieresis", "ntilde", "oacute", "ograve", "ocircumflex", "odieresis",
    "otilde", "uacute", "ugrave", "ucircumflex", "udieresis", "dagger", "degree", "cent", "sterling",
    "section", "bullet", "paragraph", "germandbls", "registered", "copyright", "trademark", "acute",
    "dieresis", "notequal", "AE", "Oslash", "infinity", "plusminus", "lessequal", "greaterequal", "yen", "mu",
    "partialdiff", "summation", "product", "pi", "integral", "ordfeminine", "ordmasculine", "Omega", "ae",
    "oslash", "questiondown", "exclamdown", "logicalnot", "radical", "florin", "approxequal", "Delta",
    "guillemotleft", "guillemotright", "ellipsis", "nonbreakingspace", "Agrave", "Atilde", "Otilde", "OE",
    "oe", "endash", "emdash", "quotedblleft", "quotedblright", "quoteleft", "quoteright", "divide", "lozenge",
    "ydieresis", "Ydieresis", "fraction", "currency", "guilsinglleft", "guilsinglright", "fi", "fl",
    "daggerdbl", "periodcentered", "quotesinglbase", "quotedblbase", "perthousand", "Acircumflex",
    "Ecircumflex", "Aacute", "Edieresis", "Egrave", "Iacute", "Icircumflex", "Idieresis", "Igrave", "Oacute",
    "Ocircumflex", "apple", "Ograve", "Uacute", "Ucircumflex", "Ugrave", "dotlessi", "circumflex", "tilde",
    "macron", "breve", "dotaccent", "ring", "cedilla", "hungarumlaut", "ogonek", "caron", "Lslash", "lslash",
    "Scaron", "scaron", "Zcaron", "zcaron", "brokenbar", "Eth", "eth", "Yacute", "yacute", "Thorn", "thorn",
    "minus", "multiply", "onesuperior", "twosuperior", "threesuperior", "onehalf", "onequarter",
    "threequarters", "franc", "Gbreve", "gbreve", "Idotaccent", "Scedilla", "scedilla", "Cacute", "cacute",
    "Ccaron", "ccaron", "dcroat" };

constexpr std::size_t kMaxGlyphName = 80;
constexpr std::size_t kOutputChunk = 1 << 16;

// UTF-16BE of a Windows name record as Latin-1, '?' for the rest.
std::string latin1FromUtf16(std::span<const std::uint8_t> bytes)
{
    std::string s;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        unsigned c = (unsigned(bytes[i]) << 8) | bytes[i + 1];
        s += c < 256 ? static_cast<char>(c) : '?';
    }
    return s;
}

std::string generatedName(int glyph)
{
    return "g" + std::to_string(glyph);
}

// The Unicode character's name: the Windows-1252 glyph name where it has one,
// so that re-encoded text finds it, else uniXXXX / uXXXXX.
std::string unicodeGlyphName(char32_t c)
{
    if (const int code = unicodeToAnsi(c); code >= 0 && ansiGlyphName(static_cast<unsigned char>(code)))
        return ansiGlyphName(static_cast<unsigned char>(code));
    char buf[16];
    std::snprintf(buf, sizeof buf, c <= 0xFFFF ? "uni%04X" : "u%05X", unsigned(c));
    return buf;
}

} // namespace

TrueTypeConverter::TrueTypeConverter(std::string postScriptName)
    : m_requestedName(std::move(postScriptName))
{ }

bool TrueTypeConverter::convert(std::span<const std::uint8_t> sfnt, OutputStream& stream)
{
    m_data = BigEndianBytes(sfnt);
    m_stream = &stream;
    m_out.clear();
    bool ok = readFont() && writeFont();
    flushOutput();
    m_stream = nullptr;
    return ok;
}

void TrueTypeConverter::put(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    appendFormatted(m_out, format, args);
    va_end(args);
    if (m_out.size() >= kOutputChunk)
        flushOutput();
}

void TrueTypeConverter::flushOutput()
{
    if (m_stream && !m_out.empty())
        m_stream->write(m_out.data(), m_out.size());
    m_out.clear();
}

const TrueTypeConverter::TableEntry* TrueTypeConverter::directoryEntry(std::uint32_t t) const
{
    for (const TableEntry& e : m_directory)
        if (e.tag == t)
            return &e;
    return nullptr;
}

std::optional<BigEndianBytes> TrueTypeConverter::table(std::uint32_t t) const
{
    const TableEntry* e = directoryEntry(t);
    if (!e) {
        errorBox("TrueType font is missing table '%s'", tagText(t).c_str());
        return std::nullopt;
    }
    if (e->offset > m_data.size()) {
        errorBox("TrueType font may be corrupt (reason 3)");
        return std::nullopt;
    }
    if (!m_data.has(e->offset, e->length)) {
        errorBox("TrueType font may be corrupt (reason 4)");
        return std::nullopt;
    }
    return BigEndianBytes(m_data.slice(e->offset, e->length));
}

std::string TrueTypeConverter::messageSubject() const
{
    if (messageStyle() == MessageStyle::Anonymous)
        return "TrueType font";
    return "TrueType font \"" + m_names.fullName + "\"";
}

bool TrueTypeConverter::readFont()
{
    if (!m_data.has(0, 12)) {
        errorBox("%s may be corrupt (reason 1)", messageSubject().c_str());
        return false;
    }
    m_sfntVersion = m_data.u32(0);
    const int tableCount = m_data.u16(4);
    m_directory.clear();
    for (int i = 0; i < tableCount; ++i) {
        const std::size_t at = 12 + 16 * std::size_t(i);
        if (!m_data.has(at, 16)) {
            errorBox("%s may be corrupt (reason 2)", messageSubject().c_str());
            break;
        }
        m_directory.push_back(
            { m_data.u32(at), m_data.u32(at + 4), m_data.u32(at + 8), m_data.u32(at + 12) });
    }

    auto head = table(sfntTag('h', 'e', 'a', 'd'));
    if (!head || !head->has(0, 54)) {
        if (head)
            errorBox("TrueType font may be corrupt (reason 4)");
        return false;
    }
    m_revision = FixedNumber::from(head->u32(4));
    m_unitsPerEm = head->u16(18);
    // 16 to 16384 units are valid; anything else would divide by zero or worse.
    if (m_unitsPerEm < 16 || m_unitsPerEm > 16384)
        m_unitsPerEm = 1000;
    for (int k = 0; k < 4; ++k)
        m_bbox[k] = scaled(head->s16(36 + 2 * std::size_t(k)));
    m_indexToLocFormat = head->s16(50);

    // Names before the 'head' messages that quote them.
    if (const TableEntry* e = directoryEntry(sfntTag('n', 'a', 'm', 'e'));
        e && m_data.has(e->offset, e->length))
        readNames(m_data.slice(e->offset, e->length));
    if (m_indexToLocFormat != 0 && m_indexToLocFormat != 1) {
        errorBox(
            "TrueType font \"%s\" is unusable because indexToLocFormat = %d", fullName(), m_indexToLocFormat);
        return false;
    }
    if (head->s16(52) != 0)
        errorBox("TrueType font \"%s\" is unusable because glyphDataFormat != 0", fullName());

    auto post = table(sfntTag('p', 'o', 's', 't'));
    if (!post)
        return false;
    m_postTable = *post;
    m_post.format = post->u32(0);
    m_post.italicAngle = FixedNumber::from(post->u32(4));
    m_post.underlinePosition = post->s16(8);
    m_post.underlineThickness = post->s16(10);
    m_post.fixedPitch = post->u32(12) != 0;
    m_post.minMemType42 = post->u32(16);
    m_post.maxMemType42 = post->u32(20);
    // 'maxp' counts the glyphs of every font; a 'post' table other than 2.0
    // has no count at all.
    auto maxp = table(sfntTag('m', 'a', 'x', 'p'));
    if (!maxp)
        return false;
    m_numGlyphs = maxp->u16(4);
    // Glyphs past the end of 'loca' have no data: a corrupt count would only
    // make empty CharStrings entries by the thousand.
    if (const TableEntry* loca = directoryEntry(sfntTag('l', 'o', 'c', 'a'));
        loca && m_data.has(loca->offset, loca->length)) {
        const int entries = int(loca->length / (m_indexToLocFormat == 1 ? 4 : 2));
        m_numGlyphs = std::min(m_numGlyphs, std::max(entries - 1, 0));
    }

    m_fontName = m_requestedName;
    if (m_fontName.empty() && TrueTypeFont::isValidPostScriptName(m_names.postScript))
        m_fontName = m_names.postScript;
    if (m_fontName.empty())
        m_fontName = "Untitled";
    m_glyphNamesRead = false;
    return true;
}

std::vector<NameRecord> nameRecords(std::span<const std::uint8_t> table)
{
    const BigEndianBytes name(table);
    const std::size_t count = name.u16(2);
    const std::size_t storage = name.u16(4);
    std::vector<NameRecord> records;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t record = 6 + 12 * i;
        if (!name.has(record, 12))
            break;
        auto bytes = name.slice(storage + name.u16(record + 10), name.u16(record + 8));
        if (!bytes.empty())
            records.push_back({ name.u16(record), name.u16(record + 2), name.u16(record + 6), bytes });
    }
    return records;
}

void TrueTypeConverter::readNames(std::span<const std::uint8_t> table)
{
    std::string* byId[8] = { &m_names.notice, &m_names.family, &m_names.weight, nullptr, &m_names.fullName,
        &m_names.version, &m_names.postScript, &m_names.trademark };
    // Macintosh records as the font has them; Windows ones fill the gaps
    // (fonts made today often carry no Macintosh names at all).
    Names windows;
    std::string* windowsById[8] = { &windows.notice, &windows.family, &windows.weight, nullptr,
        &windows.fullName, &windows.version, &windows.postScript, &windows.trademark };
    for (const NameRecord& r : nameRecords(table)) {
        if (r.nameId > 7 || !byId[r.nameId])
            continue;
        if (r.platform == 1)
            byId[r.nameId]->assign(r.bytes.begin(), r.bytes.end());
        else if (r.platform == 3 && (r.encoding == 1 || r.encoding == 0) && windowsById[r.nameId]->empty())
            *windowsById[r.nameId] = latin1FromUtf16(r.bytes);
    }
    for (int id = 0; id < 8; ++id)
        if (byId[id] && byId[id]->empty())
            *byId[id] = *windowsById[id];
    // A NUL inside a name ends it, as it would in the font's own tools.
    for (std::string* s : byId)
        if (s)
            s->resize(std::strlen(s->c_str()));
}

int TrueTypeConverter::scaled(int value) const
{
    return static_cast<int>((static_cast<long long>(value) * 1000 + m_unitsPerEm / 2) / m_unitsPerEm);
}

std::string TrueTypeConverter::stringBody(std::string_view text)
{
    std::string s;
    for (unsigned char c : text) {
        if (c == '(' || c == ')' || c == '\\') {
            s += '\\';
            s += static_cast<char>(c);
        } else if (c < 32 || c >= 127) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\%03o", c);
            s += buf;
        } else {
            s += static_cast<char>(c);
        }
    }
    return s;
}

std::string TrueTypeConverter::commentText(std::string_view text)
{
    std::string s(text);
    for (char& c : s)
        if (c == '\r' || c == '\n' || c == '\f') // each ends a comment
            c = ' ';
    return s;
}

void TrueTypeConverter::writeFontInfo(std::size_t noticeLimit)
{
    putText("/FontInfo 10 dict dup begin\r\n");
    put("/FamilyName (%s) def\r\n", stringBody(m_names.family).c_str());
    put("/FullName (%s) def\r\n", stringBody(m_names.fullName).c_str());
    if (!m_names.notice.empty() || !m_names.trademark.empty()) {
        put("/Notice (%s", stringBody(m_names.notice.substr(0, noticeLimit)).c_str());
        put("%s%s) def\r\n", m_names.trademark.empty() ? "" : " ", stringBody(m_names.trademark).c_str());
    }
    put("/Weight (%s) def\r\n", stringBody(m_names.weight).c_str());
    put("/Version (%s) def\r\n", stringBody(m_names.version).c_str());
    // The angle as a number: integer part and raw fraction side by side would
    // write -12.5 degrees as -13.32768.
    put("/ItalicAngle %g def\r\n", m_post.italicAngle.value());
    put("/isFixedPitch %s def\r\n", m_post.fixedPitch ? "true" : "false");
    put("/UnderlinePosition %d def\r\n", m_post.underlinePosition);
    put("/UnderlineThickness %d def\r\n", m_post.underlineThickness);
    putText("end readonly def\r\n");
}

void TrueTypeConverter::writeCharStrings(
    std::string_view notdefEntry, const std::function<void(int glyph, const std::string& name)>& writeEntry)
{
    const std::vector<std::string>& names = glyphNames();
    const bool hasNotdef = std::find(names.begin(), names.end(), ".notdef") != names.end();
    put("/CharStrings %d dict dup begin\r\n", m_numGlyphs + (hasNotdef ? 0 : 1));
    if (!hasNotdef)
        putText(notdefEntry);
    for (std::size_t g = 0; g < names.size(); ++g)
        writeEntry(int(g), names[g]);
    putText("end readonly def\r\n");
}

const std::vector<std::string>& TrueTypeConverter::glyphNames()
{
    if (m_glyphNamesRead)
        return m_glyphNames;
    m_glyphNamesRead = true;
    std::vector<std::string> names;
    if (m_post.format == 0x00020000)
        names = namesFromPost();
    else
        errorBox("%s does not have a format 2.0 'post' table", messageSubject().c_str());
    names.resize(std::size_t(m_numGlyphs));
    std::vector<std::string> derived = namesFromCharacterMap();
    // Every glyph gets a distinct name PostScript can read: the font's own,
    // else one from its character map, else gNNN.
    std::set<std::string> used;
    m_glyphNames.assign(std::size_t(m_numGlyphs), {});
    if (!names.empty() && names[0].empty())
        names[0] = ".notdef";
    for (const std::vector<std::string>* source : { &names, &derived }) {
        for (std::size_t g = 0; g < m_glyphNames.size(); ++g) {
            const std::string& candidate = (*source)[g];
            if (m_glyphNames[g].empty() && TrueTypeFont::isValidPostScriptName(candidate)
                && used.insert(candidate).second)
                m_glyphNames[g] = candidate;
        }
    }
    for (std::size_t g = 0; g < m_glyphNames.size(); ++g) {
        if (!m_glyphNames[g].empty())
            continue;
        // gNNN, with underscores added while the font itself uses the name.
        std::string candidate = generatedName(int(g));
        while (!used.insert(candidate).second)
            candidate += '_';
        m_glyphNames[g] = candidate;
    }
    return m_glyphNames;
}

std::vector<std::string> TrueTypeConverter::namesFromPost()
{
    const BigEndianBytes& post = m_postTable;
    const std::size_t count = post.u16(32);
    std::vector<std::string> stored;
    std::size_t at = 34 + 2 * count;
    bool longNameReported = false;
    while (post.has(at, 1)) {
        const std::size_t length = post.u8(at);
        auto bytes = post.slice(at + 1, length);
        if (bytes.size() != length)
            break;
        if (length >= kMaxGlyphName && !longNameReported) {
            errorBox("TrueType font file contains a very long PostScript name");
            longNameReported = true;
        }
        stored.emplace_back(
            length >= kMaxGlyphName ? std::string() : std::string(bytes.begin(), bytes.end()));
        at += 1 + length;
    }
    std::vector<std::string> names(std::min(count, std::size_t(m_numGlyphs)));
    for (std::size_t g = 0; g < names.size() && post.has(34 + 2 * g, 2); ++g) {
        const std::size_t index = post.u16(34 + 2 * g);
        if (index < kMacGlyphNames.size())
            names[g] = kMacGlyphNames[index];
        else if (index - kMacGlyphNames.size() < stored.size())
            names[g] = stored[index - kMacGlyphNames.size()];
    }
    return names;
}

std::vector<std::string> TrueTypeConverter::namesFromCharacterMap() const
{
    std::vector<std::string> names(static_cast<std::size_t>(m_numGlyphs));
    // Lowest character first: the name of a glyph is that of its first character.
    forEachCharacter(CharacterSet::Unicode, [&](char32_t c, std::uint32_t glyph) {
        if (glyph > 0 && names[glyph].empty())
            names[glyph] = unicodeGlyphName(c);
    });
    return names;
}

void TrueTypeConverter::forEachCharacter(
    CharacterSet set, const std::function<void(char32_t, std::uint32_t)>& visit) const
{
    const TableEntry* e = directoryEntry(sfntTag('c', 'm', 'a', 'p'));
    if (!e || !m_data.has(e->offset, e->length))
        return;
    const BigEndianBytes cmap(m_data.slice(e->offset, e->length));
    // Unicode: the full repertoire (format 12) before the BMP (format 4).
    std::size_t best = 0;
    int bestRank = 0;
    const std::size_t subtables = cmap.u16(2);
    for (std::size_t i = 0; i < subtables && cmap.has(4 + 8 * i, 8); ++i) {
        const int platform = cmap.u16(4 + 8 * i);
        const int encoding = cmap.u16(6 + 8 * i);
        const std::size_t offset = cmap.u32(8 + 8 * i);
        const int format = cmap.u16(offset);
        const bool wanted = set == CharacterSet::Symbol
            ? platform == 3 && encoding == 0
            : platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10));
        const int rank = !wanted || !cmap.has(offset, 4) ? 0 : format == 12 ? 2 : format == 4 ? 1 : 0;
        if (rank > bestRank) {
            bestRank = rank;
            best = offset;
        }
    }
    const std::uint32_t glyphCount = std::uint32_t(m_numGlyphs);
    if (bestRank == 2) {
        const std::uint32_t groups = cmap.u32(best + 12);
        for (std::uint32_t k = 0; k < groups && cmap.has(best + 16 + 12 * std::size_t(k), 12); ++k) {
            const std::size_t at = best + 16 + 12 * std::size_t(k);
            const std::uint32_t first = cmap.u32(at), last = std::min(cmap.u32(at + 4), 0x10FFFFu);
            const std::uint32_t glyph = cmap.u32(at + 8);
            // Bounded by the glyph count: a group cannot name more glyphs than there are.
            for (std::uint32_t c = first; c <= last && glyph < glyphCount && c - first < glyphCount - glyph;
                 ++c)
                visit(c, glyph + (c - first));
        }
    } else if (bestRank == 1) {
        const std::size_t segments = cmap.u16(best + 6) / 2;
        const std::size_t ends = best + 14, starts = ends + 2 * segments + 2;
        const std::size_t deltas = starts + 2 * segments, ranges = deltas + 2 * segments;
        // Segments go up in order; overlapping ones are cut so that no
        // character is looked at twice.
        std::uint32_t next = 0;
        for (std::size_t s = 0; s < segments && cmap.has(ranges + 2 * s, 2); ++s) {
            const std::uint32_t first = cmap.u16(starts + 2 * s);
            const std::uint32_t start = std::max(first, next);
            const std::uint32_t end = cmap.u16(ends + 2 * s);
            next = std::max(next, end + 1);
            const std::uint16_t delta = cmap.u16(deltas + 2 * s);
            const std::size_t rangeOffset = cmap.u16(ranges + 2 * s);
            for (std::uint32_t c = start; c <= end && c != 0xFFFF; ++c) {
                std::uint32_t glyph;
                if (rangeOffset == 0) {
                    glyph = std::uint16_t(c + delta);
                } else {
                    glyph = cmap.u16(ranges + 2 * s + rangeOffset + 2 * (c - first));
                    if (glyph)
                        glyph = std::uint16_t(glyph + delta);
                }
                if (glyph < glyphCount)
                    visit(c, glyph);
            }
        }
    }
}

void TrueTypeConverter::writeEncoding()
{
    // A symbol font's codes reach its glyphs through its symbol character
    // map (at 0xF000 + code): its own encoding says so, as StandardEncoding
    // would find none of them.
    std::array<std::int32_t, 256> byCode;
    byCode.fill(-1);
    bool symbol = false;
    forEachCharacter(CharacterSet::Symbol, [&](char32_t c, std::uint32_t glyph) {
        symbol = true;
        const char32_t code = c >= 0xF000 && c <= 0xF0FF ? c - 0xF000 : c;
        if (code < 256 && (byCode[code] < 0 || c >= 0xF000))
            byCode[code] = std::int32_t(glyph);
    });
    if (!symbol) {
        putText("/Encoding StandardEncoding def\r\n");
        return;
    }
    const std::vector<std::string>& names = glyphNames();
    putText("/Encoding 256 array\r\n0 1 255{1 index exch/.notdef put}for\r\n");
    for (int code = 0; code < 256; ++code)
        if (byCode[std::size_t(code)] > 0)
            put("dup %d /%s put\r\n", code, names[std::size_t(byCode[std::size_t(code)])].c_str());
    putText("readonly def\r\n");
}

} // namespace zavora
