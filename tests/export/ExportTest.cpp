// The one export routine: which kinds its factory builds, PNG through the same
// road as every other file, failures that keep the earlier file, and the walk
// of some objects only.
#include "export/Export.h"

// Model headers before any Qt header: Qt defines `emit` as a macro.
#include "fonts/Type1Font.h"
#include "model/Drawing.h"
#include "model/OutputPort.h"
#include "model/ProgressMonitor.h"
#include "model/GroupObject.h"
#include "model/ImageObject.h"
#include "model/ShapeObjects.h"
#include "model/TextObject.h"
#include "output/Traversal.h"
#include "platform/OutputStream.h"
#include "platform/Reporter.h"

#include "platform/qt/QtPngEncoder.h"
#include "platform/qt/QtRasterSurface.h"

#include "BitmapTestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <algorithm>
#include <cstring>
#include <iterator>
#include <set>

namespace zavora {
namespace {

namespace fs = std::filesystem;

std::unique_ptr<RectangleObject> filledRect(float x1, float y1, float x2, float y2, const Color& fill)
{
    auto r = std::make_unique<RectangleObject>(x1, y1, x2, y2);
    r->setFillColor(fill);
    r->setLineInvisible();
    return r;
}

std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class FailingEncoder : public PngEncoder {
public:
    bool encode(const RgbImageView&, std::vector<uint8_t>&) override { return false; }
};

class ExportRoutine : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(folder);
        // A red 50 x 60 rectangle and, far from it, a blue one.
        drawing.append(filledRect(100, 200, 150, 260, { 100, 0, 0 }));
        drawing.append(filledRect(400, 500, 420, 510, { 0, 0, 100 }));
        options.surfaces = &surfaces;
        options.pngEncoder = &encoder;
        options.clock = [] { return std::tm {}; };
    }
    void TearDown() override { fs::remove_all(folder); }

    const fs::path folder = fs::temp_directory_path() / "zavora-export-test";
    Drawing drawing;
    QtSurfaceFactory surfaces;
    QtPngEncoder encoder;
    ExportOptions options;
};

TEST_F(ExportRoutine, FactoryBuildsTheKindsThisVersionWrites)
{
    std::set<ExportKind> built, withoutRaster;
    for (int code = 1; code <= 14; ++code) {
        MemoryOutputStream stream;
        if (makeExportPort(ExportKind(code), stream, options))
            built.insert(ExportKind(code));
        if (isExportAvailable(ExportKind(code)))
            withoutRaster.insert(ExportKind(code));
    }
    EXPECT_EQ(built,
        (std::set { ExportKind::Native, ExportKind::Form, ExportKind::Eps, ExportKind::PostScript, ExportKind::Png }));
    // Page images, and the EPS preview, need the platform's surfaces and encoder.
    EXPECT_EQ(withoutRaster, (std::set { ExportKind::Native, ExportKind::Form, ExportKind::Eps, ExportKind::PostScript }));
    ExportOptions preview;
    preview.preview = true;
    EXPECT_FALSE(isExportAvailable(ExportKind::Eps, preview));
}

TEST_F(ExportRoutine, PngIsWrittenThroughTheRoutineAtTheChosenResolution)
{
    const fs::path path = folder / "page.png";
    for (float f : { 1.0f, 2.0f }) {
        SCOPED_TRACE(f);
        options.pixelsPerPoint = f;
        ASSERT_TRUE(exportToFile(drawing, ExportKind::Png, path.string(), options, nullptr));
        const QImage back(QString::fromStdString(path.string()));
        // The page box: the drawing's box (100, 200)-(420, 510) plus 9 points.
        ASSERT_EQ(back.width(), int(339 * f));
        ASSERT_EQ(back.height(), int(329 * f));
        // (px, py) -> (f (px - 90), f (519 - py)).
        auto at = [&](float px, float py) {
            return back.pixel(int(f * (px - 90)), int(f * (519 - py))) & 0xffffff;
        };
        EXPECT_EQ(at(125, 230), 0xff0000u);
        EXPECT_EQ(at(410, 505), 0x0000ffu);
        EXPECT_EQ(at(300, 400), 0xffffffu);
    }
}

