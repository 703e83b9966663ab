// The Type 42 and Type 3 converters, with Ghostscript drawing text in both
// forms as FreeType draws it.

#include "FontTestSupport.h"
#include "SfntBuilder.h"

#include "../output/PostScriptTestSupport.h"

#include "fonts/AnsiEncoding.h"
#include "fonts/TrueTypeFont.h"
#include "fonts/Type3Converter.h"
#include "fonts/Type42Converter.h"
#include "platform/FontSystem.h"
#include "platform/OutputStream.h"
#include "platform/Reporter.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <set>

using namespace zavora;
using namespace zavora::test;
namespace gs = zavora::testing;

namespace {

enum class Form { Type42, Type3 };

struct Conversion {
    bool ok = false;
    std::string text;
    std::vector<std::string> messages;
};

Conversion convert(Form form, const Bytes& font, const std::string& name = {})
{
    RecordingReporter messages;
    MemoryOutputStream out;
    Conversion c;
    c.ok = form == Form::Type42 ? Type42Converter(name).convert(font, out)
                                : Type3Converter(name).convert(font, out);
    c.text = out.data();
    for (const auto& m : messages.messages())
        c.messages.push_back(m.text);
    return c;
}

std::uint32_t u32(const Bytes& d, std::size_t at)
{
    return (std::uint32_t(d[at]) << 24) | (std::uint32_t(d[at + 1]) << 16) | (std::uint32_t(d[at + 2]) << 8)
        | d[at + 3];
}
int u16(const Bytes& d, std::size_t at)
{
    return (d[at] << 8) | d[at + 1];
}

// A table of an sfnt by tag: offset and length, or nothing.
std::optional<std::pair<std::size_t, std::size_t>> findTable(const Bytes& font, const char* tag)
{
    for (int i = 0; i < u16(font, 4); ++i) {
        const std::size_t e = 12 + 16 * std::size_t(i);
        if (std::equal(tag, tag + 4, font.begin() + std::ptrdiff_t(e)))
            return std::pair { std::size_t(u32(font, e + 8)), std::size_t(u32(font, e + 12)) };
    }
    return std::nullopt;
}

// A table's bytes (empty when the font has no such table).
Bytes tableBytes(const Bytes& font, const char* tag)
{
    const auto t = findTable(font, tag);
    if (!t || t->first + t->second > font.size())
        return {};
    return Bytes(
        font.begin() + std::ptrdiff_t(t->first), font.begin() + std::ptrdiff_t(t->first + t->second));
}

// The sfnts array read back: the strings without their padding byte, joined.
struct Sfnts {
    Bytes bytes;
    std::vector<std::size_t> stringEnds; // offsets in bytes where a string ended
    std::vector<std::size_t> stringSizes; // as written, padding included
    bool padded = true; // every string ended with its 00
};

Sfnts readSfnts(const std::string& program)
{
    Sfnts s;
    const std::size_t begin = program.find("/sfnts[");
    const std::size_t end = program.find("]def", begin);
    if (begin == std::string::npos || end == std::string::npos)
        return s;
    Bytes current;
    int high = -1;
    for (std::size_t i = begin + 7; i < end; ++i) {
        const char c = program[i];
        if (c == '>') {
            s.stringSizes.push_back(current.size());
            s.padded = s.padded && !current.empty() && current.back() == 0;
            if (!current.empty())
                current.pop_back();
            s.bytes.insert(s.bytes.end(), current.begin(), current.end());
            s.stringEnds.push_back(s.bytes.size());
            current.clear();
        } else if (std::isxdigit(static_cast<unsigned char>(c))) {
            const int v
                = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::toupper(c) - 'A' + 10);
            if (high < 0)
                high = v;
            else
                current.push_back(std::uint8_t(high * 16 + v)), high = -1;
        }
    }
    return s;
}

std::size_t longestLine(const std::string& text)
{
    std::size_t longest = 0, start = 0;
    for (std::size_t nl; (nl = text.find("\r\n", start)) != std::string::npos; start = nl + 2)
        longest = std::max(longest, nl - start);
    return longest;
}

