// Byte-exact golden files of the writers, one per edge case.
// ZAVORA_REGENERATE_GOLDEN=1 rewrites them (review the diff).

#include "output/PostScriptPort.h"

#include "output/IllustratorPort.h"
#include "output/PdfPort.h"

#include "PostScriptTestSupport.h"
#include "model/ImageObject.h"

#include <gtest/gtest.h>

namespace zavora {
namespace {

using namespace zavora::testing;

std::string writeAs(const std::string& port, const std::function<void(PostScriptPort&)>& body,
    const DocumentInfo& info, const std::vector<const FontEntry*>& fonts)
{
    if (port == "zvx")
        return writeDocument<ZvxFilePort>(body, info, fonts);
    if (port == "ps")
        return writeDocument<PostScriptPort>(body, info, fonts);
    if (port == "ai")
        return writeDocument<IllustratorPort>(body, info, fonts);
    return writeDocument<PdfPort>(body, info, fonts);
}

TEST(PostScriptGolden, EveryWriterMatchesItsFiles)
{
    FixedFont helvetica("Helvetica"), bold("Helvetica-Bold"), times("Times-Roman"),
        symbol("Symbol", false, 0, true);
    testfonts::FixedFont timesTrueType("TimesNewRomanPS-BoldItalicMT",
        { .trueType = true, .style = FontEntry::kBold | FontEntry::kItalic, .face = "Times New Roman" });
    testfonts::FixedFont odd("Odd", { .trueType = true, .face = "Odd (Sans)#2" });
    for (testfonts::FixedFont* font : { &timesTrueType, &odd }) {
        font->m_metrics.firstChar = 32;
        font->m_metrics.lastChar = 50;
    }
    PaintStyle hatched = filled({ 100, 50, 0 }, 3), hatchedFill = filled({ 100, 50, 0 }), dashed, dotted,
               wide, none, stroked;
    hatched.setFillPattern(2);
    hatched.setLineColor({ 0, 0, 100 });
    hatchedFill.setFillPattern(4);
    dashed.setLineWidth(5);
    dashed.setDash(0);
    dotted.setDash(1);
    wide.setLineWidth(4);
    none.setLineInvisible();
    stroked.setLineColor({ 0, 0, 100 });
    const PaintStyle black = filled(Color::black()), blue = filled({ 0, 0, 100 }),
                     green = filled({ 0, 100, 0 }), red = filled({ 100, 0, 0 }, 2),
                     ring = filled({ 100, 0, 100 });
    const Matrix turned { 0.7071f, 0.7071f, -0.7071f, 0.7071f, 100, 20 };
    NodeList nodes(3);
    nodes[0] = { 20, 20, 10, 30, 30, 10, kCornerNode };
    nodes[1] = { 100, 20, 80, 0, 120, 40, 0 };
    nodes[2] = { 60, 120, 100, 120, 20, 120, kCornerNode };
    const PointList triangle { { 10, 10 }, { 60, 10 }, { 35, 50 } };
    ImageObject pixel, pair;
    ASSERT_TRUE(pixel.allocatePixels(1, 1) && pair.allocatePixels(2, 1));
    pixel.setPixel(0, 0, { 0x12, 0xab, 0xff });
    pair.setPixel(0, 0, { 0x12, 0xab, 0xff });
    pair.setPixel(1, 0, { 0xff, 0, 0 });
    const float box[4] = { 10, 60, 190, 140 }, paragraph[4] = { 10, 20, 190, 140 },
                small[4] = { 10, 0, 100, 18 }, top[4] = { 10, 100, 190, 140 },
                heading[4] = { 20, 100, 280, 190 }, lower[4] = { 20, 20, 280, 90 };
    DocumentInfo landscape = pageInfo(5, 5, 300, 200);
    landscape.landscape = true;
    landscape.title = "letters.ps";
    auto link = [](PostScriptPort& port) {
        port.beginLink("http://example.com/page?a=1&b=(2)");
        port.rectangle(filled({ 100, 100, 0 }), Matrix {}, 10, 10, 60, 60);
        port.endLink("http://example.com/page?a=1&b=(2)");
        port.ellipse(PaintStyle {}, Matrix {}, 120, 80, 30, 30);
    };
    const struct {
        const char* port;
        const char* name;
        std::function<void(PostScriptPort&)> body;
        std::vector<const FontEntry*> fonts = {};
        DocumentInfo info = pageInfo();
    } cases[] = {
        { "zvx", "style_cache",
            [&](PostScriptPort& port) {
                port.rectangle(PaintStyle {}, Matrix {}, 10, 10, 50, 40);
                port.rectangle(hatched, Matrix {}, 60, 10, 100, 40);
                port.rectangle(hatched, Matrix {}, 110, 10, 150, 40);
                port.ellipse(hatched, Matrix {}, 100, 100, 30, 20);
                port.rectangle(filled(Color::white()), Matrix {}, 10, 60, 50, 90);
            } },
        { "zvx", "dashed_width",
            [&](PostScriptPort& port) {
                port.line(dashed, Matrix {}, 10, 10, 190, 10, kArrowNone, kArrowNone);
                port.line(PaintStyle {}, Matrix {}, 10, 30, 190, 30, kArrowNone, kArrowNone);
                port.line(wide, Matrix {}, 10, 50, 190, 50, kArrowNone, kArrowNone);
                port.line(dashed, Matrix {}, 10, 70, 190, 70, kArrowBig, kArrowNone);
            } },
        { "zvx", "shapes",
            [&](PostScriptPort& port) {
                port.rectangle(green, Matrix {}, 10, 10, 40, 30);
                port.rectangle(fillOnly({ 0, 100, 0 }), turned, 0, 0, 30, 20);
                port.ellipse(PaintStyle {}, Matrix {}, 60, 100, 25, 15);
                port.ellipse(none, turned, 0, 50, 10, 10);
                port.roundRectangle(green, Matrix {}, 120, 100, 190, 140, 12, 8);
                port.arc(PaintStyle {}, Matrix { 1, 0, 0, 1, 0, 5 }, 150, 60, 30, 20, 30, 270, kArrowSmall,
                    kArrowFancy);
            } },
        { "zvx", "polygon_closed", // polygons repeat their first point
            [&](PostScriptPort& port) {
                port.polyline(filled({ 100, 0, 0 }), Matrix {},
                    { { 10, 10 }, { 90, 10 }, { 90, 60 }, { 10, 60 } }, true, kArrowNone, kArrowNone);
                port.polyline(PaintStyle {}, Matrix { 1, 0, 0, 1, 20, 70 },
                    { { 0, 0 }, { 40, 30 }, { 80, 0 } }, false, kArrowCircle, kArrowSquare);
            } },
        { "zvx", "curve_flags", // the curve operator from the node flags
            [&](PostScriptPort& port) {
                port.curvePath(filled({ 80, 80, 100 }), Matrix {}, nodes, true, kArrowNone, kArrowNone);
                port.curvePath(
                    PaintStyle {}, Matrix { 1, 0, 0, 1, 60, 0 }, nodes, false, kArrowBig, kArrowNone);
            } },
        { "zvx", "text_escape",
            [&](PostScriptPort& port) {
                port.text(black, Matrix {}, "ab(c) \xe9t\xe9 back\\slash", &helvetica, 18, 20,
                    TextAlign::Left, box);
            },
            { &helvetica } },
        { "zvx", "justified",
            [&](PostScriptPort& port) {
                port.text(black, Matrix {}, "first line of\nthe paragraph\rnext one", &times, 14, 16,
                    TextAlign::Justified, paragraph);
                port.text(blue, Matrix {}, "abg", &symbol, 14, 16, TextAlign::Centre, small);
            },
            { &times, &symbol } },
        { "zvx", "image_1x1",
            [&](PostScriptPort& port) {
                port.image(Matrix { 50, 0, 0, 50, 20, 20 }, pixel);
            } },
        { "zvx", "matrix_rule",
            [&](PostScriptPort& port) {
                port.rectangle(PaintStyle {},
                    Matrix { 1.000049f, 0.00009f, -0.00005f, 0.99995f, 12.34567f, 0.000011f }, 10, 10, 60,
                    40);
                port.line(PaintStyle {}, Matrix { 0.33333f, -0.00011f, 0.00011f, 3.14159f, 100, 20 }, 0, 0,
                    100, 10, kArrowNone, kArrowNone);
            } },
        { "zvx", "groups_compound",
            [&](PostScriptPort& port) {
                port.beginGroup();
                port.beginCompoundPath();
                port.ellipse(ring, Matrix {}, 60, 75, 50, 50);
                port.ellipse(ring, Matrix {}, 60, 75, 25, 25);
                port.endCompoundPath();
                port.beginLink("mailto:someone@example.com");
                port.rectangle(PaintStyle {}, Matrix {}, 130, 20, 190, 130);
                port.endLink("mailto:someone@example.com");
                port.endGroup();
            } },
        // The link line only in the native file.
        { "zvx", "url", link },
        { "ps", "url", link },
        { "ps", "fonts",
            [&](PostScriptPort& port) {
                port.text(black, Matrix {}, "Heading", &bold, 24, 28, TextAlign::Centre, heading);
                port.text(black, Matrix {}, "Text in the same font", &bold, 24, 28, TextAlign::Centre, lower);
                port.text(black, Matrix {}, "p", &symbol, 24, 28, TextAlign::Right, lower);
            },
            { &bold, &symbol }, landscape },
        // What the Illustrator file cannot hold: the image is left out, the
        // hatch becomes its plain fill, justified text is set flush left. The
        // turned rectangle is five page-space points; the arrowhead a filled outline.
        { "ai", "dropped",
            [&](PostScriptPort& port) {
                port.rectangle(
                    filled({ 0, 0, 100 }), Matrix { 0.866f, 0.5f, -0.5f, 0.866f, 60, 10 }, 0, 0, 40, 20);
                port.image(Matrix { 50, 0, 0, 50, 20, 20 }, pixel);
                port.rectangle(hatchedFill, Matrix {}, 120, 10, 180, 50);
                port.line(dotted, Matrix {}, 10, 80, 190, 80, kArrowNone, kArrowBig);
                port.ellipse(PaintStyle {}, Matrix { 1, 0, 0, 1, 5, 5 }, 100, 60, 20, 10);
                port.text(black, Matrix {}, "justified (text)\nnext\rlast", &times, 12, 14,
                    TextAlign::Justified, top);
            },
            { &times } },
        // No text and no image: empty font and image dictionaries. Closed, open
        // and stroke-only outlines; a compound path paints once, in its last
        // child's style; a line's arrowhead.
        { "pdf", "paths",
            [&](PostScriptPort& port) {
                port.polyline(red, Matrix {}, triangle, true, kArrowNone, kArrowNone);
                port.polyline(red, Matrix { 1, 0, 0, 1, 60, 0 }, triangle, false, kArrowNone, kArrowNone);
                port.rectangle(stroked, Matrix { 0.866f, 0.5f, -0.5f, 0.866f, 150, 10 }, 0, 0, 30, 20);
                port.beginCompoundPath();
                port.rectangle(green, Matrix {}, 10, 70, 90, 140);
                port.ellipse(fillOnly({ 0, 50, 0 }), Matrix {}, 50, 105, 20, 20);
                port.endCompoundPath();
                port.line(stroked, Matrix {}, 110, 80, 190, 80, kArrowNone, kArrowBig);
            } },
        // Escapes, the four alignments, a TrueType BaseFont with its style
        // suffix, a name PDF must escape, and an image with its length object.
        { "pdf", "text",
            [&](PostScriptPort& port) {
                port.text(black, Matrix {}, "ab(c) \xe9t\xe9 back\\slash", &helvetica, 18, 20,
                    TextAlign::Left, box);
                port.text(blue, Matrix {}, "one two three\nfour five\rsix", &timesTrueType, 12, 14,
                    TextAlign::Justified, box);
                port.text(blue, Matrix {}, "centred\nlines", &odd, 12, 14, TextAlign::Centre, box);
                port.text(black, Matrix {}, "right\nand longer", &helvetica, 10, 12, TextAlign::Right, box);
                port.image(Matrix { 50, 0, 0, 25, 20, 20 }, pair);
            },
            { &helvetica, &timesTrueType, &odd } },
    };
    for (const auto& c : cases)
        checkGolden(c.port, c.name, writeAs(c.port, c.body, c.info, c.fonts));
}

} // namespace
} // namespace zavora
