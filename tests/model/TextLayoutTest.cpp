#include "model/TextLayout.h"

#include "fonts/FontCatalogue.h"
#include "model/Drawing.h"
#include "model/FontEntry.h"
#include "model/GraphicsKernel.h"
#include "model/TextObject.h"
#include "model/TextSinks.h"
#include "platform/FontSystem.h"

#include "tests/support/SystemFonts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace zavora {
namespace {

namespace fs = std::filesystem;

const fs::path kHelveticaAfm = "/usr/share/fonts/type1/urw-base35/NimbusSans-Regular.afm";

// Advance widths of the printable ASCII characters straight from the AFM file
// (1/1000 of the size), so the expected breaks do not come from our own code.
std::array<int, 128> afmWidths(const fs::path& path)
{
    std::array<int, 128> widths {};
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        int code = -1, width = 0;
        if (std::sscanf(line.c_str(), "C %d ; WX %d ;", &code, &width) == 2 && code >= 32 && code < 127)
            widths[static_cast<std::size_t>(code)] = width;
    }
    return widths;
}

double afmWidth(const std::array<int, 128>& widths, const std::string& s, double size)
{
    long units = 0;
    for (unsigned char c : s)
        units += widths[c];
    return units * size / 1000.0;
}

// Greedy filling of space-separated words: a line takes the next word when
// the line with it is no wider than the frame.
std::vector<std::string> greedyLines(
    const std::array<int, 128>& widths, const std::string& paragraph, double size, double available)
{
    std::istringstream words(paragraph);
    std::vector<std::string> lines;
    std::string word;
    while (words >> word) {
        if (!lines.empty() && afmWidth(widths, lines.back() + " " + word, size) <= available)
            lines.back() += " " + word;
        else
            lines.push_back(word);
    }
    return lines;
}

std::string joined(const std::vector<std::string>& lines, char separator)
{
    std::string all;
    for (const std::string& l : lines)
        all += (all.empty() ? "" : std::string(1, separator)) + l;
    return all;
}

// Logs every placed line and can stop after a given number of lines.
class RecordingSink : public TextLayoutSink {
public:
    struct Entry {
        PlacedLine line;
        bool justified = false;
        std::string text;
    };
    void line(const PlacedLine& l) override { record(l, false); }
    void justifiedLine(const PlacedLine& l) override { record(l, true); }
    bool stopRequested() const override { return stopAfter > 0 && entries.size() >= stopAfter; }
    std::vector<Entry> entries;
    std::size_t stopAfter = 0;

private:
    void record(const PlacedLine& l, bool justified)
    {
        entries.push_back({ l, justified, std::string(l.text) });
    }
};

std::vector<RecordingSink::Entry> lay(const TextObject& text, std::size_t stopAfter = 0)
{
    RecordingSink sink;
    sink.stopAfter = stopAfter;
    sink.layOut(text, TextLayoutSink::kGeometry);
    return sink.entries;
}

const char* const kParagraph = "The quick brown fox jumps over the lazy dog while five boxing wizards jump "
                               "quickly and a wise old owl sat on an oak.";

class TextLayoutTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_fonts = std::make_unique<testfonts::SystemCatalogue>(); }
    static void TearDownTestSuite() { s_fonts.reset(); }
    void SetUp() override
    {
        kernel().reset();
        m_helvetica = s_fonts->catalogue().find("Helvetica");
        if (!m_helvetica || !fs::exists(kHelveticaAfm))
            GTEST_SKIP() << "the standard fonts (fonts-urw-base35) are not installed";
        m_widths = afmWidths(kHelveticaAfm);
    }

    std::unique_ptr<TextObject> text(const std::string& s, float frameWidth,
        TextAlign align = TextAlign::Left, float size = 12, float leading = 14)
    {
        auto t = std::make_unique<TextObject>(s, m_helvetica, size, leading, align);
        t->setFrame({ 0, 0 }, { frameWidth, -144 });
        return t;
    }

    double height(int lines, float size = 12, float leading = 14) const
    {
        return (lines - 1) * leading + m_helvetica->ascent(size) - m_helvetica->descent(size);
    }

    static std::unique_ptr<testfonts::SystemCatalogue> s_fonts;
    const FontEntry* m_helvetica = nullptr;
    std::array<int, 128> m_widths {};
};

std::unique_ptr<testfonts::SystemCatalogue> TextLayoutTest::s_fonts;