std::size_t count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// The procedure of one glyph of a Type 3 program, between "/name{" and "}_d".
std::string glyphProcedure(const std::string& program, const std::string& name)
{
    const std::string open = "/" + name + "{\r\n";
    const std::size_t begin = program.find(open);
    if (begin == std::string::npos)
        return "<no glyph " + name + ">";
    const std::size_t end = program.find("}_d\r\n", begin);
    return program.substr(begin + open.size(), end - begin - open.size());
}

// A font of the test data by file name, or one of this machine's fonts by its
// family (names with a space); empty when there is none.
std::filesystem::path fontFile(const std::string& name)
{
    if (name.find(' ') == std::string::npos)
        return corpusFile(name.c_str());
    static const std::vector<FontFileInfo> installed = systemFontSystem().enumerate();
    for (const FontFileInfo& f : installed)
        if (f.family == name && f.format == FontFileInfo::Format::TrueType && f.weight == 400 && !f.italic
            && f.index == 0)
            return f.path;
    return {};
}

} // namespace

// ---------------------------------------------------------------- Type 42

struct CorpusFont {
    friend void PrintTo(const CorpusFont& f, std::ostream* os) { *os << f.file; }
    const char* file; // as fontFile() finds it
    std::array<int, 4> offsetTable; // tables, searchRange, entrySelector, rangeShift
    std::vector<std::string> messages;
    std::vector<std::string> lines; // lines the header must have
};

class Type42Corpus : public ::testing::TestWithParam<CorpusFont> { };

