// Our page render against other programs' renderings of our own files of the
// same drawing (Ghostscript on the PostScript outputs and the Illustrator
// file, pdftoppm and Ghostscript on the PDF, rsvg-convert and Inkscape on the
// SVG): unrelated code, so agreement within a tolerance checks both sides.
// Hatched drawings get wide bounds: the screen tiles 8 x 8 device-pixel
// brushes, the files their patterns at another scale and phase.

#include "../export/BitmapTestSupport.h"
#include "../output/PostScriptTestSupport.h"
#include "../output/ZvxReaderTestSupport.h"

#include "export/Export.h"
#include "fonts/FontCatalogue.h"
#include "model/Drawing.h"
#include "model/GraphicsKernel.h"
#include "model/GroupObject.h"
#include "model/ImageObject.h"
#include "model/PaintStyle.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"
#include "model/TextObject.h"
#include "output/Traversal.h"
#include "output/ZvxReader.h"
#include "platform/FontSystem.h"
#include "platform/Profile.h"
#include "raster/PageRenderer.h"
#include "tests/support/PageImage.h"

#include "platform/qt/QtRasterSurface.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <random>
#include <sstream>
#include <string_view>

namespace zavora {
namespace {

using pageimage::renderPage;

using testing::Raster;

struct Difference {
    double mean = 0; // per channel, 0..255
    double share = 0; // pixels with a channel off by more than 64
    double tone = 0; // mean per channel of 8 x 8 pixel block averages
    double inkRatio = 0; // non-white pixels, ours over theirs
};

Difference compare(const RgbImage& ours, const Raster& theirs)
{
    const testing::PixelDifference pixels = testing::pixelDifference(ours.pixels, theirs.rgb);
    Difference d { pixels.mean, pixels.share };
    auto ink = [](const std::vector<uint8_t>& rgb) {
        std::size_t count = 0;
        for (std::size_t i = 0; i < rgb.size(); i += 3)
            count += rgb[i] <= 235 || rgb[i + 1] <= 235 || rgb[i + 2] <= 235;
        return count;
    };
    const std::size_t inkOurs = ink(ours.pixels), inkTheirs = ink(theirs.rgb);
    d.inkRatio = inkTheirs ? double(inkOurs) / double(inkTheirs) : (inkOurs ? 1e9 : 1);

    // Hatches agree in tone, not in phase: compare block averages.
    double toneSum = 0;
    int blocks = 0;
    for (int by = 0; by + 8 <= ours.height; by += 8)
        for (int bx = 0; bx + 8 <= ours.width; bx += 8, ++blocks)
            for (int c = 0; c < 3; ++c) {
                int a = 0, b = 0;
                for (int y = by; y < by + 8; ++y)
                    for (int x = bx; x < bx + 8; ++x) {
                        const auto at = std::size_t((y * ours.width + x) * 3 + c);
                        a += ours.pixels[at];
                        b += theirs.rgb[at];
                    }
                toneSum += std::abs(a - b) / 64.0;
            }
    d.tone = blocks ? toneSum / (3.0 * blocks) : 0;
    return d;
}

template <class T> T* add(Drawing& d, std::unique_ptr<T> object)
{
    T* raw = object.get();
    d.append(std::move(object));
    return raw;
}

const Color kRed { 100, 0, 0 }, kBlue { 0, 0, 100 }, kGreen { 0, 60, 0 }, kBlack { 0, 0, 0 },
    kYellow { 100, 90, 0 }, kGrey { 50, 50, 50 };

// No fill when `fill` is null, no line when `width` is 0.
template <class T>
std::unique_ptr<T> styled(std::unique_ptr<T> object, const Color* fill, const Color& line, float width)
{
    if (fill)
        object->setFillColor(*fill);
    else
        object->setFillTransparent();
    if (width > 0) {
        object->setLineColor(line);
        object->setLineWidth(width);
    } else {
        object->setLineInvisible();
    }
    return object;
}

std::unique_ptr<RectangleObject> rect(
    float x1, float y1, float x2, float y2, Color fill, Color line, float width)
{
    return styled(std::make_unique<RectangleObject>(x1, y1, x2, y2), &fill, line, width);
}

void shapes(Drawing& d, const FontLookup&)
{
    add(d, rect(20, 20, 120, 90, kYellow, kBlue, 4));
    add(d,
        styled(std::make_unique<PolygonObject>(
                   PointList { { 150, 20 }, { 230, 40 }, { 200, 100 }, { 160, 80 } }, false),
            &kGreen, kBlack, 3));
    add(d,
        styled(std::make_unique<PolygonObject>(
                   PointList { { 260, 20 }, { 300, 100 }, { 340, 20 }, { 250, 70 }, { 350, 70 } }, true),
            &kRed, kBlack, 0));
    add(d, styled(std::make_unique<RoundRectObject>(20, 120, 130, 190, 15, 15), &kBlue, kRed, 2));
    add(d, styled(std::make_unique<EllipseObject>(200, 155, 50, 30), &kGrey, kBlack, 6));
    add(d, styled(std::make_unique<ArcObject>(300, 155, 40, 35, 30, 250), nullptr, kGreen, 5));
    add(d, styled(std::make_unique<LineObject>(20, 220, 160, 260), nullptr, kRed, 2))
        ->setArrows(kArrowFancy, kArrowBig);
    add(d, std::make_unique<LineObject>(180, 220, 340, 220))->setDash(0);
    const NodeList nodes { { 180, 240, 180, 240, 200, 290, 0 }, { 260, 250, 240, 230, 280, 270, 0 },
        { 340, 260, 320, 290, 340, 260, 0 } };
    add(d, styled(std::make_unique<CurveObject>(nodes, false), nullptr, kBlue, 3))
        ->setArrows(kArrowNone, kArrowSmall);
}

// Arcs of a whole turn that starts elsewhere than at 0 are rings everywhere.
void rings(Drawing& d, const FontLookup&)
{
    add(d, styled(std::make_unique<ArcObject>(80, 80, 50, 40, 10, 370), nullptr, kBlue, 6));
    add(d, styled(std::make_unique<ArcObject>(220, 80, 40, 50, 90, 450), nullptr, kRed, 6));
}

// A row of `text` in each of the fonts: symbol-set fonts print their own
// glyphs, text fonts the upper half of the code page as the text tool types it.
void fontRows(Drawing& d, const FontLookup& fonts, std::initializer_list<const char*> names, const char* text)
{
    int row = 0;
    for (const char* name : names) {
        const FontEntry* font = fonts.find(name);
        ASSERT_NE(font, nullptr) << name;
        auto t = std::make_unique<TextObject>(text, font, 28, 32, TextAlign::Left);
        t->setFrame({ 0, 0 }, { 420, -40 });
        t->setMatrix(Matrix { 1, 0, 0, 1, 20, 120 - 60 * float(row++) });
        add(d, std::move(t));
    }
}

// 500 blocks in the 13 standard fonts at 5 to 40 points, every alignment,
// some coloured, set side by side in rows as on a crowded page: the small
// type is where glyphs used to go missing.
void manyTexts(Drawing& d, const FontLookup& fonts)
{
    const char* const names[] = { "Times-Roman", "Times-Italic", "Times-Bold", "Times-BoldItalic",
        "Helvetica", "Helvetica-Oblique", "Helvetica-Bold", "Helvetica-BoldOblique", "Courier",
        "Courier-Oblique", "Courier-Bold", "Courier-BoldOblique", "Symbol" };
    const char* const words[] = { "cupidatat", "non", "proident,", "sunt", "in", "culpa", "qui", "officia",
        "deserunt", "mollit", "anim", "id", "est", "laborum.", "Excepteur", "sint", "occaecat", "1998",
        "(quoted)", "ZAVORA" };
    constexpr float kPageWidth = 1400;
    std::mt19937 random(17);
    std::uniform_real_distribution<float> unit(0, 1);
    float x = 0, y = 0, rowHeight = 0;
    for (int i = 0; i < 500; ++i) {
        const FontEntry* font = fonts.find(names[i % 13]);
        ASSERT_NE(font, nullptr) << names[i % 13];
        // Small sizes most often, as in real drawings.
        const float size = 5 + 35 * unit(random) * unit(random);
        std::string text;
        const int count = 2 + int(unit(random) * 8);
        for (int w = 0; w < count; ++w)
            text += std::string(w ? " " : "") + words[int(unit(random) * 20) % 20];
        auto t = std::make_unique<TextObject>(text, font, size, size * 1.2f, static_cast<TextAlign>(i % 4));
        const float width = size * (6 + 10 * unit(random));
        t->setFrame({ 0, 0 }, { width, -size });
        const Rect frame = t->boundingBox();
        if (x > 0 && x + frame.right - frame.left > kPageWidth) {
            x = 0;
            y -= rowHeight + 4;
            rowHeight = 0;
        }
        t->setMatrix(Matrix { 1, 0, 0, 1, x, y });
        x += frame.right - frame.left + 6;
        rowHeight = std::max(rowHeight, frame.top - frame.bottom);
        if (i % 5 == 0)
            t->setTextColor(Color { 100 * unit(random), 60 * unit(random), 100 * unit(random) });
        add(d, std::move(t));
    }
}

void containers(Drawing& d, const FontLookup& fonts)
{
    auto group = std::make_unique<GroupObject>();
    auto turned = rect(0, 0, 60, 30, kRed, kBlack, 2);
    turned->setMatrix(Matrix { 0.866f, 0.5f, -0.5f, 0.866f, 60, 40 });
    group->appendChild(std::move(turned));
    group->appendChild(styled(std::make_unique<EllipseObject>(150, 60, 40, 25), &kBlue, kBlack, 0));
    add(d, std::move(group));

    auto compound = std::make_unique<CompoundPathObject>();
    compound->appendChild(rect(220, 20, 320, 110, kGreen, kBlack, 1));
    compound->appendChild(rect(245, 45, 295, 85, kGreen, kBlack, 1));
    add(d, std::move(compound));

    auto image = std::make_unique<ImageObject>();
    ASSERT_TRUE(image->allocatePixels(8, 8));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            image->setPixel(x, y,
                (x + y) % 2 ? std::array<uint8_t, 3> { 255, 0, 0 } : std::array<uint8_t, 3> { 0, 0, 255 });
    image->setMatrix(Matrix { 80, 0, 0, 80, 30, 130 });
    add(d, std::move(image));

    auto t = std::make_unique<TextObject>("Turned text", fonts.find("Times-Bold"), 18, 20, TextAlign::Left);
    t->setFrame({ 0, 0 }, { 150, -40 });
    t->setMatrix(Matrix { 0.966f, 0.259f, -0.259f, 0.966f, 160, 180 });
    add(d, std::move(t));
}

// A form draws its images in grey: the containers with their image in grey
// steps, and a second, turned one.
void greyImages(Drawing& d, const FontLookup& fonts)
{
    containers(d, fonts);
    auto turned = std::make_unique<ImageObject>();
    ASSERT_TRUE(turned->allocatePixels(6, 4));
    turned->setMatrix(Matrix { 50, 30, -20, 40, 230, 140 });
    d.append(std::move(turned));
    for (const auto& object : d.objects())
        if (auto* image = dynamic_cast<ImageObject*>(object.get()))
            for (int y = 0; y < image->height(); ++y)
                for (int x = 0; x < image->width(); ++x) {
                    const uint8_t grey = uint8_t((x * 5 + y * 3) % 8 * 30);
                    image->setPixel(x, y, { grey, grey, grey });
                }
}

void hatched(Drawing& d, const FontLookup&)
{
    for (int pattern = 0; pattern < 9; ++pattern) {
        const float x = 20 + float(pattern % 3) * 90, y = 20 + float(pattern / 3) * 70;
        auto r = rect(x, y, x + 80, y + 60, pattern % 2 ? kYellow : Color { 100, 100, 100 }, kBlack, 1);
        r->setFillPattern(pattern);
        add(d, std::move(r));
    }
}

// Hatched shapes as the formats without hatches draw them: plainly filled.
void plainFills(Drawing& d)
{
    for (const auto& object : d.objects())
        if (object->style().fillPattern() >= 0)
            object->setFillPattern(-1);
}

// Drawings as the reader makes them of files that set no fill colour: a
// native file (whose prolog fills white) and an Illustrator file (whose
// PostScript starts from black).
void readFile(Drawing& d, const std::string& bytes)
{
    readtest::ReadOutcome r = readtest::readText(bytes, "read.zvx");
    ASSERT_EQ(r.result, ZvxReadResult::Read);
    d.replaceAll(std::move(r.objects));
}

void readNative(Drawing& d, const FontLookup&)
{
    readFile(d,
        readtest::nativeFile(
            "/_Helvetica 14 16 0 0 z\n[1 0 0 1 20 150] e\n(A text read from a file) t\n"
            "(that sets no fill colour) t\nT\n"
            "/_Times-Roman 12 14 0 0 z\n[1 0 0 1 20 100] e\n(is drawn in its text colour) t\n"
            "(on the screen and in print alike.) t\nT\n0 0 0 0.5 k\n20 20 m\n200 20 L\n200 80 L\nf\n"));
}

void readIllustrator(Drawing& d, const FontLookup&)
{
    readFile(d,
        readtest::crlf("%!PS-Adobe-2.0 EPSF-1.2\n%%Creator:Adobe Illustrator(TM) 1.0b2-\n%%EndComments\n"
                       "%%EndProlog\n20 20 m\n200 20 L\n200 80 L\nf\n0 To\n1 0 0 1 20 150 0 Tp\n"
                       "/_Helvetica 14 Tf\n(Black by default) Tx\nTO\n%%Trailer\n"));
}

struct Case {
    const char* name;
    void (*build)(Drawing&, const FontLookup&);
    double meanLimit; // pixel by pixel
    double shareLimit;
    double toneLimit; // 8 x 8 block averages
    // What Ghostscript renders: one of our PostScript outputs of the drawing;
    // a form is run twice, side by side.
    ExportKind output = ExportKind::Native;
};

constexpr const char* kFormName = "CrossForm";

// The output's file, and for a form the program that paints it twice on a
// page two boxes wide.
std::string writeOutput(const Drawing& drawing, ExportKind kind, SurfaceFactory& surfaces)
{
    ExportOptions options;
    options.formName = kFormName;
    options.surfaces = &surfaces;
    MemoryOutputStream stream;
    EXPECT_EQ(exportDrawing(drawing, kind, stream, options, nullptr), ExportResult::Written);
    if (kind != ExportKind::Form)
        return stream.data();
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    const std::size_t box = stream.data().find("%%BoundingBox:");
    EXPECT_EQ(std::sscanf(stream.data().c_str() + box, "%%%%BoundingBox: %d %d %d %d", &x0, &y0, &x1, &y1), 4);
    const int w = x1 - x0, h = y1 - y0;
    std::string program = stream.data();
    program += formatLocaleFree("<< /PageSize [%d %d] >> setpagedevice\n", 2 * w, h);
    for (int copy = 0; copy < 2; ++copy)
        program += formatLocaleFree(
            "gsave %d %d translate /%s /Form findresource execform grestore\n", copy * w - x0, -y0, kFormName);
    return program + "showpage\n";
}

// The columns [x, x + width) of the raster.
Raster columns(const Raster& raster, int x, int width)
{
    Raster out { width, raster.height, {} };
    for (int y = 0; y < raster.height; ++y) {
        const auto row = raster.rgb.begin() + (std::ptrdiff_t(y) * raster.width + x) * 3;
        out.rgb.insert(out.rgb.end(), row, row + std::ptrdiff_t(width) * 3);
    }
    return out;
}

class CrossRenderTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        kernel().reset();
        m_settings = std::make_unique<Profile>(testing::scratchDirectory() / "cross.ini");
        m_catalogue
            = std::make_unique<FontCatalogue>(systemFontSystem(), *m_settings, std::filesystem::path());
        m_catalogue->load();
        ASSERT_NE(m_catalogue->find("Helvetica"), nullptr)
            << "the standard fonts (fonts-urw-base35) are needed to compare text";
        m_drawing = std::make_unique<Drawing>();
        GetParam().build(*m_drawing, *m_catalogue);
    }
    // The drawing's texts go before the fonts they refer to.
    void TearDown() override
    {
        m_drawing.reset();
        m_catalogue->free();
    }