TEST_F(TextLayoutTest, LoadedCatalogueIsTheCurrentLookupAndGivesHelvetica)
{
    EXPECT_EQ(defaultTextFont(), m_helvetica);
    {
        FontCatalogue other(systemFontSystem(), s_fonts->settings(), s_fonts->folder() / "atm.ini");
        other.type1().setStandardFolders({});
        other.load();
        EXPECT_EQ(FontLookup::current(), &other);
    }
    EXPECT_EQ(FontLookup::current(), nullptr); // a destroyed catalogue is not left behind
    FontLookup::setCurrent(&s_fonts->catalogue());
}

TEST_F(TextLayoutTest, ReflowBreaksWhereTheAfmWidthsSay)
{
    for (float width : { 60.f, 100.f, 137.f, 250.f }) {
        SCOPED_TRACE(width);
        auto t = text(kParagraph, width);
        const std::vector<std::string> lines = greedyLines(m_widths, kParagraph, 12, width);
        EXPECT_EQ(t->text(), joined(lines, '\n'));
        const Rect frame = t->frameRect();
        EXPECT_NEAR(frame.bottom, -height(static_cast<int>(lines.size())), 1e-3);
        EXPECT_FLOAT_EQ(frame.right, width); // every line fits: the frame keeps its width
        EXPECT_EQ(t->boundingBox(), t->frameRect()); // the box follows the frame

        // A new size and leading reflow it.
        t->setLeading(20);
        t->setFontAndSize(m_helvetica, 18);
        const std::vector<std::string> larger = greedyLines(m_widths, kParagraph, 18, width);
        EXPECT_EQ(t->text(), joined(larger, '\n'));
        EXPECT_NEAR(t->frameRect().bottom, -height(int(larger.size()), 18, 20), 1e-3);
    }
}

// A frame exactly as wide as a line: the width a float frame can hold (the
// nearest float not above the exact AFM width) still takes the whole line.
TEST_F(TextLayoutTest, LineExactlyAsWideAsTheFrameStaysWhole)
{
    const struct {
        std::string text, fitted;
        float size;
        float narrower;
        std::string expected;
    } cases[] = {
        { "Exactly as wide", "Exactly as wide", 12, 0, "Exactly as wide" },
        { "Exactly as wide x", "Exactly as wide", 12, 0, "Exactly as wide\nx" },
        { "Exactly as wide", "Exactly as wide", 10, 0, "Exactly as wide" },
        { "Exactly as wide", "Exactly as wide", 12, 0.01f, "Exactly as\nwide" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " at " + std::to_string(c.size));
        const double exact = afmWidth(m_widths, c.fitted, c.size);
        float width = static_cast<float>(exact);
        if (width > exact)
            width = std::nextafter(width, 0.0f);
        auto t = text(c.text, width - c.narrower, TextAlign::Left, c.size);
        EXPECT_EQ(t->text(), c.expected);
        EXPECT_FLOAT_EQ(t->frameRect().right, width - c.narrower);
    }
}

TEST_F(TextLayoutTest, NarrowingTheFrameMovesOnlySoftBreaks)
{
    const std::string original
        = std::string(kParagraph) + "\r\rSecond paragraph with a few more words in it.\r";
    auto t = text(original, 200);
    const std::string wide = t->text();
    t->setFrame({ 0, 0 }, { 90, -10 });
    const std::string narrow = t->text();
    EXPECT_NE(narrow, wide);
    for (std::string s : { wide, narrow }) {
        std::replace(s.begin(), s.end(), '\n', ' '); // soft breaks only ever replace spaces
        EXPECT_EQ(s, original);
    }
    // Each paragraph is filled on its own, as if it stood alone.
    const std::string second = "Second paragraph with a few more words in it.";
    EXPECT_NE(narrow.find(joined(greedyLines(m_widths, second, 12, 90), '\n') + "\r"), std::string::npos);
    // Widening again restores the wide breaks.
    t->setFrame({ 0, 0 }, { 200, -10 });
    EXPECT_EQ(t->text(), wide);
}

TEST_F(TextLayoutTest, LongStretchWithoutBreaksIsCutInto511CharacterLines)
{
    auto t = text(std::string(1200, 'x'), 100);
    const auto lines = lay(*t);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lay(*t, 2).size(), 2u); // a sink's stop request ends the walk after that line
    EXPECT_EQ(lines[1].text.size(), 511u);
    EXPECT_EQ(lines[2].line.start, 1022u);
    EXPECT_NEAR(t->frameRect().right, afmWidth(m_widths, std::string(511, 'x'), 12), 0.01);

    // A break right after a full stretch ends that line: no empty line between.
    t->setText(std::string(511, 'x') + "\ry");
    const auto two = lay(*t);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[1].line.start, 512u);
}