TEST_P(Type42Corpus, SfntsCarryTheFontsOwnTablesInGlyphAlignedStrings)
{
    const CorpusFont& param = GetParam();
    const std::filesystem::path path = fontFile(param.file);
    if (path.empty() || !std::filesystem::exists(path))
        GTEST_SKIP() << path << " is not installed";
    const Bytes font = readBytes(path);
    const Conversion c = convert(Form::Type42, font);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.messages, param.messages);
    EXPECT_EQ(c.text.rfind("%!PS-TrueTypeFont-1.0-", 0), 0u) << c.text.substr(0, 40);
    for (const std::string& line : param.lines)
        EXPECT_NE(c.text.find("\r\n" + line + "\r\n"), std::string::npos) << line;
    const std::size_t sfntsAt = c.text.find("/sfnts[");
    EXPECT_LE(longestLine(c.text.substr(sfntsAt, c.text.find("]def", sfntsAt) - sfntsAt)), 72u);

    const Sfnts s = readSfnts(c.text);
    EXPECT_TRUE(s.padded);
    for (std::size_t size : s.stringSizes)
        EXPECT_LE(size, Type42Converter::kMaxStringBytes + 1);
    ASSERT_GE(s.bytes.size(), 12u);
    // The offset table for the tables carried: count and binary search fields.
    const int n = u16(s.bytes, 4);
    EXPECT_EQ((std::array { n, u16(s.bytes, 6), u16(s.bytes, 8), u16(s.bytes, 10) }), param.offsetTable);
    // Each table where its entry says, with the font's own bytes.
    std::size_t expectedOffset = 12 + 16 * std::size_t(n);
    for (int i = 0; i < n; ++i) {
        const std::size_t e = 12 + 16 * std::size_t(i);
        const std::string tag(s.bytes.begin() + std::ptrdiff_t(e), s.bytes.begin() + std::ptrdiff_t(e) + 4);
        const std::size_t offset = u32(s.bytes, e + 8), length = u32(s.bytes, e + 12);
        EXPECT_EQ(offset, expectedOffset) << tag;
        expectedOffset += (length + 3) & ~std::size_t(3);
        ASSERT_LE(offset + length, s.bytes.size()) << tag;
        EXPECT_EQ(Bytes(s.bytes.begin() + std::ptrdiff_t(offset),
                      s.bytes.begin() + std::ptrdiff_t(offset + length)),
            tableBytes(font, tag.c_str()))
            << tag;
        if (tag == "glyf") {
            // Strings end only where a glyph starts.
            const auto loca = findTable(font, "loca");
            const bool longLoca = u16(font, findTable(font, "head")->first + 50) == 1;
            std::set<std::size_t> starts;
            for (std::size_t k = 0; k < loca->second; k += longLoca ? 4 : 2)
                starts.insert(
                    offset + (longLoca ? u32(font, loca->first + k) : 2u * u16(font, loca->first + k)));
            for (std::size_t end : s.stringEnds)
                if (end > offset && end < offset + length)
                    EXPECT_TRUE(starts.contains(end)) << "string ends inside a glyph at " << end - offset;
        }
    }
    EXPECT_EQ(expectedOffset, s.bytes.size());
    // Every glyph is in CharStrings, .notdef among them.
    const int glyphs = u16(font, findTable(font, "maxp")->first + 4);
    EXPECT_NE(c.text.find("/.notdef "), std::string::npos);
    EXPECT_GE(count(c.text, " def\r\n/"), std::size_t(glyphs));
    EXPECT_NE(c.text.find("/A "), std::string::npos);
    EXPECT_TRUE(c.text.ends_with("FontName currentdict end definefont pop\r\n%%EOF\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Fonts, Type42Corpus,
    ::testing::Values(
        CorpusFont { "Vera.ttf", { 9, 128, 3, 16 }, {}, { "/FontBBox[-0.182 -0.235 1.287 0.928]def" } },
        // Over 64 KiB of glyphs: several strings. Windows names only.
        CorpusFont { "OpenSansCondensed-LightItalic.ttf", { 9, 128, 3, 16 }, {},
            { "%%Title: Open Sans Condensed Light Italic", "/ItalicAngle -12 def" } },
        // No hinting tables: 6 tables, searchRange 64, entrySelector 2, rangeShift 32.
        CorpusFont { "K3.TTF", { 6, 64, 2, 32 },
            { "TrueType font \"New\" does not have a format 2.0 'post' table" }, { "/.notdef 0 def" } },
        CorpusFont { "Tuffy.ttf", { 7, 64, 2, 48 }, {} }));

// ---------------------------------------------------------------- Type 3

namespace {

SfntGlyph simple(std::string name, std::vector<std::vector<SfntPoint>> contours, int advance = 500)
{
    return SfntGlyph { std::move(name), advance, std::move(contours), {} };
}

Bytes fontWith(const std::function<void(SfntBuilder&)>& setup)
{
    SfntBuilder font;
    setup(font);
    return font.build();
}

// Clockwise (outer) and counter-clockwise (hole) squares.
std::vector<SfntPoint> outerSquare(int x0, int y0, int x1, int y1)
{
    return { { x0, y0 }, { x0, y1 }, { x1, y1 }, { x1, y0 } };
}
std::vector<SfntPoint> holeSquare(int x0, int y0, int x1, int y1)
{
    return { { x0, y0 }, { x1, y0 }, { x1, y1 }, { x0, y1 } };
}

struct GlyphCase {
    const char* what;
    std::function<void(SfntBuilder&)> glyphs; // the glyph looked at is named "x"
    std::string procedure;
    friend void PrintTo(const GlyphCase& c, std::ostream* os) { *os << c.what; }
};

} // namespace

class Type3Glyphs : public ::testing::TestWithParam<GlyphCase> { };

TEST_P(Type3Glyphs, ProcedureDrawsTheOutline)
{
    const Conversion c = convert(Form::Type3, fontWith(GetParam().glyphs));
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.messages, std::vector<std::string> {});
    EXPECT_EQ(glyphProcedure(c.text, "x"), GetParam().procedure);
}