TEST_F(ExportRoutine, FailuresKeepTheEarlierFile)
{
    const fs::path path = folder / "page.png";
    ASSERT_TRUE(exportToFile(drawing, ExportKind::Png, path.string(), options, nullptr));
    const std::string earlier = slurp(path);

    RecordingReporter messages;
    FailingEncoder failing;
    options.pngEncoder = &failing;
    EXPECT_FALSE(exportToFile(drawing, ExportKind::Png, path.string(), options, nullptr));
    EXPECT_EQ(messages.last(Reporter::Kind::Error), "Not enough memory");

    // A page beyond the pixel budget is refused before anything is drawn.
    messages.clear();
    options.pngEncoder = &encoder;
    options.pixelsPerPoint = 1000;
    EXPECT_FALSE(exportToFile(drawing, ExportKind::Png, path.string(), options, nullptr));
    EXPECT_EQ(messages.last(Reporter::Kind::Error),
        "Not enough memory\n\nTurn off smoothing or reduce size of drawing");
    EXPECT_EQ(slurp(path), earlier);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
        << "no temporary left";

    EXPECT_FALSE(exportToFile(drawing, ExportKind::Pdf, (folder / "x.pdf").string(), options, nullptr));
    EXPECT_EQ(messages.last(Reporter::Kind::Error),
        "This format cannot be written by this version:\n" + (folder / "x.pdf").string());
}

TEST_F(ExportRoutine, SomeObjectsAreFramedByTheirOwnBox)
{
    MemoryOutputStream whole, part;
    ASSERT_EQ(exportDrawing(drawing, ExportKind::PostScript, whole, options, nullptr), ExportResult::Written);
    const std::vector<DrawObject*> blue { drawing.objects()[1].get() };
    ASSERT_EQ(
        exportObjects(blue, drawing, ExportKind::PostScript, part, options, nullptr), ExportResult::Written);
    EXPECT_NE(whole.data().find("%%BoundingBox: 90 190 429 519\r\n"), std::string::npos);
    EXPECT_NE(part.data().find("%%BoundingBox: 390 490 429 519\r\n"), std::string::npos);
    // Only the blue rectangle's corner is written.
    EXPECT_NE(part.data().find("400 500"), std::string::npos);
    EXPECT_EQ(part.data().find("100 200"), std::string::npos);

    options.pixelsPerPoint = 1;
    MemoryOutputStream png;
    ASSERT_EQ(exportObjects(blue, drawing, ExportKind::Png, png, options, nullptr), ExportResult::Written);
    QImage image;
    ASSERT_TRUE(
        image.loadFromData(reinterpret_cast<const uchar*>(png.data().data()), int(png.data().size())));
    EXPECT_EQ(image.size(), QSize(39, 29));
}