TEST_F(TextLayoutTest, AlignmentPlacesLinesAndJustifiedLastLinesStayFlushLeft)
{
    const std::string s = std::string(kParagraph) + "\rOverlongwordwithoutanyspacesatall\rEnd.";
    auto t = text(s, 120, TextAlign::Justified);
    const auto lines = lay(*t);
    ASSERT_GT(lines.size(), 5u);
    int justified = 0;
    for (const auto& l : lines) {
        SCOPED_TRACE(l.text);
        const bool paragraphEnd = l.line.last;
        const bool hasSpace = l.text.find(' ') != std::string::npos;
        EXPECT_EQ(l.justified, hasSpace && !paragraphEnd);
        EXPECT_FLOAT_EQ(l.line.x, 0);
        justified += l.justified;
        if (l.justified) {
            EXPECT_EQ(l.line.spaces, std::count(l.text.begin(), l.text.end(), ' '));
            EXPECT_FLOAT_EQ(l.line.frameWidth, t->frameRect().width());
        }
    }
    EXPECT_GT(justified, 2); // centred and right lines are the cross-renders' (all four alignments)
}

TEST_F(TextLayoutTest, CharacterFromPointAndPointFromCharacterInvertEachOther)
{
    auto t = text(std::string(kParagraph) + "\rA second, shorter paragraph.", 130, TextAlign::Justified);
    t->translate(37, 410);
    const std::string all = t->text();
    ASSERT_GT(std::count(all.begin(), all.end(), '\n'), 3);
    for (std::size_t i = 0; i <= all.size(); ++i) {
        const Point p = PointFromCharSink::instance().pointAt(*t, i);
        ASSERT_TRUE(PointFromCharSink::instance().found()) << i;
        EXPECT_EQ(CharFromPointSink::instance().charAt(*t, p), i)
            << "index " << i << " at " << p.x << "," << p.y;
    }
    // A justified line's end reaches the frame's right edge.
    const std::size_t firstBreak = all.find('\n');
    const Point end = PointFromCharSink::instance().pointAt(*t, firstBreak);
    EXPECT_NEAR(end.x, 37 + 130, 1e-3);
    // Below every line: the end of the text.
    EXPECT_EQ(CharFromPointSink::instance().charAt(*t, { 50, -1000 }), all.size());
}

TEST_F(TextLayoutTest, HitTestsUseTheLinesNotTheFrame)
{
    Drawing d;
    auto owned = text("Hello there\rx", 200);
    owned->translate(100, 500);
    TextObject* t = static_cast<TextObject*>(d.append(std::move(owned)));
    const float baseline = 500 - static_cast<float>(m_helvetica->ascent(12));

    // On the first baseline, inside the glyphs, beside the short line; the pick
    // options reach the object's line, interior and box tests.
    const Rect onBaseline { 110, baseline - 1, 112, baseline + 1 };
    const Rect inGlyphs { 110, baseline + 4, 112, baseline + 6 };
    const Rect besideShortLine { 150, baseline - 15, 152, baseline - 13 };
    PickOptions outline;
    EXPECT_EQ(d.pick(onBaseline, outline), (std::vector<DrawObject*> { t }));
    EXPECT_TRUE(d.pick(inGlyphs, outline).empty());
    PickOptions interior;
    interior.outline = false;
    interior.interior = true;
    EXPECT_EQ(d.pick(inGlyphs, interior), (std::vector<DrawObject*> { t }));
    EXPECT_TRUE(d.pick(besideShortLine, interior).empty());
    interior.textBox = true;
    EXPECT_EQ(d.pick(besideShortLine, interior), (std::vector<DrawObject*> { t }));
    EXPECT_EQ(d.textObjectAt(onBaseline), t);

    // Under a rotation the lines turn with the object.
    t->rotate(100, 500, 90);
    const float x = 100 + (500 - baseline);
    EXPECT_TRUE(t->touchesRect(x - 1, 520, x + 1, 522));
    EXPECT_FALSE(t->touchesRect(x - 7, 520, x - 5, 522));
    EXPECT_TRUE(t->linesContain(x - 5, 521));
}

} // namespace
} // namespace zavora