    // Our page render of the case's drawing.
    std::optional<RgbImage> pageRender(const PageRenderSettings& settings)
    {
        return renderPage(*m_drawing, m_factory, settings, RenderOptions {});
    }

    std::unique_ptr<Profile> m_settings;
    std::unique_ptr<FontCatalogue> m_catalogue;
    std::unique_ptr<Drawing> m_drawing;
    QtSurfaceFactory m_factory;
};

// Another renderer's image of one of our files against our page render:
// the case's bounds, the pixel-wise ones as given.
void expectAgreement(const std::string& label, const Case& c, const RgbImage& ours, const Raster& theirs,
    double meanLimit, double shareLimit)
{
    ASSERT_EQ(theirs.width, ours.width) << label;
    ASSERT_EQ(theirs.height, ours.height) << label;
    const Difference diff = compare(ours, theirs);
    std::printf("[ %-8s ] %-10s mean difference %.2f, differing pixels %.2f%%, tone %.2f, ink %.2f\n",
        label.c_str(), c.name, diff.mean, diff.share * 100, diff.tone, diff.inkRatio);
    EXPECT_LT(diff.mean, meanLimit) << label;
    EXPECT_LT(diff.share, shareLimit) << label;
    EXPECT_LT(diff.tone, c.toneLimit) << label;
    EXPECT_GT(diff.inkRatio, 0.8) << label;
    EXPECT_LT(diff.inkRatio, 1.25) << label;
}

