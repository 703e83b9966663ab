#include "output/PostScriptPort.h"

#include "output/PdfPort.h"

#include "PostScriptTestSupport.h"
#include "model/ImageObject.h"
#include "platform/Reporter.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zavora {
namespace {

using namespace zavora::testing;

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t stop = std::min(text.find("\r\n", start), text.size());
        lines.push_back(text.substr(start, stop - start) + (stop == text.size() ? "<no CR LF>" : ""));
        start = stop + 2;
    }
    return lines;
}

std::vector<std::string> bodyLines(const std::function<void(PostScriptPort&)>& body)
{
    return splitLines(pageBody(writeDocument<PostScriptPort>(body)));
}

// The fixed clock's date is in every golden file; the weekday comes from the date.
TEST(PostScriptPort, CreationDateIsTwentyFourEnglishCharacters)
{
    EXPECT_EQ(creationDateText({ .tm_hour = 7, .tm_mday = 29, .tm_mon = 1, .tm_year = 100, .tm_wday = 6 }),
        "Tue Feb 29 07:00:00 2000");
}

TEST(PostScriptPort, UsedFontsInHeaderSetupAndReencoding)
{
    FixedFont times("Times-Roman"), symbol("Symbol", false, 0, true), arial("ArialMT", true),
        longName(std::string(65, 'L')), spaced("My Font(1)"), helvetica("Helvetica");
    const std::vector<const FontEntry*> fonts { &times, &symbol, &times, &longName, &arial, &spaced };
    const std::string doc = writeDocument<PostScriptPort>([](PostScriptPort&) {}, pageInfo(), fonts);
    EXPECT_NE(doc.find("%%DocumentFonts: Times-Roman\r\n%%+ Symbol\r\n%%+ ArialMT\r\n%%+ My_Font_1_\r\n"
                       "%%Orientation: Portrait\r\n"),
        std::string::npos);
    // The include and reencoding lines come from the same list; the golden font file pins their form.
    EXPECT_NE(doc.find("WinAnsiEncoding /_My_Font_1_ /My_Font_1_ RE\r\n\r\nnewpath"), std::string::npos);
    EXPECT_EQ(doc.find(std::string(65, 'L')), std::string::npos);

    // With substitution the TrueType font is named by its standard stand-in,
    // in the text too, once, and the duplicate it makes is dropped.
    const float box[4] = { 0, 0, 10, 10 };
    const std::string substituted = writeDocument<PostScriptPort>(
        [&](PostScriptPort& port) {
            port.text(PaintStyle {}, Matrix {}, "a", &arial, 10, 12, TextAlign::Left, box);
        },
        pageInfo(), { &helvetica, &arial }, true);
    EXPECT_NE(substituted.find("%%DocumentFonts: Helvetica\r\n%%Orientation"), std::string::npos);
    EXPECT_NE(substituted.find("\r\n/_Helvetica 10 12 0 0 z\r\n"), std::string::npos);
}

TEST(PostScriptPort, EmptyOutlinesWriteNothingAndClosedOnesNoArrowheads)
{
    EXPECT_TRUE(bodyLines([](PostScriptPort& port) {
        port.polyline(PaintStyle {}, Matrix {}, {}, false, kArrowBig, kArrowNone);
        port.curvePath(PaintStyle {}, Matrix {}, {}, true, kArrowNone, kArrowNone);
    }).empty());
    const auto closed = bodyLines([](PostScriptPort& port) {
        port.polyline(PaintStyle {}, Matrix {}, { { 0, 0 }, { 3, 4 }, { 8, 4 } }, true, kArrowBig, kArrowBig);
    });
    EXPECT_TRUE(std::none_of(closed.begin(), closed.end(),
        [](const std::string& l) { return l.find(" Ah") != std::string::npos; }));
}

TEST(PostScriptPort, HostileTextsStayOnTheirLines)
{
    // Control bytes would otherwise reach the file raw.
    EXPECT_EQ(escapePostScriptString(std::string("(\t\0\\)", 5)), "\\(\\011\\000\\\\\\)");
    // Control characters in a URL are percent-encoded, spaces at its ends too.
    EXPECT_EQ(urlLineText(" a b\r\nc\x7f "), "%20a b%0D%0Ac%7F%20");
    const std::string longUrl = "http://example.com/" + std::string(600, 'x') + "\xc3\xa9" + "%41" + "end";
    DocumentInfo info = pageInfo();
    info.title = "bad\r\n%%EOF\ttitle";
    const std::string doc = writeDocument<ZvxFilePort>(
        [&](ZvxFilePort& port) {
            port.endLink("evil\r\nshowpage\r\n%%EOF");
            port.endLink(longUrl);
        },
        info);
    EXPECT_NE(doc.find("%%Title: bad??%%EOF?title\r\n"), std::string::npos);
    const auto lines = splitLines(pageBody(doc));
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "%ZVX u evil%0D%0Ashowpage%0D%0A%%EOF");
    // The long URL is cut into lines the reader can take whole; nothing is lost.
    std::string joined = lines[1].substr(7);
    EXPECT_EQ(lines[1].rfind("%ZVX u ", 0), 0u);
    for (std::size_t i = 2; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].rfind("%ZVX+ ", 0), 0u) << lines[i];
        joined += lines[i].substr(6);
    }
    for (const std::string& l : lines)
        EXPECT_LE(l.size(), 255u);
    EXPECT_EQ(joined, longUrl);

    // Font names, in the header and the text alike: only characters a PostScript name may hold.
    EXPECT_EQ(postScriptNameText("Bad Name/(x)\n{}[]<>%"), "Bad_Name__x_________");
    EXPECT_EQ(postScriptNameText(""), "_");
}

