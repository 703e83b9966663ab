#include "output/PostScriptPort.h"

#include "../platform/CommaLocale.h"
#include "PostScriptTestSupport.h"
#include "fonts/AnsiEncoding.h"
#include "model/ImageObject.h"
#include "output/PostScriptProlog.h"
#include "output/Traversal.h"
#include "platform/Reporter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

namespace zavora {
namespace {

using namespace zavora::testing;

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t stop = text.find("\r\n", start);
        if (stop == std::string::npos) {
            lines.push_back(text.substr(start) + "<no CR LF>");
            break;
        }
        lines.push_back(text.substr(start, stop - start));
        start = stop + 2;
    }
    return lines;
}

std::vector<std::string> bodyLines(const std::function<void(PostScriptPort&)>& body)
{
    return splitLines(pageBody(writeDocument<PostScriptPort>(body)));
}

std::size_t countLines(const std::vector<std::string>& lines, const std::string& line)
{
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

bool anyLineEndsWith(const std::vector<std::string>& lines, const std::string& suffix)
{
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
        return l.size() >= suffix.size() && l.compare(l.size() - suffix.size(), suffix.size(), suffix) == 0;
    });
}

TEST(PostScriptPort, CreationDateIsTwentyFourEnglishCharacters)
{
    EXPECT_EQ(creationDateText(fixedTime()), "Sat Dec  5 21:49:31 2026");
    std::tm leap {};
    leap.tm_year = 100;
    leap.tm_mon = 1;
    leap.tm_mday = 29;
    leap.tm_hour = 7;
    leap.tm_wday = 6; // wrong on purpose: the weekday comes from the date
    EXPECT_EQ(creationDateText(leap), "Tue Feb 29 07:00:00 2000");
    std::tm newYear {};
    newYear.tm_year = 99;
    newYear.tm_mon = 11;
    newYear.tm_mday = 31;
    newYear.tm_hour = 23;
    newYear.tm_min = 59;
    newYear.tm_sec = 59;
    EXPECT_EQ(creationDateText(newYear), "Fri Dec 31 23:59:59 1999");
}

TEST(PostScriptPort, HeaderAndTrailerWithoutText)
{
    DocumentInfo info = pageInfo(-3, 4, 250, 300);
    info.title = "plan.zvx";
    info.gridSettings = { 12, 6, 1, 0 };
    const std::string doc = writeDocument<PostScriptPort>([](PostScriptPort&) {}, info);
    const std::vector<std::string> lines = splitLines(doc);
    ASSERT_GT(lines.size(), 20u);
    const std::vector<std::string> head(lines.begin(), lines.begin() + 11);
    EXPECT_EQ(head,
        (std::vector<std::string> { "%!PS-Adobe-3.0 EPSF-3.0", "%%Creator: Zavora Draw, Version 3.6",
            "%%Title: plan.zvx", "%%CreationDate: Sat Dec  5 21:49:31 2026", "%%BoundingBox: -3 4 250 300",
            "%%Orientation: Portrait", "%%EndComments", "%%BeginProlog",
            "%%BeginResource: procset ZavoraDraw_ops", "%%Version: 3.6", lines[10] }));
    EXPECT_EQ(lines[10].rfind("%%Copyright: ", 0), 0u);
    EXPECT_EQ(lines[11], "/ZVXDict 100 dict def");
    EXPECT_EQ(lines[12], "ZVXDict begin");

    // Setup: grid comment, no font lines; page setup ends with the clip.
    EXPECT_NE(doc.find("end\r\n%%EndResource\r\n%%EndProlog\r\n%%BeginSetup\r\n%ZVX g 12 6 1 0\r\n"
                       "ZVXDict begin\r\n%%EndSetup\r\n%%Page: 1 1\r\n%%BeginPageSetup\r\n"
                       "/_ZVX_savepage save def\r\n\r\n"),
        std::string::npos);
    EXPECT_NE(doc.find("/wave true definepattern pop\r\n\r\n"
                       "newpath 0 setlinecap 0 setlinejoin 10 setmiterlimit\r\n"
                       "1 setlinewidth [] 0 setdash\r\n"
                       "-3 4 moveto -3 300 lineto 250 300 lineto 250 4 lineto closepath clip\r\n"
                       "newpath\r\n%%EndPageSetup\r\n%%PageTrailer\r\n_ZVX_savepage restore\r\n"
                       "%%Trailer\r\nend\r\nshowpage\r\n%%EOF\r\n"),
        std::string::npos);
    for (const char* absent : { "%%DocumentFonts", "%%IncludeFont", " RE\r\n" })
        EXPECT_EQ(doc.find(absent), std::string::npos) << absent;
    // Nothing but CR LF ends a line.
    for (std::size_t i = 0; i < doc.size(); ++i) {
        if (doc[i] == '\n') {
            ASSERT_TRUE(i > 0 && doc[i - 1] == '\r') << "bare LF at " << i;
        } else if (doc[i] == '\r') {
            ASSERT_TRUE(i + 1 < doc.size() && doc[i + 1] == '\n') << "bare CR at " << i;
        }
    }
}

