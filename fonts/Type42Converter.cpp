#include "fonts/Type42Converter.h"

#include "platform/FontSystem.h"
#include "platform/Reporter.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <set>

namespace zavora {

namespace {

// The tables a Type 42 interpreter needs, in the order they are carried.
constexpr std::array<std::uint32_t, 9> kCarriedTables
    = { sfntTag('c', 'v', 't', ' '), sfntTag('f', 'p', 'g', 'm'), sfntTag('g', 'l', 'y', 'f'),
          sfntTag('h', 'e', 'a', 'd'), sfntTag('h', 'h', 'e', 'a'), sfntTag('h', 'm', 't', 'x'),
          sfntTag('l', 'o', 'c', 'a'), sfntTag('m', 'a', 'x', 'p'), sfntTag('p', 'r', 'e', 'p') };
constexpr std::size_t kMaxTableLength = 65535;
constexpr int kMaxLineColumns = 72;

std::uint32_t padded(std::uint32_t length)
{
    return (length + 3) & ~3u;
}

const char kTrailer[] = "\r\n"
                        "systemdict/resourcestatus known\r\n"
                        " {42 /FontType resourcestatus\r\n"
                        "   {pop pop false}{true}ifelse}\r\n"
                        " {true}ifelse\r\n"
                        "{/TrueDict where{pop}{(%%[ Error: no TrueType rasterizer ]%%)= flush}ifelse\r\n"
                        "/FontType 3 def\r\n"
                        " /TrueState 271 string def\r\n"
                        " TrueDict begin sfnts save\r\n"
                        " 72 0 matrix defaultmatrix dtransform dup\r\n"
                        " mul exch dup mul add sqrt cvi 0 72 matrix\r\n"
                        " defaultmatrix dtransform dup mul exch dup\r\n"
                        " mul add sqrt cvi 3 -1 roll restore\r\n"
                        " TrueState initer end\r\n"
                        " /BuildGlyph{exch begin\r\n"
                        "  CharStrings dup 2 index known\r\n"
                        "    {exch}{exch pop /.notdef}ifelse\r\n"
                        "  get dup xcheck\r\n"
                        "    {currentdict systemdict begin begin exec end end}\r\n"
                        "    {TrueDict begin /bander load cvlit exch TrueState render end}\r\n"
                        "    ifelse\r\n"
                        " end}bind def\r\n"
                        " /BuildChar{\r\n"
                        "  1 index /Encoding get exch get\r\n"
                        "  1 index /BuildGlyph get exec\r\n"
                        " }bind def\r\n"
                        "}if\r\n"
                        "\r\n"
                        "FontName currentdict end definefont pop\r\n"
                        "%%EOF\r\n";

} // namespace

bool Type42Converter::writeFont()
{
    m_stringBytes = 0;
    m_column = 0;
    m_stringOpen = false;
    writeHeader();
    if (!writeSfnts())
        return false;
    writeCharStrings("/.notdef 0 def\r\n",
        [&](int glyph, const std::string& name) { put("/%s %d def\r\n", name.c_str(), glyph); });
    putText(kTrailer);
    return true;
}

void Type42Converter::writeHeader()
{
    put("%%!PS-TrueTypeFont-%d.%d-%d.%d\r\n", FixedNumber::from(m_sfntVersion).integer,
        FixedNumber::from(m_sfntVersion).fraction, m_revision.integer, m_revision.fraction);
    put("%%%%Title: %s\r\n", commentText(m_names.fullName).c_str());
    if (!m_names.notice.empty())
        put("%%%%Copyright: %.128s\r\n", commentText(m_names.notice).c_str());
    putText("%%Creator: Converted from TrueType to type 42 by Zavora Draw\r\n");
    if (m_post.minMemType42 >= 1 && m_post.maxMemType42 >= 1)
        put("%%%%VMUsage: %u %u\r\n", m_post.minMemType42, m_post.maxMemType42);
    putText("15 dict begin\r\n");
    put("/FontName /%s def\r\n", fontName().c_str());
    putText("/PaintType 0 def\r\n");
    putText("/FontMatrix[1 0 0 1 0 0]def\r\n");
    // Glyph space is the em square here (the matrix is the identity), so the
    // box is in ems, not in the thousandths a Type 3 font uses.
    put("/FontBBox[%g %g %g %g]def\r\n", m_bbox[0] / 1000.0, m_bbox[1] / 1000.0, m_bbox[2] / 1000.0,
        m_bbox[3] / 1000.0);
    putText("/FontType 42 def\r\n");
    writeEncoding();
    writeFontInfo(128);
}

bool Type42Converter::writeSfnts()
{
    std::vector<CarriedTable> carried;
    for (std::uint32_t t : kCarriedTables)
        if (const TableEntry* e = directoryEntry(t))
            carried.push_back({ *e, 0 });
    const std::uint16_t count = static_cast<std::uint16_t>(carried.size());
    std::uint32_t offset = 12 + 16 * std::uint32_t(count);
    for (CarriedTable& t : carried) {
        t.newOffset = offset;
        offset += padded(t.entry.length);
    }

    putText("/sfnts[<");
    m_column = 8;
    m_stringOpen = true;
    m_stringBytes = 0;
    std::uint16_t power = 1, log2 = 0;
    while (count > 0 && power * 2 <= count) {
        power *= 2;
        ++log2;
    }
    makeRoom(12 + 16 * std::size_t(count));
    put32(m_sfntVersion);
    put16(count);
    put16(std::uint16_t(16 * power));
    put16(log2);
    put16(std::uint16_t(16 * count - 16 * power));
    for (const CarriedTable& t : carried) {
        put32(t.entry.tag);
        put32(t.entry.checksum);
        put32(t.newOffset);
        put32(t.entry.length);
    }

    for (const CarriedTable& t : carried) {
        if (t.entry.tag == sfntTag('g', 'l', 'y', 'f')) {
            if (!writeGlyf(t))
                return false;
            continue;
        }
        if (t.entry.length > kMaxTableLength) {
            errorBox("TrueType font \"%s\" has a '%s' table which is too long", fullName(),
                tagText(t.entry.tag).c_str());
            return false;
        }
        if (!m_data.has(t.entry.offset, t.entry.length)) {
            errorBox("TrueType font \"%s\" may be corrupt (reason 5)", fullName());
            return false;
        }
        makeRoom(padded(t.entry.length));
        putBytes(m_data.slice(t.entry.offset, t.entry.length));
        putZeros(padded(t.entry.length) - t.entry.length);
    }
    if (m_stringOpen)
        closeString();
    if (m_column + 4 > kMaxLineColumns)
        putText("\r\n");
    putText("]def\r\n");
    return true;
}

bool Type42Converter::writeGlyf(const CarriedTable& glyf)
{
    const std::uint32_t length = glyf.entry.length;
    if (!m_data.has(glyf.entry.offset, length)) {
        errorBox("TrueType font \"%s\" may be corrupt (reason 6)", fullName());
        return false;
    }
    auto loca = table(sfntTag('l', 'o', 'c', 'a'));
    if (!loca)
        return false;
    // Strings may break only where a glyph starts: every place 'loca' points
    // to inside the table (in any order, so a corrupt 'loca' cannot make a
    // glyph of negative length).
    std::set<std::uint32_t> starts = { 0, length };
    for (int g = 0; g <= m_numGlyphs; ++g) {
        const std::uint32_t at
            = m_indexToLocFormat == 1 ? loca->u32(4 * std::size_t(g)) : 2u * loca->u16(2 * std::size_t(g));
        if ((m_indexToLocFormat == 1 ? loca->has(4 * std::size_t(g), 4) : loca->has(2 * std::size_t(g), 2))
            && at < length)
            starts.insert(at);
    }
    const auto bytes = m_data.slice(glyf.entry.offset, length);
    for (auto it = starts.begin(); std::next(it) != starts.end(); ++it) {
        std::size_t from = *it;
        const std::size_t to = *std::next(it);
        if ((to - from) % 2 != 0) {
            errorBox("TrueType font \"%s\" contains a 'glyf' table without 2 ub1 padding", fullName());
            return false;
        }
        // A glyph longer than a string can hold is cut where it must be.
        while (from < to) {
            const std::size_t piece = std::min(to - from, kMaxStringBytes);
            makeRoom(piece);
            putBytes(bytes.subspan(from, piece));
            from += piece;
        }
    }
    putZeros(padded(length) - length);
    return true;
}

void Type42Converter::openString()
{
    putText("<");
    ++m_column;
    m_stringOpen = true;
    m_stringBytes = 0;
}

void Type42Converter::closeString()
{
    putZeros(1);
    putText(">");
    ++m_column;
    m_stringOpen = false;
    m_stringBytes = 0;
}

void Type42Converter::makeRoom(std::size_t length)
{
    if (m_stringOpen && m_stringBytes + length > kMaxStringBytes)
        closeString();
}

void Type42Converter::putBytes(std::span<const std::uint8_t> bytes)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string& out = outputBuffer();
    for (std::uint8_t b : bytes) {
        if (!m_stringOpen)
            openString();
        // The "<" or ">" of a string change may stand on the line too.
        if (m_column + 2 > kMaxLineColumns) {
            out += "\r\n";
            m_column = 0;
        }
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
        m_column += 2;
        ++m_stringBytes;
        if (m_column > 70) {
            out += "\r\n";
            m_column = 0;
        }
    }
    if (out.size() >= (1 << 16))
        flushOutput();
}

void Type42Converter::putZeros(std::size_t count)
{
    static const std::uint8_t kZeros[4] = {};
    while (count > 0) {
        const std::size_t n = std::min<std::size_t>(count, sizeof kZeros);
        putBytes({ kZeros, n });
        count -= n;
    }
}

void Type42Converter::put32(std::uint32_t value)
{
    const std::uint8_t b[4] = { std::uint8_t(value >> 24), std::uint8_t(value >> 16),
        std::uint8_t(value >> 8), std::uint8_t(value) };
    putBytes(b);
}

void Type42Converter::put16(std::uint16_t value)
{
    const std::uint8_t b[2] = { std::uint8_t(value >> 8), std::uint8_t(value) };
    putBytes(b);
}

} // namespace zavora