INSTANTIATE_TEST_SUITE_P(Cases, Type3Glyphs,
    ::testing::Values(
        // Three off-curve points: curves through the two midpoints between them.
        GlyphCase { "quadratic run",
            [](SfntBuilder& f) {
                f.add(simple("x",
                    { { { 0, 0 }, { 0, 300, false }, { 300, 600, false }, { 600, 300, false },
                        { 600, 0 } } }));
            },
            "500 0 0 0 600 600 _sc\r\n0 0 _m\r\n0 200 50 350 150 450 _c\r\n250 550 350 550 450 450 _c\r\n"
            "550 350 600 200 600 0 _c\r\n0 0 _l\r\n_cl\r\n" },
        // Each outer contour comes with its own hole, whatever the font's order.
        GlyphCase { "outer contours then their holes",
            [](SfntBuilder& f) {
                f.add(simple("x",
                    { outerSquare(0, 0, 300, 300), outerSquare(400, 0, 700, 300),
                        holeSquare(500, 100, 600, 200), holeSquare(100, 100, 200, 200) }));
            },
            "500 0 0 0 700 300 _sc\r\n0 0 _m\r\n0 300 _l\r\n300 300 _l\r\n300 0 _l\r\n0 0 _l\r\n"
            "100 100 _m\r\n200 100 _l\r\n200 200 _l\r\n100 200 _l\r\n100 100 _l\r\n"
            "400 0 _m\r\n400 300 _l\r\n700 300 _l\r\n700 0 _l\r\n400 0 _l\r\n"
            "500 100 _m\r\n600 100 _l\r\n600 200 _l\r\n500 200 _l\r\n500 100 _l\r\n_cl\r\n" },
        GlyphCase { "contour starting off the curve",
            [](SfntBuilder& f) {
                f.add(simple("x", { { { 300, 600, false }, { 600, 0 }, { 0, 0 } } }));
            },
            "500 0 0 0 600 600 _sc\r\n600 0 _m\r\n0 0 _l\r\n200 400 400 400 600 0 _c\r\n_cl\r\n" },
        // A glyph made of itself would never finish drawing.
        GlyphCase { "component cycle",
            [](SfntBuilder& f) {
                f.add(simple("a", { outerSquare(0, 0, 400, 400) }));
                f.add(SfntGlyph { "x", 500, {}, { { 2, 0, 0 }, { 1, 0, 0 }, { 3, 0, 0 } } });
                f.add(SfntGlyph { "y", 500, {}, { { 2, 0, 0 } } });
            },
            "500 0 0 0 0 0 _sc\r\nfalse CharStrings /a get exec\r\nfalse CharStrings /y get exec\r\n" }));

TEST(Type3Glyphs, LongProceduresAreSplitIntoSmallOnes)
{
    SfntBuilder font;
    std::vector<SfntPoint> circle;
    for (int i = 0; i < 200; ++i) // clockwise
        circle.push_back({ int(std::lround(500 + 400 * std::cos(-i * M_PI / 100))),
            int(std::lround(500 + 400 * std::sin(-i * M_PI / 100))) });
    font.add(simple("x", { circle }));
    const Conversion c = convert(Form::Type3, font.build());
    ASSERT_TRUE(c.ok);
    const std::string procedure = glyphProcedure(c.text, "x");
    ASSERT_EQ(procedure.substr(0, 1), "{");
    ASSERT_TRUE(procedure.ends_with("_cl\r\n}_e\r\n"));
    // 200 line segments of cost 3: at least six pieces, none over the limit.
    EXPECT_GE(count(procedure, "}_e{\r\n"), 5u);
    std::size_t start = 0;
    for (std::size_t split; (split = procedure.find("}_e{", start)) != std::string::npos; start = split + 4)
        EXPECT_LE(3 * count(procedure.substr(start, split - start), "_l\r\n"),
            std::size_t(Type3Converter::kMaxProcedureCost));
    EXPECT_EQ(count(procedure, "_l\r\n"), 200u);
}

// ---------------------------------------------------------------- Messages

namespace {

Bytes truncated(Bytes font, std::size_t size)
{
    font.resize(size);
    return font;
}

Bytes patched(Bytes font, const char* table, std::size_t at, Bytes bytes)
{
    const std::size_t offset = findTable(font, table)->first + at;
    std::copy(bytes.begin(), bytes.end(), font.begin() + std::ptrdiff_t(offset));
    return font;
}

struct FontCase {
    const char* what;
    std::function<Bytes()> font;
    bool type42Converts;
    std::vector<std::string> type42Messages;
    bool type3Converts;
    std::vector<std::string> type3Messages;
    std::vector<std::string> lines = {}; // in each program converted
    friend void PrintTo(const FontCase& b, std::ostream* os) { *os << b.what; }
};

} // namespace

class BuiltFonts : public ::testing::TestWithParam<FontCase> { };