TEST(PostScriptPort, UsedFontsInHeaderSetupAndReencoding)
{
    FixedFont times("Times-Roman");
    FixedFont symbol("Symbol", false, 0, true);
    FixedFont arial("ArialMT", true);
    FixedFont longName(std::string(65, 'L'));
    FixedFont spaced("My Font(1)");
    const std::vector<const FontEntry*> fonts { &times, &symbol, &times, &longName, &arial, &spaced };
    const std::string doc = writeDocument<PostScriptPort>([](PostScriptPort&) {}, pageInfo(), fonts);
    EXPECT_NE(doc.find("%%DocumentFonts: Times-Roman\r\n%%+ Symbol\r\n%%+ ArialMT\r\n%%+ My_Font_1_\r\n"
                       "%%Orientation: Portrait\r\n"),
        std::string::npos);
    EXPECT_NE(doc.find("%ZVX g 9 9 0 1\r\n%%IncludeFont: Times-Roman\r\n%%IncludeFont: Symbol\r\n"
                       "%%IncludeFont: ArialMT\r\n%%IncludeFont: My_Font_1_\r\nZVXDict begin\r\n"),
        std::string::npos);
    EXPECT_NE(doc.find("/wave true definepattern pop\r\n\r\n"
                       "WinAnsiEncoding /_Times-Roman /Times-Roman RE\r\n"
                       "SymbolEncoding /_Symbol /Symbol RE\r\n"
                       "WinAnsiEncoding /_ArialMT /ArialMT RE\r\n"
                       "WinAnsiEncoding /_My_Font_1_ /My_Font_1_ RE\r\n\r\n"
                       "newpath 0 setlinecap"),
        std::string::npos);
    EXPECT_EQ(doc.find(std::string(65, 'L')), std::string::npos);

    // With substitution the TrueType font is named by its standard stand-in,
    // once, and the duplicate it makes is dropped.
    FixedFont helvetica("Helvetica");
    const std::string substituted
        = writeDocument<PostScriptPort>([](PostScriptPort&) {}, pageInfo(), { &helvetica, &arial }, true);
    EXPECT_NE(substituted.find("%%DocumentFonts: Helvetica\r\n%%Orientation"), std::string::npos);
}