// Resident fonts are not downloaded, nor TrueType fonts a standard one
// stands in for; a failed download is reported.
TEST(PostScriptPort, FontResourcesSkipResidentAndSubstitutedFonts)
{
    class ProgramFont : public FixedFont {
    public:
        ProgramFont(std::string name, bool trueType, bool works)
            : FixedFont(std::move(name), trueType)
            , m_works(works)
        { }
        bool download(OutputStream& stream, const DownloadOptions& options) const override
        {
            stream.printf("%%!FontProgram %s %s\r\n", postScriptName().c_str(), options.type42 ? "42" : "3");
            return m_works;
        }

    private:
        bool m_works;
    };
    ProgramFont resident("Helvetica", false, true), type1("URWBookman-Light", false, true),
        trueType("DejaVuSans", true, true), broken("Broken", true, false);
    for (bool substitute : { false, true }) {
        RecordingReporter reporter;
        MemoryOutputStream stream;
        PostScriptPort port(stream);
        port.setFontOptions(substitute, { true });
        port.setDocumentFonts({ &resident, &type1, &trueType, &broken });
        port.beginPage(pageInfo(), true, nullptr);
        port.endPage(nullptr);
        std::string prolog = "%%BeginProlog\r\n%%BeginResource: font URWBookman-Light\r\n"
                             "%!FontProgram URWBookman-Light 42\r\n%%EndResource\r\n";
        if (!substitute)
            prolog += "%%BeginResource: font DejaVuSans\r\n%!FontProgram DejaVuSans 42\r\n%%EndResource\r\n"
                      "%%BeginResource: font Broken\r\n%!FontProgram Broken 42\r\n%%EndResource\r\n";
        prolog += "%%BeginResource: procset ZavoraDraw_ops\r\n";
        EXPECT_NE(stream.data().find(prolog), std::string::npos) << substitute;
        EXPECT_EQ(stream.data().find("%%IncludeFont"), std::string::npos);
        EXPECT_EQ(reporter.messages().size(), substitute ? 0u : 1u);
        EXPECT_EQ(reporter.last(Reporter::Kind::Error), substitute ? "" : "Error downloading Broken");
    }
}

template <class Port>
std::string lineDocument(const PaintStyle& style)
{
    return writeDocument<Port>(
        [&](Port& port) { port.line(style, Matrix {}, 10, 10, 190, 10, kArrowNone, kArrowNone); });
}

// A line is stroked or left unpainted, never filled, with each format's own
// operators, whatever fill its style has.
TEST(IllustratorPort, LinesAreStrokedOrLeftUnpaintedNeverFilled)
{
    const PaintStyle stroked = filled(Color::black()), unstroked = fillOnly(Color::black());
    const struct {
        std::string document, ending;
    } cases[] = {
        { lineDocument<IllustratorPort>(stroked), "190 10 L\r\nS\r\n" },
        { lineDocument<IllustratorPort>(unstroked), "190 10 L\r\nN\r\n" },
        { lineDocument<PdfPort>(stroked), "190 10 l\r\nS\r\n" },
        { lineDocument<PdfPort>(unstroked), "190 10 l\r\nn\r\n" },
    };
    for (const auto& c : cases)
        EXPECT_NE(c.document.find(c.ending), std::string::npos) << c.ending;
}

// Lines longer than 511 bytes are cut after the last space that fits, or at
// 511 bytes inside a longer word; nothing is lost and every piece is shown
// as a line of its own.
TEST(PdfPort, LongTextLinesAreCutAtWords)
{
    const std::string words = std::string(300, 'a') + " " + std::string(300, 'b') + " c";
    const struct {
        std::string line;
        std::vector<std::size_t> pieces; // lengths
    } cases[] = {
        { std::string(511, 'x'), { 511 } },
        { std::string(1100, 'x'), { 511, 511, 78 } },
        { words, { 301, 302 } },
        { std::string(510, 'x') + " " + std::string(5, 'y'), { 511, 5 } },
        { "", { 0 } },
    };
    for (const auto& c : cases) {
        std::vector<std::size_t> lengths;
        std::string joined;
        for (std::string_view piece : cutLongLine(c.line, 511)) {
            lengths.push_back(piece.size());
            joined += piece;
        }
        EXPECT_EQ(lengths, c.pieces) << c.line.size();
        EXPECT_EQ(joined, c.line);
    }

    FixedFont helvetica("Helvetica");
    const float box[4] = { 0, 0, 100, 100 };
    const std::string document = writeDocument<PdfPort>(
        [&](PdfPort& port) {
            port.text(filled(Color::black()), Matrix {}, words + "\rnext", &helvetica, 10, 12,
                TextAlign::Justified, box);
        },
        pageInfo(), { &helvetica });
    // The cut piece is stretched like any line that does not end its paragraph.
    EXPECT_NE(document.find("(" + std::string(300, 'a') + " ) Tj"), std::string::npos);
    EXPECT_NE(document.find(" 0 (" + std::string(300, 'b') + " c) \"\r\n"), std::string::npos);
}

} // namespace
} // namespace zavora