TEST_P(BuiltFonts, ConvertWithTheirLinesOrGiveTheirMessages)
{
    const FontCase& b = GetParam();
    const Bytes font = b.font();
    for (Form form : { Form::Type42, Form::Type3 }) {
        const Conversion c = convert(form, font);
        EXPECT_EQ(c.ok, form == Form::Type42 ? b.type42Converts : b.type3Converts);
        EXPECT_EQ(c.messages, form == Form::Type42 ? b.type42Messages : b.type3Messages);
        for (const std::string& line : c.ok ? b.lines : std::vector<std::string> {})
            EXPECT_NE(c.text.find(line), std::string::npos) << line;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, BuiltFonts,
    ::testing::Values(
        FontCase { "no offset table", [] { return truncated(readBytes(corpusFile("Vera.ttf")), 8); }, false,
            { "TrueType font \"\" may be corrupt (reason 1)" }, false,
            { "TrueType font may be corrupt (reason 1)" } },
        FontCase { "directory cut short", [] { return truncated(readBytes(corpusFile("Vera.ttf")), 100); },
            false,
            { "TrueType font \"\" may be corrupt (reason 2)", "TrueType font is missing table 'head'" },
            false, { "TrueType font may be corrupt (reason 2)", "TrueType font is missing table 'head'" } },
        FontCase { "tables cut off", [] { return truncated(readBytes(corpusFile("Vera.ttf")), 40000); },
            false, { "TrueType font may be corrupt (reason 3)" }, false,
            { "TrueType font may be corrupt (reason 3)" } },
        // One byte of glyf, and a 1.0 'post' table.
        FontCase { "bogus 'post' format", [] { return readBytes(corpusFile("bogus_post_format_1.ttf")); },
            false, { "TrueType font \"\" contains a 'glyf' table without 2 ub1 padding" }, true,
            { "TrueType font does not have a format 2.0 'post' table" } },
        FontCase { "indexToLocFormat 2",
            [] {
                return patched(readBytes(corpusFile("Vera.ttf")), "head", 50, { 0, 2 });
            },
            false, { "TrueType font \"Bitstream Vera Sans\" is unusable because indexToLocFormat = 2" },
            false, { "TrueType font \"Bitstream Vera Sans\" is unusable because indexToLocFormat = 2" } },
        // 17500 glyphs: 70000 bytes of 'hmtx'.
        FontCase { "'hmtx' over 64 KiB",
            [] { return fontWith([](SfntBuilder& f) { f.glyphs.resize(17500, SfntGlyph { "" }); }); }, false,
            { "TrueType font \"Test Font\" has a 'hmtx' table which is too long" }, true, {} },
        // A repeat count past the last point stops that glyph only.
        FontCase { "flags repeated past the last point",
            [] {
                return fontWith([](SfntBuilder& f) {
                    f.add(SfntGlyph {
                        "x", 500, {}, {}, { 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 1 | 8, 5, 0, 0 } });
                });
            },
            true, {}, true, { "Error in flags x=0, ct=5, num_pts=4" } },
        // Text from the font goes into strings and comments: it must not end them.
        FontCase { "notice with delimiters",
            [] { return fontWith([](SfntBuilder& f) { f.notice = "(c) one)\ntwo\f\\"; }); }, true, {}, true,
            {},
            { "\r\n%%Copyright: (c) one) two \\\r\n",
                "\r\n/Notice (\\(c\\) one\\)\\012two\\014\\\\) def\r\n" } },
        // A symbol font's codes find its glyphs through its own encoding:
        // (3, 0) format 4, 0xF041 and 0xF042 to glyphs 1 and 2.
        FontCase { "symbol font",
            [] {
                return fontWith([](SfntBuilder& f) {
                    f.add(simple("x", { outerSquare(0, 0, 100, 100) }));
                    f.add(simple("y", { outerSquare(0, 0, 100, 100) }));
                    SfntBuilder::put16s(f.extraTables["cmap"],
                        { 0, 1, 3, 0, 0, 12, 4, 32, 0, 4, 4, 1, 0, 0xF042, 0xFFFF, 0, 0xF041, 0xFFFF,
                            (1 - 0xF041) & 0xFFFF, 1, 0, 0 });
                });
            },
            true, {}, true, {},
            { "\r\n/Encoding 256 array\r\n0 1 255{1 index exch/.notdef put}for\r\n"
              "dup 65 /x put\r\ndup 66 /y put\r\nreadonly def\r\n" } }));

// Glyphs without usable names in the font or its character map (K3 in the
// corpus table has its names from the map) get distinct numbered ones.
TEST(GlyphNames, UnusableNamesBecomeDistinctNumberedOnes)
{
    const Conversion named = convert(Form::Type3, fontWith([](SfntBuilder& f) {
        f.add(simple(std::string(80, 'n'), { outerSquare(0, 0, 100, 100) }));
        f.add(simple("two words", { outerSquare(0, 0, 100, 100) }));
        f.add(simple("g1", { outerSquare(0, 0, 100, 100) }));
    }));
    // gNNN of glyph 1 is the font's own name of glyph 3.
    for (const char* entry :
        { "/.notdef{", "/g1_{", "/g2{", "/g1{", "\r\n/Encoding StandardEncoding def\r\n" })
        EXPECT_NE(named.text.find(entry), std::string::npos) << entry;
    EXPECT_EQ(named.messages,
        std::vector<std::string> { "TrueType font file contains a very long PostScript name" });
}

// ------------------------------------------------- Ghostscript as referee

namespace {

constexpr double kRefereeSize = 40; // pixels at 72 dpi
constexpr int kRefereeMargin = 10;
// Windows-1252, with composite glyphs (turned, rotated, accented) among them.
constexpr const char* kRefereeText = "Hamburgefonstiv \xA1\xD7\xBF\x91\xC5\xE9 0123456789 QWXYZ";

struct Page {
    int width = 0, height = 0;
    Bytes rgb;
    std::vector<int> glyphStarts; // the pixel column where each glyph's advance starts
};

// The text as FreeType renders it: black on white, baseline kRefereeMargin
// above the bottom edge, each glyph at its exact pen position.
Page freeTypePage(const FontFace& face, std::string_view text)
{
    const double unitsPerEm = face.metrics().unitsPerEm;
    double width = 2 * kRefereeMargin;
    for (char c : text)
        width += face.advance(ansiToUnicode(static_cast<unsigned char>(c)), CharCode::Unicode).value_or(0)
            * kRefereeSize / unitsPerEm;
    Page page { int(std::ceil(width)), int(kRefereeSize * 1.5) + 2 * kRefereeMargin, {} };
    page.rgb.assign(std::size_t(page.width) * page.height * 3, 255);
    double x = kRefereeMargin;
    const int baseline = page.height - kRefereeMargin;
    for (char c : text) {
        page.glyphStarts.push_back(int(std::floor(x)));
        const std::uint32_t code = ansiToUnicode(static_cast<unsigned char>(c));
        GlyphRaster raster { .xx = kRefereeSize,
            .yy = -kRefereeSize,
            .penX = x - std::floor(x),
            .penY = 0,
            .depth = MaskDepth::Gray };
        if (auto mask = face.renderGlyph(code, CharCode::Unicode, raster)) {
            for (int row = 0; row < mask->height; ++row)
                for (int col = 0; col < mask->width; ++col) {
                    const int px = int(std::floor(x)) + mask->left + col, py = baseline - mask->top + row;
                    if (px >= 0 && py >= 0 && px < page.width && py < page.height)
                        std::fill_n(page.rgb.begin() + (std::ptrdiff_t(py) * page.width + px) * 3, 3,
                            std::uint8_t(255 - mask->coverage(col, row)));
                }
        }
        x += face.advance(code, CharCode::Unicode).value_or(0) * kRefereeSize / unitsPerEm;
    }
    return page;
}

// A page of the size showing the text in the font program's font.
std::string refereeDocument(const Page& page, const std::string& fontProgram, const std::string& fontName)
{
    std::string glyphs;
    for (const char* c = kRefereeText; *c; ++c)
        glyphs += std::string("/") + ansiGlyphName(static_cast<unsigned char>(*c)) + " glyphshow\r\n";
    return "%!PS\r\n<< /PageSize [" + std::to_string(page.width) + " " + std::to_string(page.height)
        + "] >> setpagedevice\r\n" + fontProgram + "/" + fontName + " findfont "
        + std::to_string(int(kRefereeSize)) + " scalefont setfont\r\n" + std::to_string(kRefereeMargin) + " "
        + std::to_string(kRefereeMargin) + " moveto\r\n" + glyphs + "showpage\r\n";
}

// Ghostscript without the machine's fonts: only what the document embeds.
gs::GhostscriptRun renderAlone(const std::string& document, const std::string& name)
{
    const std::filesystem::path noFonts = gs::scratchDirectory() / "no-fonts";
    std::filesystem::create_directories(noFonts);
    const std::filesystem::path output = gs::scratchDirectory() / (name + ".ppm");
    std::filesystem::remove(output);
    gs::GhostscriptRun run = gs::runGhostscript(document, name,
        "-dNOPLATFONTS -sFONTPATH='" + noFonts.string()
            + "' -dTextAlphaBits=4 -dGraphicsAlphaBits=4 -sDEVICE=ppmraw -r72 -o '" + output.string() + "'");
    if (!gs::parsePpm(gs::readFile(output), run.raster))
        run.raster = {};
    return run;
}

// Edges land differently where two rasterisers hint and smooth each their own
// way; 4 x 4 pixel blocks compare the shapes: the share of blocks whose grey
// level is off by more than 48 of 255, over the page and over the glyph
// where most are off.
struct BlockDifference {
    double share = 1;
    double worstGlyphShare = 1;
};

BlockDifference blockDifference(const gs::Raster& a, const Page& b)
{
    constexpr int kBlock = 4;
    if (a.width != b.width || a.height != b.height || a.rgb.size() != b.rgb.size())
        return {};
    int blocks = 0, off = 0;
    std::vector<int> offInColumn(std::size_t(b.width / kBlock), 0);
    for (int by = 0; by + kBlock <= b.height; by += kBlock)
        for (int bx = 0; bx + kBlock <= b.width; bx += kBlock) {
            double delta = 0;
            for (int y = by; y < by + kBlock; ++y)
                for (int x = bx; x < bx + kBlock; ++x)
                    for (int ch = 0; ch < 3; ++ch) {
                        const std::size_t i = (std::size_t(y) * b.width + x) * 3 + ch;
                        delta += int(a.rgb[i]) - int(b.rgb[i]);
                    }
            delta = std::abs(delta) / (kBlock * kBlock * 3);
            off += delta > 48 ? 1 : 0;
            offInColumn[std::size_t(bx / kBlock)] += delta > 48 ? 1 : 0;
            ++blocks;
        }
    double worst = 0;
    const int rows = b.height / kBlock;
    for (std::size_t g = 0; g < b.glyphStarts.size(); ++g) {
        const int from = b.glyphStarts[g] / kBlock;
        const int to
            = std::max(from + 1, (g + 1 < b.glyphStarts.size() ? b.glyphStarts[g + 1] : b.width) / kBlock);
        int glyphOff = 0;
        for (int column = from; column < to && column < int(offInColumn.size()); ++column)
            glyphOff += offInColumn[std::size_t(column)];
        worst = std::max(worst, double(glyphOff) / ((to - from) * rows));
    }
    return { double(off) / blocks, worst };
}

struct RefereeCase {
    const char* font; // as fontFile() finds it
    Form form;
    friend void PrintTo(const RefereeCase& c, std::ostream* os)
    {
        *os << c.font << (c.form == Form::Type42 ? " Type 42" : " Type 3");
    }
};

} // namespace

class GhostscriptReferee : public ::testing::TestWithParam<RefereeCase> { };

TEST_P(GhostscriptReferee, DrawsTheEmbeddedFontAsFreeTypeDoes)
{
    const RefereeCase& param = GetParam();
    const std::filesystem::path path = fontFile(param.font);
    if (path.empty())
        GTEST_SKIP() << param.font << " is not installed";
    auto face = systemFontSystem().open(path, 0);
    ASSERT_TRUE(face);
    const Page reference = freeTypePage(*face, kRefereeText);
    // A name no interpreter has a font for, so nothing else can stand in.
    const std::string name = "ZavoraRefereeFont";
    const Conversion c = convert(param.form, readBytes(path), name);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.messages, std::vector<std::string> {});

    const std::string tag = std::string(param.form == Form::Type42 ? "t42-" : "t3-") + path.stem().string();
    const auto embedded = renderAlone(refereeDocument(reference, c.text, name), tag);
    ASSERT_TRUE(embedded.ok()) << embedded.messages;
    ASSERT_EQ(embedded.raster.width, reference.width);
    ASSERT_EQ(embedded.raster.height, reference.height);
    const BlockDifference difference = blockDifference(embedded.raster, reference);
    EXPECT_LT(difference.share, 0.03);
    // One glyph drawn wrong (a component left unturned) shows here first.
    EXPECT_LT(difference.worstGlyphShare, 0.25);

    // Without the font program the page must come out otherwise (or not at all).
    const auto missing = renderAlone(refereeDocument(reference, "", name), tag + "-missing");
    if (missing.raster.rgb.size() == reference.rgb.size()) {
        const BlockDifference d = blockDifference(missing.raster, reference);
        EXPECT_GT(d.share, 0.1);
    }
}