TEST(PostScriptPort, PaintOperatorsFollowFillAndStroke)
{
    PaintStyle both;
    both.setFillColor(Color::white());
    PaintStyle fillOnly = both;
    fillOnly.setLineInvisible();
    PaintStyle strokeOnly;
    PaintStyle neither;
    neither.setLineInvisible();
    const auto lines = bodyLines([&](PostScriptPort& port) {
        for (const PaintStyle* s : { &both, &fillOnly, &strokeOnly, &neither }) {
            port.rectangle(*s, Matrix {}, 0, 0, 1, 1);
            port.polyline(*s, Matrix {}, { { 0, 0 }, { 1, 1 } }, false, kArrowNone, kArrowNone);
            port.line(*s, Matrix {}, 0, 0, 1, 1, kArrowNone, kArrowNone);
        }
    });
    std::vector<std::string> ops;
    for (const std::string& l : lines) {
        if (l.size() == 1 && std::string("bBfFsSnN").find(l) != std::string::npos)
            ops.push_back(l);
    }
    // A line never fills: S or N only.
    EXPECT_EQ(ops, (std::vector<std::string> { "b", "B", "S", "f", "F", "N", "s", "S", "S", "n", "N", "N" }));
}

TEST(PostScriptPort, EmptyOutlinesWriteNothing)
{
    EXPECT_TRUE(bodyLines([](PostScriptPort& port) {
        port.polyline(PaintStyle {}, Matrix {}, {}, false, kArrowBig, kArrowNone);
        port.curvePath(PaintStyle {}, Matrix {}, {}, true, kArrowNone, kArrowNone);
    }).empty());
}

TEST(PostScriptPort, ArrowheadsFromTheOutlineEnds)
{
    PaintStyle wide;
    wide.setLineWidth(2);
    const Matrix m { 1, 0, 0, 1, 5, 5 };
    const auto lines = bodyLines([&](PostScriptPort& port) {
        port.line(wide, m, 0, 0, 10, 0, kArrowBig, kArrowNone);
        port.polyline(wide, m, { { 0, 0 }, { 3, 4 }, { 8, 4 } }, false, kArrowNone, kArrowSquare);
        // Closed outlines have no ends to put arrows on.
        port.polyline(wide, m, { { 0, 0 }, { 3, 4 }, { 8, 4 } }, true, kArrowBig, kArrowBig);
        port.arc(wide, m, 0, 0, 10, 10, 0, 90, kArrowSmall, kArrowFancy);
    });
    const std::vector<std::string> expectedLine { "2 w", "q", "1 0 0 1 5 5 cm", "0 0 m", "10 0 L", "Q", "S",
        "q", "1 0 0 1 5 5 cm", "10 0 0 0 4 1 Ah", "Q" };
    ASSERT_GE(lines.size(), expectedLine.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 11), expectedLine);
    EXPECT_EQ(countLines(lines, "3 4 8 4 6 2 Ah"), 1u);
    // Four paths and three arrow blocks: the closed polyline has none.
    EXPECT_EQ(countLines(lines, "q"), 7u);
    // The arc's neighbours come from its flattened first and last segments:
    // near the ends of the quarter circle, not its control points.
    std::vector<std::string> ah;
    for (const std::string& l : lines) {
        if (anyLineEndsWith({ l }, " Ah"))
            ah.push_back(l);
    }
    ASSERT_EQ(ah.size(), 4u);
    float px, py, tx, ty;
    int code, end;
    ASSERT_EQ(std::sscanf(ah[2].c_str(), "%g %g %g %g %d %d", &px, &py, &tx, &ty, &code, &end), 6);
    EXPECT_EQ(tx, 10);
    EXPECT_EQ(ty, 0);
    EXPECT_EQ(code, kArrowSmall);
    EXPECT_EQ(end, 1);
    EXPECT_NEAR(px * px + py * py, 100, 1.0); // on the circle
    EXPECT_GT(py, 0.5f);
    EXPECT_LT(py, 5.0f);
    ASSERT_EQ(std::sscanf(ah[3].c_str(), "%g %g %g %g %d %d", &px, &py, &tx, &ty, &code, &end), 6);
    EXPECT_NEAR(tx, 0, 1e-4);
    EXPECT_NEAR(ty, 10, 1e-4);
    EXPECT_EQ(end, 2);
    EXPECT_GT(px, 0.5f);
    EXPECT_LT(px, 5.0f);
}