TEST_P(CrossRenderTest, PageRenderAgreesWithGhostscriptOnOurPostScript)
{
    const Case c = GetParam();
    const Drawing& drawing = *m_drawing;

    const std::optional<RgbImage> ours = pageRender({ 1, false });
    ASSERT_TRUE(ours);

    const std::string program = writeOutput(drawing, c.output, m_factory);
    const bool form = c.output == ExportKind::Form;
    const testing::GhostscriptRun gs
        = testing::renderWithGhostscript(program, std::string("cross-") + c.name, 72, !form);
    ASSERT_TRUE(gs.ok()) << gs.messages;
    ASSERT_EQ(gs.raster.width, ours->width * (form ? 2 : 1));

    for (int copy = 0; copy < (form ? 2 : 1); ++copy)
        expectAgreement("cross", c, *ours, columns(gs.raster, copy * ours->width, ours->width), c.meanLimit,
            c.shareLimit);
}

// Our SVG file of the same drawing rendered by two independent SVG
// renderers, against our page render, with the same measures and limits:
// all three draw at two pixels per point of the file's width and height.
// Every file must be well-formed XML first (the DTD is not fetched).
TEST_P(CrossRenderTest, PageRenderAgreesWithSvgRenderersOnOurSvgFile)
{
    const Case c = GetParam();
    const Drawing& drawing = *m_drawing;
    // The SVG renderers smooth edges and glyphs: so does this render. At
    // 144 dpi the renderers' own ways of smoothing small type weigh less.
    const std::optional<RgbImage> ours = pageRender({ 2, true });
    ASSERT_TRUE(ours);

    const std::filesystem::path svg = testing::scratchDirectory() / (std::string("cross-") + c.name + ".svg");
    ASSERT_TRUE(exportToFile(drawing, ExportKind::Svg, svg.string(), ExportOptions {}, nullptr));
    using bitmaptest::runTool;
    ASSERT_TRUE(bitmaptest::haveTool("xmllint", "libxml2-utils"));
    const bitmaptest::ToolRun lint = runTool("xmllint --noout --nonet '" + svg.string() + "'");
    EXPECT_EQ(lint.status, 0) << lint.output;

    const struct {
        const char* name;
        const char* package;
        std::string command; // the PNG's and the SVG's paths follow
        bool blendsImagePixels; // whatever image-rendering asks for
    } renderers[] = {
        { "rsvg-convert", "librsvg2-bin", "rsvg-convert -z 2 -b white -o ", false },
        { "inkscape", "inkscape",
            "inkscape --export-type=png --export-dpi=192 --export-background=white "
            "--export-background-opacity=1 --export-filename=",
            true },
    };
    const bool hasImages = testing::readFile(svg).find("<image ") != std::string::npos;
    for (const auto& renderer : renderers) {
        if (!bitmaptest::haveTool(renderer.name, renderer.package))
            continue;
        const std::filesystem::path png = svg.string() + "." + renderer.name + ".png";
        const std::string command = renderer.command + "'" + png.string() + "' '" + svg.string() + "'";
        const bitmaptest::ToolRun run = runTool(command);
        const QImage image = QImage(QString::fromStdString(png.string())).convertToFormat(QImage::Format_RGB888);
        ASSERT_FALSE(image.isNull()) << renderer.name << ": " << run.output;
        Raster theirs { image.width(), image.height(), {} };
        for (int y = 0; y < image.height(); ++y)
            theirs.rgb.insert(theirs.rgb.end(), image.constScanLine(y), image.constScanLine(y) + image.width() * 3);
        // A blended image still has the tone of its pixels.
        const bool blended = renderer.blendsImagePixels && hasImages;
        const double unbounded = std::numeric_limits<double>::infinity();
        expectAgreement(std::string("svg ") + renderer.name, c, *ours, theirs,
            blended ? unbounded : c.meanLimit, blended ? unbounded : c.shareLimit);
    }
}