// The PostScript outputs of one landscape drawing (the page box is
// 90 190 429 519): only the EPS turns the page and swaps its box, and only
// the EPS and the form keep showpage from the placing program.
TEST_F(ExportRoutine, PostScriptOutputsDifferInTheirFrame)
{
    drawing.setLandscape(true);
    options.formName = "Frame";
    const struct {
        std::optional<ExportKind> kind; // none: the print job
        const char* start;
        const char* orientation; // nullptr: no orientation line
        const char* box;
        bool turned;
        const char* end;
    } cases[] = {
        { ExportKind::PostScript, "%!PS-Adobe-3.0 EPSF-3.0\r\n", "Landscape", "90 190 429 519", false,
            "end\r\nshowpage\r\n%%EOF\r\n" },
        { ExportKind::Eps, "%!PS-Adobe-3.0 EPSF-3.0\r\n", nullptr, "90 190 419 529", true,
            "end\r\n% showpage\r\n%%EOF\r\n" },
        { ExportKind::Form, "%!\r\n%%Creator", "Landscape", "90 190 429 519", false,
            "/Frame Frame /Form defineresource pop\r\n% /Frame /Form findresource execform\r\n% showpage\r\n%%EOF\r\n" },
        { std::nullopt, "%!PS-Adobe-3.0\r\n%!PS-Adobe-3.0 EPSF-3.0\r\n", "Landscape", "90 190 429 519", false,
            "end\r\nshowpage\r\n%%EOF\r\n" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        MemoryOutputStream stream;
        if (c.kind)
            ASSERT_EQ(exportDrawing(drawing, *c.kind, stream, options, nullptr), ExportResult::Written);
        else
            ASSERT_TRUE(printDrawing(drawing, stream, FontDownloadForm::Type42));
        const std::string& out = stream.data();
        EXPECT_EQ(out.rfind(c.start, 0), 0u);
        const std::size_t orientation = out.find("%%Orientation:");
        if (c.orientation)
            EXPECT_EQ(out.substr(orientation + 15, std::strlen(c.orientation)), c.orientation);
        else
            EXPECT_EQ(orientation, std::string::npos);
        EXPECT_NE(out.find(std::string("%%BoundingBox: ") + c.box + "\r\n"), std::string::npos);
        EXPECT_EQ(out.find("-90 rotate") != std::string::npos, c.turned);
        EXPECT_TRUE(out.ends_with(c.end)) << out.substr(out.size() - 80);
    }
}

TEST_F(ExportRoutine, EpsPreviewIsATiffInFrontOfThePostScript)
{
    if (!bitmaptest::haveTool("tiffinfo", "libtiff-tools") || !bitmaptest::haveTool("epstool", "epstool"))
        return;
    struct StageMonitor : ProgressMonitor {
        std::vector<std::string> stages;
        void start(int) override { }
        void step() override { }
        bool cancelled() const override { return false; }
        void setStage(const char* text) override { stages.push_back(text); }
    } monitor;
    const fs::path path = folder / "preview.eps";
    options.preview = true;
    ASSERT_TRUE(exportToFile(drawing, ExportKind::Eps, path.string(), options, &monitor));
    EXPECT_EQ(monitor.stages, (std::vector<std::string> { "Preparing preview image...", "Exporting EPS..." }));
    const std::string file = slurp(path);
    ASSERT_GT(file.size(), 30u);
    auto field = [&](std::size_t at) {
        uint32_t value = 0;
        for (int b = 3; b >= 0; --b)
            value = value << 8 | uint8_t(file[at + b]);
        return value;
    };
    EXPECT_EQ(file.substr(0, 4), "\xC5\xD0\xD3\xC6");
    const uint32_t psStart = field(4), psLength = field(8), tiffStart = field(20), tiffLength = field(24);
    EXPECT_EQ(field(12), 0u);
    EXPECT_EQ(field(16), 0u);
    EXPECT_EQ(file.substr(28, 2), "\xFF\xFF");
    EXPECT_EQ(tiffStart, 30u);
    EXPECT_EQ(tiffStart + tiffLength, psStart);
    ASSERT_EQ(psStart + psLength, file.size());
    const std::string postScript = file.substr(psStart);
    EXPECT_TRUE(postScript.starts_with("%!PS-Adobe-3.0 EPSF-3.0\r\n"));
    // The preview shows through where the placing program draws nothing.
    EXPECT_NE(postScript.find("closepath clip\r\n1 1 1 setrgbcolor fill\r\n"), std::string::npos);

    const fs::path tiff = folder / "cut.tif";
    std::ofstream(tiff, std::ios::binary) << file.substr(tiffStart, tiffLength);
    const bitmaptest::ToolRun info = bitmaptest::runTool("tiffinfo '" + tiff.string() + "'");
    EXPECT_EQ(info.status, 0) << info.output;
    EXPECT_NE(info.output.find("Image Width: 339 Image Length: 329"), std::string::npos) << info.output;
    // A program that handles EPS files finds the same parts and the box.
    const bitmaptest::ToolRun dump = bitmaptest::runTool("epstool --dump '" + path.string() + "'");
    EXPECT_EQ(dump.status, 0) << dump.output;
    EXPECT_NE(dump.output.find(formatLocaleFree("doseps: ps=%u %u  wmf=0 0  tiff=30 %u", psStart, psLength, tiffLength)),
        std::string::npos) << dump.output;
    EXPECT_NE(dump.output.find("boundingbox 90 190 429 519\n"), std::string::npos) << dump.output;
    EXPECT_NE(dump.output.find("preview type TIFF"), std::string::npos) << dump.output;
}

// Each image becomes a grey array ahead of the PaintProc; the counter names
// arrays and uses alike, in drawing order, groups included.
TEST_F(ExportRoutine, FormNamesItsImageArraysInDrawingOrder)
{
    auto image = [](uint8_t red) {
        auto i = std::make_unique<ImageObject>();
        EXPECT_TRUE(i->allocatePixels(2, 1));
        i->setPixel(0, 0, { red, 0, 0 });
        i->setPixel(1, 0, { 0, 0, 255 });
        i->setMatrix(Matrix { 20, 0, 0, 10, 30, 40 });
        return i;
    };
    drawing.append(image(255));
    auto group = std::make_unique<GroupObject>();
    group->appendChild(image(100));
    drawing.append(std::move(group));
    options.formName = "two images";
    MemoryOutputStream stream;
    ASSERT_EQ(exportDrawing(drawing, ExportKind::Form, stream, options, nullptr), ExportResult::Written);
    const std::string& out = stream.data();
    const std::size_t paint = out.find("/PaintProc {");
    ASSERT_NE(paint, std::string::npos);
    // Grey is (30 R + 59 G + 11 B) / 100: 76 and 30 for the reds, 28 for the blue.
    const std::size_t first = out.find("1 array dup /bmp0000 exch def\r\ndup 0 <4c1c> put\r\npop\r\n");
    const std::size_t second = out.find("1 array dup /bmp0001 exch def\r\ndup 0 <1e1c> put\r\npop\r\n");
    EXPECT_LT(first, second);
    EXPECT_LT(second, paint);
    const std::size_t use0 = out.find("bmp0000 [20 0 0 10 30 40] 2 1 imga\r\n");
    const std::size_t use1 = out.find("bmp0001 [20 0 0 10 30 40] 2 1 imga\r\n");
    EXPECT_LT(paint, use0);
    EXPECT_LT(use0, use1);
    EXPECT_NE(use1, std::string::npos);
    // A name with a space would end the name early in the program.
    EXPECT_NE(out.find("/two_images two_images /Form defineresource pop"), std::string::npos);
}

// A Type 1 font under a name no interpreter knows: only the downloaded
// program can draw it, so a substitution message means the download failed.
TEST_F(ExportRoutine, DownloadedType1FontIsTheOneTheInterpreterUses)
{
    const fs::path urw = "/usr/share/fonts/type1/urw-base35";
    const fs::path pfb = "/usr/share/fonts/X11/Type1/NimbusSans-Regular.pfb";
    ASSERT_TRUE(fs::exists(urw / "NimbusSans-Regular.afm") && fs::exists(pfb))
        << "the URW fonts (fonts-urw-base35, gsfonts-x11) are needed";
    const Type1Font font("Zavora Test Sans", 0, "ZavoraTestSans", urw / "NimbusSans-Regular.afm", pfb);
    auto text = std::make_unique<TextObject>("Hamburgefonts", &font, 24, 28, TextAlign::Left);
    text->setFrame({ 20, 20 }, { 220, -20 });
    drawing.append(std::move(text));
    for (bool include : { true, false }) {
        SCOPED_TRACE(include);
        options.includeFonts = include;
        MemoryOutputStream stream;
        ASSERT_EQ(exportDrawing(drawing, ExportKind::Eps, stream, options, nullptr), ExportResult::Written);
        const std::string& out = stream.data();
        const std::size_t begin = out.find("%%BeginResource: font ZavoraTestSans\r\n");
        ASSERT_EQ(begin != std::string::npos, include);
        if (include) {
            const std::string resource = out.substr(begin, out.find("%%EndResource", begin) - begin);
            EXPECT_NE(resource.find("/FontName /ZavoraTestSans def"), std::string::npos);
            // The binary segments of the .pfb arrive as text.
            EXPECT_TRUE(std::all_of(resource.begin(), resource.end(),
                [](char c) { return c == '\r' || c == '\n' || c == '\t' || (c >= 32 && c < 127); }));
        }
        const testing::GhostscriptRun gs
            = testing::runGhostscript(out, include ? "download" : "nodownload", "-dNOFONTMAP -sDEVICE=nullpage");
        const bool substituted = gs.messages.find("ZavoraTestSans") != std::string::npos;
        EXPECT_EQ(substituted, !include) << gs.messages;
        if (include)
            EXPECT_TRUE(gs.ok()) << gs.messages;
    }
}

// Each port keeps its own record of what its output already holds, so two
// outputs written side by side (a document and its preview, a copy taken
// during an export) come out as each would alone.
TEST_F(ExportRoutine, TwoPostScriptPortsWriteAtOnce)
{
    drawing.append(filledRect(10, 10, 20, 20, { 100, 0, 0 }));
    auto alone = [&](ExportKind kind) {
        MemoryOutputStream stream;
        EXPECT_EQ(exportDrawing(drawing, kind, stream, options, nullptr), ExportResult::Written);
        return stream.data();
    };
    MemoryOutputStream nativeStream, postScriptStream;
    const auto native = makeExportPort(ExportKind::Native, nativeStream, options);
    const auto postScript = makeExportPort(ExportKind::PostScript, postScriptStream, options);
    const DocumentInfo info = documentInfoFor(drawing, RenderOptions {});
    native->beginPage(info, false, nullptr);
    postScript->beginPage(info, false, nullptr);
    for (const auto& object : drawing.objects()) {
        object->emit(*native);
        object->emit(*postScript);
    }
    native->endPage(nullptr);
    postScript->endPage(nullptr);
    EXPECT_EQ(nativeStream.data(), alone(ExportKind::Native));
    EXPECT_EQ(postScriptStream.data(), alone(ExportKind::PostScript));
}

} // namespace
} // namespace zavora