TEST(PostScriptPort, StringEscapes)
{
    EXPECT_EQ(escapePostScriptString("ab(c)"), "ab\\(c\\)");
    EXPECT_EQ(escapePostScriptString("\xe9t\xe9"), "\\351t\\351");
    EXPECT_EQ(escapePostScriptString("a\\b"), "a\\\\b");
    // Control bytes would otherwise reach the file raw.
    EXPECT_EQ(escapePostScriptString(std::string("\t\0x", 3)), "\\011\\000x");
}

TEST(PostScriptPort, TextLinesParagraphsAndMarkers)
{
    FixedFont font("Helvetica");
    const float box[4] = { 10, 20, 110, 80 };
    auto textLines = [&](const std::string& text, TextAlign align) {
        auto lines = bodyLines([&](PostScriptPort& port) {
            port.text(PaintStyle {}, Matrix {}, text, &font, 10, 12, align, box);
        });
        std::vector<std::string> shown;
        for (const std::string& l : lines) {
            if (!l.empty() && l[0] == '(')
                shown.push_back(l);
        }
        return shown;
    };
    EXPECT_EQ(textLines("one two\nthree\rfour", TextAlign::Justified),
        (std::vector<std::string> { "(one two) t", "(three) Tx", "(\\r) TX", "(four) Tx" }));
    EXPECT_EQ(textLines("one two\nthree\r", TextAlign::Justified),
        (std::vector<std::string> { "(one two) t", "(three) Tx", "(\\r) TX" }));
    EXPECT_EQ(textLines("one\nthree\r\rx(y)", TextAlign::Right),
        (std::vector<std::string> {
            "(one) t", "(three) t", "(\\r) TX", "() t", "(\\r) TX", "(x\\(y\\)) t" }));
    EXPECT_EQ(textLines("", TextAlign::Left), (std::vector<std::string> { "() t" }));
}

TEST(PostScriptPort, TextAnchorAndBox)
{
    FixedFont font("Helvetica"); // ascent 718: 7.18 at size 10
    PaintStyle blue;
    blue.setFillColor({ 0, 0, 100 });
    const float box[4] = { 10, 20, 110, 80 }; // left, bottom, right, top
    const Matrix rotated { 0, 1, -1, 0, 300, 400 };
    const auto lines = bodyLines([&](PostScriptPort& port) {
        port.text(blue, rotated, "x", &font, 10, 12, TextAlign::Centre, box);
        port.text(blue, Matrix {}, "y", &font, 10, 12, TextAlign::Centre, box);
        port.text(blue, Matrix {}, "z", &font, 10, 14, TextAlign::Right, box);
    });
    // Anchor (60, 80 - 7.18) through the linear part (0 1 -1 0): (-72.82, 60).
    EXPECT_EQ(lines,
        (std::vector<std::string> { "1 1 0 0 k", "/_Helvetica 10 12 0 1 z", "[0 1 -1 0 227.2 460] e",
            "50 -52.82 -50 7.18 tbx", "(x) t", "T", "[1 0 0 1 60 72.82] e", "50 -52.82 -50 7.18 tbx", "(y) t",
            "T", "/_Helvetica 10 14 0 2 z", "[1 0 0 1 110 72.82] e", "0 -52.82 -100 7.18 tbx", "(z) t",
            "T" }));
}

TEST(PostScriptPort, ImageRowsRunOnAcrossHexLines)
{
    // 16 x 16 pixels are exactly one read: no padding; rows run on across lines.
    ImageObject square;
    ASSERT_TRUE(square.allocatePixels(16, 16));
    square.setPixel(15, 0, { 1, 2, 3 });
    square.setPixel(0, 1, { 4, 5, 6 });
    const auto squareLines = bodyLines([&](PostScriptPort& port) { port.image(Matrix {}, square); });
    ASSERT_EQ(squareLines.size(), 1u + 22u);
    EXPECT_EQ(squareLines[2], std::string(3 * 6, '0') + "010203" + "040506" + std::string(7 * 6, '0'));
    EXPECT_EQ(squareLines[22].size(), 4u * 6);
}

