// Ghostscript as the independent reader of the written PostScript: no
// PostScript error, and pixel probes where the drawing puts its ink.

#include "output/PostScriptPort.h"

#include "PostScriptTestSupport.h"
#include "model/ImageObject.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"
#include "output/PostScriptProlog.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zavora {
namespace {

using namespace zavora::testing;

constexpr int kDpi = 144;

// Probes in drawing coordinates on a render cropped to the bounding box.
struct Page {
    DocumentInfo info;
    GhostscriptRun run;

    Raster::Pixel at(double x, double y) const
    {
        const double scale = kDpi / 72.0;
        return run.raster.at(static_cast<int>(std::floor((x - info.x0) * scale)),
            static_cast<int>(std::floor((info.y1 - y) * scale)));
    }
    // Fraction of the pixels in the drawing-space rectangle that are dark.
    double darkFraction(double x0, double y0, double x1, double y1) const
    {
        const double scale = kDpi / 72.0;
        int hits = 0, total = 0;
        for (double y = y0; y < y1; y += 1 / scale) {
            for (double x = x0; x < x1; x += 1 / scale) {
                ++total;
                hits += at(x, y).dark();
            }
        }
        return total ? static_cast<double>(hits) / total : 0;
    }
};

Page render(const std::string& name, const std::function<void(PostScriptPort&)>& body,
    DocumentInfo info = pageInfo(), std::vector<const FontEntry*> fonts = {})
{
    Page page { info, {} };
    const std::string doc = writeDocument<PostScriptPort>(body, info, std::move(fonts));
    page.run = renderWithGhostscript(doc, name, kDpi);
    EXPECT_TRUE(page.run.ok()) << name << ":\n" << page.run.messages;
    EXPECT_EQ(page.run.raster.width, (info.x1 - info.x0) * 2) << name;
    return page;
}

// Full red, green or blue: that channel above 200, the others below 60.
bool isRed(Raster::Pixel p)
{
    return p.r > 200 && p.g < 60 && p.b < 60;
}
bool isGreen(Raster::Pixel p)
{
    return isRed({ p.g, p.r, p.b });
}
bool isBlue(Raster::Pixel p)
{
    return isRed({ p.b, p.g, p.r });
}

TEST(PostScriptRender, FillsAndStrokesUnderMatrices)
{
    const Page page = render("fills", [](PostScriptPort& port) {
        port.rectangle(filled({ 100, 0, 0 }, 4), Matrix {}, 20, 20, 80, 60);
        // A wide ellipse turned upright by its matrix.
        port.ellipse(fillOnly({ 0, 0, 100 }), Matrix { 0, 1, -1, 0, 150, 75 }, 0, 0, 30, 10);
        PaintStyle greenLine;
        greenLine.setLineColor({ 0, 100, 0 });
        greenLine.setLineWidth(6);
        // The stroke is painted in page space: a 4x scaled path keeps its 6-point width.
        port.line(greenLine, Matrix { 4, 0, 0, 4, 0, 0 }, 5, 30, 45, 30, kArrowNone, kArrowNone);
    });
    EXPECT_TRUE(isRed(page.at(50, 40)));
    EXPECT_TRUE(page.at(20.5, 40).dark()); // the stroke on the edge
    EXPECT_TRUE(page.at(85, 40).white());
    EXPECT_TRUE(isBlue(page.at(150, 100)));
    EXPECT_TRUE(page.at(172, 75).white());
    EXPECT_TRUE(isGreen(page.at(100, 122)));
    EXPECT_TRUE(page.at(100, 124).white());
}

TEST(PostScriptRender, DashesAndArrowheads)
{
    const Page page = render("dashes", [](PostScriptPort& port) {
        PaintStyle dashed;
        dashed.setLineWidth(5); // drawn 1 point wide: dashed pens are 1 point
        dashed.setDash(0);
        port.line(dashed, Matrix {}, 20, 75, 180, 75, kArrowNone, kArrowNone);
        port.line(filled(Color::white(), 2), Matrix {}, 20, 120, 120, 120, kArrowCircle, kArrowBig);
    });
    // Along the dashed line: runs of about 10 points dark and 4 light.
    const double scale = kDpi / 72.0;
    std::vector<int> dark, light;
    int run = 0;
    bool inDark = page.at(20.2, 75).dark();
    for (double x = 20.2; x < 179; x += 1 / scale) {
        const bool d = page.at(x, 75).dark() || page.at(x, 74.6).dark();
        if (d == inDark) {
            ++run;
            continue;
        }
        (inDark ? dark : light).push_back(run);
        inDark = d;
        run = 1;
    }
    ASSERT_GE(dark.size(), 9u);
    ASSERT_GE(light.size(), 9u);
    for (std::size_t i = 1; i + 1 < dark.size(); ++i)
        EXPECT_NEAR(dark[i], 10 * scale, 2) << i;
    for (std::size_t i = 1; i + 1 < light.size(); ++i)
        EXPECT_NEAR(light[i], 4 * scale, 2) << i;
    EXPECT_TRUE(page.at(50, 77).white());

    // Big arrow at (120, 120), pointing right, 18 points long and 6 wide each side.
    EXPECT_TRUE(page.at(112, 122.5).dark());
    EXPECT_TRUE(page.at(104, 124.5).dark());
    EXPECT_TRUE(page.at(60, 122.5).white());
    EXPECT_TRUE(page.at(123, 120).white());
    // Circle of radius 3 line widths about the start.
    EXPECT_TRUE(page.at(20, 125).dark());
    EXPECT_TRUE(page.at(20, 127.5).white());
}

TEST(PostScriptRender, TextLandsInItsBoxByAlignment)
{
    FixedFont helvetica("Helvetica");
    const Page page = render("text",
        [&](PostScriptPort& port) {
            const PaintStyle black = filled(Color::black());
            const float left[4] = { 10, 110, 190, 140 };
            port.text(black, Matrix {}, "HIH", &helvetica, 20, 24, TextAlign::Left, left);
            const float right[4] = { 10, 80, 190, 110 };
            port.text(black, Matrix {}, "HIH", &helvetica, 20, 24, TextAlign::Right, right);
            // Justified: the first line stretches to the box, the paragraph's last does not.
            const float justified[4] = { 10, 10, 190, 75 };
            port.text(black, Matrix {}, "H H\nH H", &helvetica, 20, 24, TextAlign::Justified, justified);
        },
        pageInfo(), { &helvetica });
    auto inkExtent = [&](double y0, double y1) {
        double minX = 1e9, maxX = -1e9;
        for (double x = 0; x < 200; x += 0.5) {
            if (page.darkFraction(x, y0, x + 0.5, y1) > 0) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
        }
        return std::pair { minX, maxX };
    };
    // Cap height of Helvetica 20 is about 14.4: the first baseline is 140 - 14.36.
    auto [l0, l1] = inkExtent(126, 140);
    EXPECT_NEAR(l0, 10 + 1.5, 2);
    EXPECT_LT(l1, 60);
    EXPECT_EQ(page.darkFraction(0, 141, 200, 150), 0);
    auto [r0, r1] = inkExtent(96, 110);
    EXPECT_NEAR(r1, 190 - 1.5, 2);
    EXPECT_GT(r0, 130);
    auto [j0, j1] = inkExtent(61, 75);
    EXPECT_NEAR(j0, 10 + 1.5, 2);
    EXPECT_NEAR(j1, 190 - 1.5, 2);
    auto [k0, k1] = inkExtent(37, 51); // one leading lower: not stretched
    EXPECT_NEAR(k0, 10 + 1.5, 2);
    EXPECT_LT(k1, 60);
}

TEST(PostScriptRender, ImagesPlaceRowsTopFirst)
{
    ImageObject image;
    ASSERT_TRUE(image.allocatePixels(2, 2));
    image.setPixel(0, 0, { 255, 0, 0 });
    image.setPixel(1, 0, { 0, 255, 0 });
    image.setPixel(0, 1, { 0, 0, 255 });
    image.setPixel(1, 1, { 255, 255, 255 });
    const Page page = render("image", [&](PostScriptPort& port) {
        port.image(Matrix { 40, 0, 0, 40, 100, 20 }, image);
    });
    EXPECT_TRUE(isRed(page.at(110, 50)));
    EXPECT_TRUE(isGreen(page.at(130, 50)));
    EXPECT_TRUE(isBlue(page.at(110, 30)));
    EXPECT_TRUE(page.at(130, 30).white());
}

TEST(PostScriptRender, CompoundPathsPaintOnceEvenOdd)
{
    const Page page = render("compound", [](PostScriptPort& port) {
        const PaintStyle green = fillOnly({ 0, 100, 0 });
        PaintStyle none;
        none.setLineInvisible();
        port.beginCompoundPath();
        port.rectangle(green, Matrix {}, 20, 20, 80, 80);
        // A child painted with neither fill nor stroke must not drop the outlines before it.
        port.rectangle(none, Matrix {}, 100, 20, 140, 60);
        port.polyline(green, Matrix {}, { { 35, 35 }, { 65, 35 }, { 65, 65 }, { 35, 65 } }, true, kArrowNone,
            kArrowNone);
        port.endCompoundPath();
        // The nesting is back to zero: later shapes paint at once.
        port.roundRectangle(filled({ 100, 0, 0 }), Matrix {}, 150, 20, 190, 80, 15, 15);
        port.beginGroup();
        port.arc(PaintStyle {}, Matrix {}, 170, 110, 20, 20, 0, 180, kArrowNone, kArrowNone);
        port.endGroup();
    });
    EXPECT_TRUE(isGreen(page.at(27, 50)));
    EXPECT_TRUE(page.at(50, 50).white());
    EXPECT_TRUE(isGreen(page.at(120, 40))); // the middle child joins the compound
    EXPECT_TRUE(isRed(page.at(170, 50)));
    EXPECT_TRUE(page.at(151.5, 78.5).white()); // rounded corner
    EXPECT_TRUE(page.at(170, 130).dark()); // top of the arc
    EXPECT_TRUE(page.at(170, 110).white());
}

TEST(PostScriptRender, LandscapeTurnedIntoTheSwappedBox)
{
    class TurningPort : public PostScriptPort {
    public:
        using PostScriptPort::PostScriptPort;
        bool rotatesLandscape() const override { return true; }
    };
    DocumentInfo info = pageInfo(10, 20, 210, 120);
    info.landscape = true;
    const std::string doc = writeDocument<TurningPort>(
        [&](TurningPort& port) {
            port.rectangle(filled({ 100, 0, 0 }), Matrix {}, 20, 30, 40, 40);
        },
        info);
    // The bounding box turns about its lower left corner: 10 20 110 220.
    Page page { pageInfo(10, 20, 110, 220), renderWithGhostscript(doc, "landscape", kDpi) };
    ASSERT_TRUE(page.run.ok()) << page.run.messages;
    ASSERT_EQ(page.run.raster.width, 200);
    // (x, y) lands at (y - 10, 230 - x).
    EXPECT_TRUE(isRed(page.at(25, 200)));
    EXPECT_TRUE(page.at(30, 35).white());
}

TEST(PostScriptRender, NumbersNoFileCanHoldAreNeverWritten)
{
    // What transforms that overflow leave in a drawing: each object still
    // gets its lines, with numbers an interpreter takes.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    FixedFont helvetica("Helvetica");
    PaintStyle wide;
    wide.setLineWidth(inf);
    wide.setFillColor({ nan, 0, 0 });
    const Matrix broken { nan, inf, -inf, nan, inf, nan };
    const std::string doc = writeDocument<PostScriptPort>([&](PostScriptPort& port) {
        port.rectangle(wide, broken, nan, 0, inf, -inf);
        port.ellipse(wide, Matrix {}, inf, nan, inf, -inf);
        port.arc(wide, Matrix {}, 50, 50, 20, 20, nan, inf, kArrowFancy, kArrowBig);
        port.polyline(
            wide, broken, { { nan, nan }, { inf, 0 }, { 0, -inf } }, false, kArrowSmall, kArrowNone);
        port.curvePath(wide, Matrix {}, { { nan, 0, inf, 0, 0, nan, 0 }, { 1, 1, 1, 1, 1, 1, 0 } }, true,
            kArrowNone, kArrowNone);
        const float box[4] = { nan, inf, -inf, nan };
        port.text(wide, broken, "broken", &helvetica, 0, nan, TextAlign::Justified, box);
        port.text(
            PaintStyle {}, Matrix { 1, 0, 0, 1, 20, 100 }, "sized", &helvetica, -5, 14, TextAlign::Left, box);
        ImageObject image;
        ASSERT_TRUE(image.allocatePixels(1, 1));
        port.image(broken, image);
        port.rectangle(filled({ 100, 0, 0 }), Matrix {}, 150, 20, 190, 60);
    });
    const std::string body = pageBody(doc);
    EXPECT_EQ(body.find("nan"), std::string::npos) << body;
    EXPECT_EQ(body.find("inf"), std::string::npos) << body;
    const GhostscriptRun run = renderWithGhostscript(doc, "non-finite", kDpi, false);
    EXPECT_TRUE(run.ok()) << run.messages << body;
}

TEST(PostScriptRender, ProcedureSetPieces)
{
    const std::string procSet(postScriptProcSet());
    // The dictionary holds everything the prolog and a page define.
    std::string program = "/ZVXDict 100 dict def ZVXDict begin\n" + procSet + "end\nZVXDict begin\n"
        + std::string(postScriptPatternFonts())
        + "/_ZVX_savepage 0 def 1 2 3 4 k 1 2 3 4 K 0 Pat 1 2 3 4 tbx /Helvetica 1 2 0 1 z\n"
          "(count ) print ZVXDict length == end\n";
    const GhostscriptRun run = runGhostscript(program, "dictsize", "-sDEVICE=nullpage");
    int count = 0;
    ASSERT_EQ(std::sscanf(run.messages.c_str(), "count %d", &count), 1) << run.messages;
    EXPECT_LE(count, 100);

    // Arrowhead codes outside the table and a tip on its own neighbour draw nothing and raise nothing.
    const Page page = render("arrow-edge", [](PostScriptPort& port) {
        port.line(PaintStyle {}, Matrix {}, 50, 50, 50, 50, 9, kArrowBig);
        PaintStyle zero;
        zero.setLineWidth(0);
        port.line(zero, Matrix {}, 60, 60, 80, 60, kArrowCircle, kArrowSquare);
        port.ellipse(PaintStyle {}, Matrix {}, 100, 100, 0, 5);
        port.roundRectangle(PaintStyle {}, Matrix {}, 120, 120, 110, 110, 50, 0);
        port.arc(PaintStyle {}, Matrix {}, 20, 20, 10, 10, 30, 30, kArrowBig, kArrowBig);
        port.image(Matrix { 10, 0, 0, 10, 5, 5 }, ImageObject {}); // no pixels
        port.text(
            PaintStyle {}, Matrix {}, "no font, no box", nullptr, 10, 12, TextAlign::Justified, nullptr);
    });
    EXPECT_TRUE(page.at(150, 20).white());
}

TEST(PostScriptRender, GoldenFilesRender)
{
    const std::filesystem::path root = std::filesystem::path(ZAVORA_SOURCE_DIR) / "tests" / "golden";
    int files = 0;
    for (const char* port : { "ps", "zvx" }) {
        if (!std::filesystem::exists(root / port))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(root / port)) {
            ++files;
            const std::string doc = readFile(entry.path());
            const std::string name = entry.path().stem().string();
            const GhostscriptRun cropped = renderWithGhostscript(doc, "golden-" + name, 72, true);
            EXPECT_TRUE(cropped.ok()) << entry.path() << "\n" << cropped.messages;
            const GhostscriptRun page = renderWithGhostscript(doc, "golden-page-" + name, 36, false);
            EXPECT_TRUE(page.ok()) << entry.path() << "\n" << page.messages;
        }
    }
    EXPECT_GE(files, 10);
}

} // namespace
} // namespace zavora