// The read files' text takes the colour the file leaves to the reader: a
// colour drawn wrong on either side shows in the tone and ink measures.
INSTANTIATE_TEST_SUITE_P(Drawings, CrossRenderTest,
    ::testing::Values(Case { "shapes", shapes, 7, 0.04, 7 }, Case { "text500", manyTexts, 7, 0.04, 7 },
        Case { "containers", containers, 7, 0.04, 7 }, Case { "rings", rings, 7, 0.04, 7 },
        Case { "symbols",
            [](Drawing& d, const FontLookup& f) {
                fontRows(d, f, { "ZapfDingbats", "Symbol" }, "abcdefg ABCDEFG 12345");
            },
            7, 0.04, 7 },
        Case { "upperhalf",
            [](Drawing& d, const FontLookup& f) {
                fontRows(d, f, { "Helvetica", "Times-Roman" }, "caf\xe9 \x80 \x93q\x94 \xdf \xc5\xe6\xf8");
            },
            7, 0.04, 7 },
        Case { "hatched", hatched, 80, 0.40, 35 }, Case { "native", readNative, 7, 0.04, 7 },
        Case { "illustrator", readIllustrator, 7, 0.04, 7 },
        // The other PostScript outputs share the writer: one drawing each.
        Case { "ps", shapes, 7, 0.04, 7, ExportKind::PostScript },
        Case { "eps", containers, 7, 0.04, 7, ExportKind::Eps },
        Case { "form", greyImages, 7, 0.04, 7, ExportKind::Form }),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

std::string writePdf(const Drawing& drawing, const std::string& name)
{
    MemoryOutputStream stream;
    stream.open();
    EXPECT_EQ(exportDrawing(drawing, ExportKind::Pdf, stream, ExportOptions {}, nullptr), ExportResult::Written);
    stream.close();
    const std::filesystem::path path = testing::scratchDirectory() / (name + ".pdf");
    testing::writeFile(path, stream.data());
    return path.string();
}

void expectQpdfAccepts(const std::string& pdf, const std::string& name)
{
    const testing::ToolRun check = testing::runTool("qpdf --check '" + pdf + "'", name + "-qpdf");
    EXPECT_EQ(check.status, 0) << check.output;
    EXPECT_NE(check.output.find("No syntax or stream encoding errors"), std::string::npos) << check.output;
    EXPECT_EQ(check.output.find("WARNING"), std::string::npos) << check.output;
}

TEST_P(CrossRenderTest, PdfRendersLikeThePageRender)
{
    const Case c = GetParam();
    const std::string name = std::string("pdf-") + c.name;
    const std::string pdf = writePdf(*m_drawing, name);
    expectQpdfAccepts(pdf, name);
    // PDF has no hatches: it fills hatched shapes plainly.
    plainFills(*m_drawing);
    const std::optional<RgbImage> ours = pageRender({ 1, false });
    ASSERT_TRUE(ours);

    const std::filesystem::path base = testing::scratchDirectory() / name;
    const testing::ToolRun poppler = testing::runTool(
        "pdftoppm -r 72 -aa no -aaVector no -singlefile '" + pdf + "' '" + base.string() + "'", name);
    ASSERT_EQ(poppler.status, 0) << poppler.output;
    EXPECT_EQ(poppler.output, "");
    testing::GhostscriptRun popplerRender;
    ASSERT_TRUE(testing::parsePpm(testing::readFile(base.string() + ".ppm"), popplerRender.raster));
    const testing::GhostscriptRun gs = testing::renderWithGhostscript(testing::readFile(pdf), name, 72, false);
    ASSERT_TRUE(gs.ok()) << gs.messages;

    for (const auto& [renderer, raster] :
        { std::pair<const char*, const Raster*> { "pdftoppm", &popplerRender.raster }, { "gs", &gs.raster } }) {
        // Poppler sets unsmoothed glyphs a pixel fatter or thinner than
        // FreeType does (measured on the text drawings: mean 7.2 and 11.1,
        // share 3.0 and 4.9 %); tone and ink, which show a glyph or line that
        // is missing or misplaced, keep the common bounds.
        const bool poppler = std::string_view(renderer) == "pdftoppm";
        expectAgreement(std::string("pdf ") + renderer, c, *ours, *raster,
            poppler ? std::max(c.meanLimit, 12.0) : c.meanLimit,
            poppler ? std::max(c.shareLimit, 0.06) : c.shareLimit);
    }
}

// The Illustrator operators as plain PostScript, so that Ghostscript can show
// our Illustrator file: colours, widths, dashes, paths, compound paths painted
// at once with the even-odd rule, and text lines placed by the leading and
// the alignment. Written from the format's operator list, not from our writer.
constexpr std::string_view kIllustratorOperators = R"(
/fc [0 0 0 1] def /sc [0 0 0 1] def /compound false def /pending {} def
/k { 4 array astore /fc exch def } def /K { 4 array astore /sc exch def } def
/w { setlinewidth } def /d { setdash } def
/m { moveto } def /L { lineto } def /l /L load def /c { curveto } def /C /c load def
/dofill { gsave fc aload pop setcmykcolor eofill grestore } def
/dostroke { gsave sc aload pop setcmykcolor stroke grestore } def
/paint { compound { /pending exch def } { exec newpath } ifelse } def
/B { { dofill dostroke } paint } def /b { closepath B } def
/F { { dofill } paint } def /f { closepath F } def
/S { { dostroke } paint } def /s { closepath S } def
/N { { } paint } def /n { closepath N } def
/u { } def /U { } def
/*u { /compound true def } def /*U { /compound false def pending newpath } def
/z { /align exch def pop /lead exch def /size exch def
     dup length string cvs dup length 1 sub 1 exch getinterval cvn findfont
     % text fonts take the Windows code page the text is written in, as a
     % reader's prolog gives them; symbol fonts keep their own encoding
     dup /Encoding get StandardEncoding eq {
       dup length dict begin { 1 index /FID ne { def } { pop pop } ifelse } forall
       /Encoding /WinAnsiEncoding /Encoding findresource def currentdict end
       /_reencoded exch definefont } if
     size scalefont setfont } def
/e { /tm exch def /line 0 def } def
/t { gsave tm concat 0 line lead mul neg moveto
     align 1 eq { dup stringwidth pop -2 div 0 rmoveto } if
     align 2 eq { dup stringwidth pop neg 0 rmoveto } if
     fc aload pop setcmykcolor show grestore /line line 1 add def } def
/T { } def
)";

TEST_P(CrossRenderTest, IllustratorFileRendersLikeThePageRender)
{
    const Case c = GetParam();
    Drawing& drawing = *m_drawing;
    // The format has neither hatches (hatched shapes come out plainly filled)
    // nor images: compare the drawing so.
    ObjectRefs images;
    for (const auto& object : drawing.objects())
        if (object->type() == ObjectType::Image)
            images.push_back(object.get());
    drawing.takeObjects(images);
    MemoryOutputStream stream;
    ASSERT_TRUE(stream.open());
    ASSERT_EQ(exportDrawing(drawing, ExportKind::Illustrator, stream, ExportOptions {}, nullptr),
        ExportResult::Written);
    stream.close();
    plainFills(drawing);
    const std::optional<RgbImage> ours = pageRender({ 1, false });
    ASSERT_TRUE(ours);
    std::string program = stream.data();
    const std::size_t prolog = program.find("%%BeginProlog\r\n");
    ASSERT_NE(prolog, std::string::npos);
    program.insert(prolog + 15, kIllustratorOperators);
    const testing::GhostscriptRun gs = testing::renderWithGhostscript(program, std::string("ai-") + c.name);
    ASSERT_TRUE(gs.ok()) << gs.messages;
    expectAgreement("ai", c, *ours, gs.raster, c.meanLimit, c.shareLimit);
}

void sample(Drawing& d, const FontLookup&)
{
    readFile(d, testing::readFile(std::filesystem::path(ZAVORA_SOURCE_DIR) / "examples" / "sample.zvx"));
}

// More than the 255 objects a fixed offset table would hold.
void images300(Drawing& d, const FontLookup&)
{
    for (int i = 0; i < 300; ++i) {
        auto image = std::make_unique<ImageObject>();
        ASSERT_TRUE(image->allocatePixels(2, 2));
        image->setPixel(i % 2, 0, { uint8_t(i), 0, 255 });
        image->placeAt(float(i % 20) * 12, float(i / 20) * 12);
        add(d, std::move(image));
    }
}

// Every font of the catalogue, up to 300, one text each.
void fonts300(Drawing& d, const FontLookup& fonts)
{
    std::vector<const FontEntry*> entries = dynamic_cast<const FontCatalogue&>(fonts).entries();
    entries.resize(std::min<std::size_t>(entries.size(), 300));
    float y = 0;
    for (const FontEntry* font : entries) {
        auto t = std::make_unique<TextObject>("Sample 123", font, 10, 12, TextAlign::Left);
        t->setMatrix(Matrix { 1, 0, 0, 1, 0, y -= 14 });
        add(d, std::move(t));
    }
}

// Stress and real drawings: qpdf accepts them, poppler renders them without
// a complaint, pdffonts lists each font once as Type 1 or TrueType, and
// pdftotext gives back every text object's words in drawing order.
class PdfRefereeTest : public CrossRenderTest { };

std::string normalisedWords(const std::string& text)
{
    std::istringstream in(text);
    std::string out, word;
    while (in >> word)
        out += (out.empty() ? "" : " ") + word;
    return out;
}

TEST_P(PdfRefereeTest, ReadersAcceptWhatWeWrite)
{
    const Case c = GetParam();
    const Drawing& drawing = *m_drawing;
    const std::string name = std::string("referee-") + c.name;
    const std::string pdf = writePdf(drawing, name);
    expectQpdfAccepts(pdf, name);

    const testing::ToolRun render
        = testing::runTool("pdftoppm -r 10 '" + pdf + "' '" + (testing::scratchDirectory() / name).string() + "'",
            name + "-render");
    EXPECT_EQ(render.status, 0) << render.output;
    EXPECT_EQ(render.output, "");

    const std::vector<const FontEntry*> fonts = drawing.documentFonts();
    const testing::ToolRun listed = testing::runTool("pdffonts '" + pdf + "'", name + "-fonts");
    ASSERT_EQ(listed.status, 0) << listed.output;
    std::istringstream lines(listed.output);
    std::string line;
    std::size_t count = 0;
    for (int header = 0; header < 2 && std::getline(lines, line); ++header) { }
    while (std::getline(lines, line)) {
        SCOPED_TRACE(line);
        ASSERT_LT(count, fonts.size());
        const FontEntry& font = *fonts[count++];
        EXPECT_NE(line.find(font.isTrueType() ? "TrueType" : "Type 1"), std::string::npos);
        // Symbol fonts keep their own encoding (Symbol's, ZapfDingbats', ...).
        EXPECT_EQ(line.find("WinAnsi") != std::string::npos, !font.metrics().symbol);
    }
    EXPECT_EQ(count, fonts.size());

    const testing::ToolRun text = testing::runTool("pdftotext -raw '" + pdf + "' -", name + "-text");
    ASSERT_EQ(text.status, 0) << text.output;
    const std::string words = normalisedWords(text.output);
    std::size_t at = 0;
    for (const auto& object : drawing.objects()) {
        const auto* t = dynamic_cast<const TextObject*>(object.get());
        if (!t || (t->font() && t->font()->metrics().symbol))
            continue;
        const std::string expected = normalisedWords(t->text());
        const std::size_t found = words.find(expected, at);
        EXPECT_NE(found, std::string::npos) << expected;
        if (found != std::string::npos)
            at = found + expected.size();
    }
}

INSTANTIATE_TEST_SUITE_P(Drawings, PdfRefereeTest,
    ::testing::Values(Case { "empty", [](Drawing&, const FontLookup&) { }, 0, 0, 0 }, Case { "sample", sample, 0, 0, 0 },
        Case { "images300", images300, 0, 0, 0 }, Case { "fonts300", fonts300, 0, 0, 0 },
        Case { "text500", manyTexts, 0, 0, 0 }),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

} // namespace
} // namespace zavora