TEST(PostScriptPort, HostileTextsStayOnTheirLines)
{
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

    // Font names: only characters a PostScript name may hold.
    EXPECT_EQ(postScriptNameText("Bad Name/(x)\n{}[]<>%"), "Bad_Name__x_________");
    EXPECT_EQ(postScriptNameText(""), "_");
    FixedFont badFont("Evil\r\nshowpage (x)");
    const float box[4] = { 0, 0, 10, 10 };
    const std::string withFont = writeDocument<PostScriptPort>(
        [&](PostScriptPort& port) {
            port.text(PaintStyle {}, Matrix {}, "a", &badFont, 10, 12, TextAlign::Left, box);
        },
        pageInfo(), { &badFont });
    EXPECT_NE(withFont.find("%%DocumentFonts: Evil__showpage__x_\r\n"), std::string::npos);
    EXPECT_NE(withFont.find("/_Evil__showpage__x_ 10 12 0 0 z\r\n"), std::string::npos);
    EXPECT_EQ(withFont.find("Evil\r"), std::string::npos);
}

TEST(PostScriptPort, LandscapeOrientationAndRotation)
{
    DocumentInfo info = pageInfo(10, 20, 110, 70);
    info.landscape = true;
    const std::string plain = writeDocument<PostScriptPort>([](PostScriptPort&) {}, info);
    EXPECT_NE(plain.find("%%BoundingBox: 10 20 110 70\r\n%%Orientation: Landscape\r\n"), std::string::npos);
    EXPECT_EQ(plain.find("-90 rotate"), std::string::npos);

    // A port that turns landscape pages (as the EPS port does).
    class TurningPort : public PostScriptPort {
    public:
        using PostScriptPort::PostScriptPort;
        bool rotatesLandscape() const override { return true; }
        void writeOrientation(bool) override { }
    };
    const std::string turned = writeDocument<TurningPort>([](TurningPort&) {}, info);
    EXPECT_NE(turned.find("%%BoundingBox: 10 20 60 120\r\n%%EndComments"), std::string::npos);
    EXPECT_NE(
        turned.find("1 setlinewidth [] 0 setdash\r\n10 20 translate\r\n-90 rotate\r\n-10 -20 translate\r\n"
                    "-100 0 translate\r\n10 20 moveto 10 70 lineto 110 70 lineto 110 20 lineto closepath "
                    "clip\r\n"),
        std::string::npos);

    // The EPS port with a preview paints the box white.
    MemoryOutputStream stream;
    PostScriptPort port(stream);
    port.setClock(fixedTime);
    port.setWhiteBackground(true);
    port.beginPage(pageInfo(), false, nullptr);
    port.endPage(nullptr);
    EXPECT_NE(
        stream.data().find("closepath clip\r\n1 1 1 setrgbcolor fill\r\n%%EndPageSetup"), std::string::npos);
}