INSTANTIATE_TEST_SUITE_P(Fonts, GhostscriptReferee,
    ::testing::Values(RefereeCase { "DejaVu Sans", Form::Type42 }, RefereeCase { "DejaVu Sans", Form::Type3 },
        RefereeCase { "Liberation Serif", Form::Type42 }, RefereeCase { "Liberation Serif", Form::Type3 },
        RefereeCase { "Tuffy.ttf", Form::Type42 }, RefereeCase { "Tuffy.ttf", Form::Type3 }));

// TrueType fills non-zero: where two contours of one glyph overlap, there is ink.
TEST(GhostscriptReferee, OverlappingContoursStayInk)
{
    // Type 42 glyphs are filled by the interpreter's own TrueType rasteriser;
    // Type 3 procedures fill as the converter writes them.
    const Conversion c = convert(Form::Type3, fontWith([](SfntBuilder& f) {
        f.add(simple("x", { outerSquare(0, 0, 600, 600), outerSquare(300, 300, 900, 900) }));
    }),
        "ZavoraOverlapFont");
    ASSERT_TRUE(c.ok);
    const auto run = renderAlone("%!PS\r\n<< /PageSize [120 120] >> setpagedevice\r\n" + c.text
            + "/ZavoraOverlapFont findfont 100 scalefont setfont 10 10 moveto /x glyphshow showpage\r\n",
        "overlap-t3");
    ASSERT_TRUE(run.ok()) << run.messages;
    // Device rows run down from the top of the 120-point page.
    EXPECT_TRUE(run.raster.at(25, 95).dark()); // one square only
    EXPECT_TRUE(run.raster.at(55, 65).dark()); // both
    EXPECT_TRUE(run.raster.at(25, 25).white()); // neither
}