TEST(PostScriptPort, EachDocumentStartsFromTheResetState)
{
    PaintStyle red;
    red.setFillColor({ 100, 0, 0 });
    FixedFont font("Helvetica");
    const float box[4] = { 0, 0, 10, 10 };
    auto body = [&](PostScriptPort& port) {
        port.rectangle(red, Matrix {}, 0, 0, 1, 1);
        port.text(red, Matrix {}, "a", &font, 10, 12, TextAlign::Left, box);
    };
    const std::string first = writeDocument<PostScriptPort>(body);
    const std::string second = writeDocument<PostScriptPort>(body);
    EXPECT_EQ(first, second);
    EXPECT_NE(second.find("0 1 1 0 k\r\n"), std::string::npos);
    EXPECT_NE(second.find(" z\r\n"), std::string::npos);
}

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
    ProgramFont resident("Helvetica", false, true);
    ProgramFont type1("URWBookman-Light", false, true);
    ProgramFont trueType("DejaVuSans", true, true);
    ProgramFont broken("Broken", true, false);
    RecordingReporter reporter;
    MemoryOutputStream stream;
    PostScriptPort port(stream);
    port.setFontOptions(false, { true });
    port.setClock(fixedTime);
    port.setDocumentFonts({ &resident, &type1, &trueType, &broken });
    port.beginPage(pageInfo(), true, nullptr);
    port.endPage(nullptr);
    const std::string& doc = stream.data();
    EXPECT_NE(doc.find("%%BeginProlog\r\n%%BeginResource: font URWBookman-Light\r\n"
                       "%!FontProgram URWBookman-Light 42\r\n%%EndResource\r\n"
                       "%%BeginResource: font DejaVuSans\r\n%!FontProgram DejaVuSans 42\r\n%%EndResource\r\n"
                       "%%BeginResource: font Broken\r\n%!FontProgram Broken 42\r\n%%EndResource\r\n"
                       "%%BeginResource: procset ZavoraDraw_ops\r\n"),
        std::string::npos);
    EXPECT_EQ(doc.find("%%IncludeFont"), std::string::npos);
    EXPECT_EQ(reporter.messages(),
        (std::vector<RecordingReporter::Message> { { Reporter::Kind::Error, "Error downloading Broken" } }));

    MemoryOutputStream substituted;
    PostScriptPort port2(substituted);
    port2.setFontOptions(true, { true });
    port2.setDocumentFonts({ &trueType });
    port2.beginPage(pageInfo(), true, nullptr);
    port2.endPage(nullptr);
    EXPECT_EQ(substituted.data().find("%%BeginResource: font"), std::string::npos);
}

TEST(PostScriptPort, EncodingArraysMatchTheCodePages)
{
    const std::string procSet(postScriptProcSet());
    auto arrayNames = [&](const std::string& name) {
        std::size_t start = procSet.find("/" + name + " [");
        std::size_t stop = procSet.find("] def", start);
        std::istringstream in(procSet.substr(start + name.size() + 3, stop - start - name.size() - 3));
        std::map<int, std::string> byCode;
        int code = 0;
        for (std::string token; in >> token;) {
            if (token[0] == '/')
                byCode[code++] = token.substr(1);
            else
                code = std::stoi(token);
        }
        return byCode;
    };
    const auto ansi = arrayNames("WinAnsiEncoding");
    EXPECT_EQ(ansi.at(39), "quotesingle");
    EXPECT_EQ(ansi.at(96), "grave");
    for (int code = 128; code < 256; ++code) {
        const char* expected = ansiGlyphName(static_cast<unsigned char>(code));
        EXPECT_EQ(ansi.at(code), expected ? expected : ".notdef") << code;
    }
    EXPECT_EQ(ansi.size(), 2u + 128u);
    const auto symbol = arrayNames("SymbolEncoding");
    EXPECT_EQ(symbol.begin()->first, 32);
    EXPECT_EQ(symbol.rbegin()->first, 254);
    EXPECT_EQ(symbol.at(97), "alpha");
    EXPECT_EQ(symbol.at(229), "summation");
}

TEST(PostScriptPort, NumbersIgnoreACommaDecimalLocale)
{
    auto body = [](PostScriptPort& port) {
        PaintStyle s;
        s.setFillColor({ 50, 25, 12.5f });
        s.setLineWidth(0.5f);
        port.ellipse(s, Matrix { 0.5f, 0, 0, 1.5f, 2.25f, 3 }, 1.5f, 2.5f, 3.25f, 4.75f);
    };
    const std::string inC = writeDocument<PostScriptPort>(body);
    test::CommaLocale comma;
    if (!comma.active())
        GTEST_SKIP() << test::CommaLocale::kSkipMessage;
    const std::string inComma = writeDocument<PostScriptPort>(body);
    EXPECT_EQ(inComma, inC);
    EXPECT_NE(inComma.find("0.5 0.75 0.875 0 k\r\n0.5 w\r\n3.25 4.75 1.5 2.5 [0.5 0 0 1.5 2.25 3] Ov\r\n"),
        std::string::npos);
}

} // namespace
} // namespace zavora