// A face of a collection is converted from its own tables, not the file's.
TEST(Collections, AFaceIsConvertedFromItsOwnTables)
{
    const std::vector<Bytes> fonts
        = { readBytes(corpusFile("Vera.ttf")), readBytes(corpusFile("Tuffy.ttf")) };
    // 'ttcf' 1.0 with two faces, each font whole after it, its table offsets
    // counted from the start of the file.
    Bytes ttc = { 't', 't', 'c', 'f', 0, 1, 0, 0, 0, 0, 0, 2 };
    SfntBuilder::put32(ttc, 20);
    SfntBuilder::put32(ttc, std::uint32_t(20 + fonts[0].size()));
    for (Bytes f : fonts) {
        for (int i = 0; i < u16(f, 4); ++i) {
            Bytes offset;
            SfntBuilder::put32(offset, std::uint32_t(ttc.size() + u32(f, 12 + 16 * std::size_t(i) + 8)));
            std::copy(offset.begin(), offset.end(), f.begin() + 12 + 16 * i + 8);
        }
        ttc.insert(ttc.end(), f.begin(), f.end());
    }
    TempFolder folder;
    const std::filesystem::path path = folder.path() / "pair.ttc";
    writeBytes(path, std::string(ttc.begin(), ttc.end()));

    const TrueTypeFont tuffy("Tuffy", "Regular", 0, "TuffyOfThePair", path, 1, systemFontSystem());
    const auto sfnt = tuffy.sfntData();
    ASSERT_TRUE(sfnt);
    for (const char* tag : { "glyf", "hmtx", "name" })
        EXPECT_EQ(tableBytes(*sfnt, tag), tableBytes(fonts[1], tag)) << tag;
    // Each form asked for, under the name the catalogue gives the face.
    for (bool type42 : { true, false }) {
        MemoryOutputStream out;
        ASSERT_TRUE(tuffy.download(out, { type42 }));
        EXPECT_TRUE(
            out.data().starts_with(type42 ? "%!PS-TrueTypeFont-1.0-" : "%!PS-Adobe-3.0 Resource-Font\r\n"));
        EXPECT_NE(out.data().find("\r\n%%Title: Tuffy Regular\r\n"), std::string::npos);
        EXPECT_NE(out.data().find("/FontName /TuffyOfThePair def\r\n"), std::string::npos);
    }
}
