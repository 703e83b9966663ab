// The one export routine: which kinds its factory builds, failures that keep
// the earlier file, and the walk of some objects only.
#include "export/Export.h"

// Model headers before any Qt header: Qt defines `emit` as a macro.
#include "fonts/Type1Font.h"
#include "model/Drawing.h"
#include "model/OutputPort.h"
#include "model/ProgressMonitor.h"
#include "model/ShapeObjects.h"
#include "model/TextObject.h"
#include "output/Traversal.h"
#include "platform/OutputStream.h"
#include "platform/Reporter.h"

#include "platform/jpeg/TurboJpegEncoder.h"
#include "platform/qt/QtPngEncoder.h"
#include "platform/qt/QtRasterSurface.h"

#include "BitmapTestSupport.h"
#include "tests/support/PageImage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>
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

class FailingEncoder : public PngEncoder {
public:
    bool encode(const RgbImageView&, std::vector<uint8_t>&) override { return false; }
};

// A picture too big for the encoder's tables.
class ExhaustedEncoder : public PngEncoder {
public:
    bool encode(const RgbImageView&, std::vector<uint8_t>&) override { throw std::bad_alloc(); }
};

class FailingJpegEncoder : public JpegEncoder {
public:
    bool encode(const RgbImageView&, int, std::vector<uint8_t>&, std::string& error) override
    {
        error = "Out of memory";
        return false;
    }
};

// Records the stage messages; cancels once the stage named is reached.
class StageMonitor : public ProgressMonitor {
public:
    explicit StageMonitor(std::string cancelAt = {})
        : m_cancelAt(std::move(cancelAt))
    { }
    void start(int) override { }
    void step() override { }
    bool cancelled() const override
    {
        return !m_cancelAt.empty() && !messages.empty() && messages.back() == m_cancelAt;
    }
    void setMessage(const char* text) override { messages.push_back(text); }
    std::vector<std::string> messages;

private:
    std::string m_cancelAt;
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
        options.jpegEncoder = &jpeg;
        options.clock = [] { return std::tm {}; };
    }
    void TearDown() override { fs::remove_all(folder); }

    const fs::path folder = fs::temp_directory_path() / "zavora-export-test";
    Drawing drawing;
    QtSurfaceFactory surfaces;
    QtPngEncoder encoder;
    TurboJpegEncoder jpeg;
    ExportOptions options;
};

TEST_F(ExportRoutine, WithoutRasterServicesOnlyVectorKindsAreAvailable)
{
    std::set<ExportKind> withoutRaster;
    for (int code = 1; code <= 14; ++code)
        if (isExportAvailable(ExportKind(code)))
            withoutRaster.insert(ExportKind(code));
    // Page images, and the EPS preview, need the platform's surfaces and encoder.
    EXPECT_EQ(withoutRaster,
        (std::set { ExportKind::Native, ExportKind::Form, ExportKind::Eps, ExportKind::PostScript,
            ExportKind::Illustrator, ExportKind::Metafile, ExportKind::Pdf, ExportKind::Svg }));
    ExportOptions preview;
    preview.preview = true;
    EXPECT_FALSE(isExportAvailable(ExportKind::Eps, preview));
}

TEST_F(ExportRoutine, FailuresKeepTheEarlierFile)
{
    const fs::path path = folder / "page.png";
    ASSERT_TRUE(exportToFile(drawing, ExportKind::Png, path.string(), options, nullptr));
    const std::string earlier = testing::readFile(path);

    RecordingReporter messages;
    FailingEncoder failing;
    options.pngEncoder = &failing;
    EXPECT_FALSE(exportToFile(drawing, ExportKind::Png, path.string(), options, nullptr));
    EXPECT_EQ(messages.last(Reporter::Kind::Error), "Not enough memory");
    ExhaustedEncoder exhausted;
    options.pngEncoder = &exhausted;
    EXPECT_FALSE(exportToFile(drawing, ExportKind::Png, path.string(), options, nullptr));
    FailingJpegEncoder failingJpeg;
    options.jpegEncoder = &failingJpeg;
    EXPECT_FALSE(exportToFile(drawing, ExportKind::Jpeg, path.string(), options, nullptr));
    EXPECT_NE(messages.last(Reporter::Kind::Error).find("Out of memory"), std::string::npos) << "the reason";

    // A page beyond the pixel budget is refused before anything is drawn.
    messages.clear();
    options.pngEncoder = &encoder;
    options.pixelsPerPoint = 1000;
    EXPECT_FALSE(exportToFile(drawing, ExportKind::Png, path.string(), options, nullptr));
    EXPECT_NE(messages.last(Reporter::Kind::Error), "");
    EXPECT_EQ(testing::readFile(path), earlier);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
        << "no temporary left";

    options.surfaces = nullptr;
    EXPECT_FALSE(exportToFile(drawing, ExportKind::Png, (folder / "x.png").string(), options, nullptr));
    EXPECT_EQ(messages.last(Reporter::Kind::Error),
        "This format cannot be written by this version:\n" + (folder / "x.png").string());
}

// Every bitmap kind, plain and smoothed, read back by another program: the
// lossless ones give exactly our page render (smoothed: f x f block averages).
TEST_F(ExportRoutine, BitmapsDecodeToOurPageRender)
{
    // Diagonal wide lines give the smoothed render blocks of mixed colours.
    auto line = std::make_unique<LineObject>(120, 220, 380, 480);
    line->setLineWidth(7);
    line->setLineColor({ 0, 60, 0 });
    drawing.append(std::move(line));
    auto thin = std::make_unique<LineObject>(110, 480, 410, 230);
    thin->setLineColor({ 20, 40, 90 });
    drawing.append(std::move(thin));

    const struct {
        ExportKind kind;
        const char* extension;
    } kinds[] = {
        { ExportKind::Bmp, "bmp" }, { ExportKind::Tiff, "tif" }, { ExportKind::Gif, "gif" },
        { ExportKind::Png, "png" }, { ExportKind::Jpeg, "jpg" },
    };
    for (Smoothing smoothing : { Smoothing::None, Smoothing::Quadruple }) {
        // TIFF is never smoothed.
        std::map<int, RgbImage> references;
        for (int f : { 1, int(smoothing) }) {
            PageRenderSettings settings;
            settings.pixelsPerPoint = float(f);
            std::optional<RgbImage> big = pageimage::renderPage(drawing, surfaces, settings, RenderOptions {});
            ASSERT_TRUE(big);
            RgbImage averaged;
            averaged.width = big->width / f;
            averaged.height = big->height / f;
            for (int32_t y = 0; y < averaged.height; ++y)
                for (int32_t x = 0; x < averaged.width; ++x)
                    for (int c = 0; c < 3; ++c) {
                        int sum = 0;
                        for (int j = 0; j < f; ++j)
                            for (int i = 0; i < f; ++i)
                                sum += big->pixels[(size_t(y * f + j) * size_t(big->width) + size_t(x * f + i)) * 3
                                    + size_t(c)];
                        averaged.pixels.push_back(uint8_t(sum / (f * f)));
                    }
            references[f] = std::move(averaged);
        }
        for (const auto& k : kinds) {
            SCOPED_TRACE(std::string(k.extension) + " smoothing " + std::to_string(int(smoothing)));
            options.smoothing = smoothing;
            const fs::path path = folder / (std::string("page.") + k.extension);
            ASSERT_TRUE(exportToFile(drawing, k.kind, path.string(), options, nullptr));
            const RgbImage& reference = references[k.kind == ExportKind::Tiff ? 1 : int(smoothing)];
            const std::optional<testing::Raster> decoded = bitmaptest::decodeWithImageMagick(path);
            ASSERT_TRUE(decoded);
            // The page box (100, 200)-(420, 510) plus 9 points.
            EXPECT_EQ(decoded->width, 339);
            EXPECT_EQ(decoded->height, 329);
            ASSERT_EQ(decoded->rgb.size(), reference.pixels.size());
            if (k.kind == ExportKind::Jpeg)
                EXPECT_GE(bitmaptest::psnr(decoded->rgb, reference.pixels), 30.0);
            else
                EXPECT_TRUE(decoded->rgb == reference.pixels) << "decoded pixels differ from the render";
        }
    }
}

// The stages of a smoothed GIF export, and a cancel at any of them writes nothing.
TEST_F(ExportRoutine, BitmapStagesReportAndCancel)
{
    options.smoothing = Smoothing::Double;
    const std::vector<std::string> stages { "Allocating memory...", "Exporting...", "Processing...", "Optimizing colors..." };
    StageMonitor whole;
    MemoryOutputStream written;
    ASSERT_EQ(exportDrawing(drawing, ExportKind::Gif, written, options, &whole), ExportResult::Written);
    EXPECT_EQ(whole.messages, stages);
    for (const std::string& stage : stages) {
        SCOPED_TRACE(stage);
        StageMonitor monitor(stage);
        MemoryOutputStream stream;
        EXPECT_EQ(exportDrawing(drawing, ExportKind::Gif, stream, options, &monitor), ExportResult::Cancelled);
        EXPECT_TRUE(stream.data().empty());
    }
}

TEST_F(ExportRoutine, SomeObjectsAreFramedByTheirOwnBox)
{
    // The whole drawing's box is 90 190 429 519 (the frame table's).
    MemoryOutputStream part;
    const std::vector<DrawObject*> blue { drawing.objects()[1].get() };
    ASSERT_EQ(
        exportObjects(blue, drawing, ExportKind::PostScript, part, options, nullptr), ExportResult::Written);
    EXPECT_NE(part.data().find("%%BoundingBox: 390 490 429 519\r\n"), std::string::npos);
    // Only the blue rectangle's corner is written.
    EXPECT_NE(part.data().find("400 500"), std::string::npos);
    EXPECT_EQ(part.data().find("100 200"), std::string::npos);
}

// The PostScript outputs of one landscape drawing (the page box is
// 90 190 429 519): only the EPS turns the page and swaps its box, and only
// the EPS and the form keep showpage from the placing program. A space in the
// form's name would end the name early.
TEST_F(ExportRoutine, PostScriptOutputsDifferInTheirFrame)
{
    drawing.setLandscape(true);
    options.formName = "Frame one";
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
            "/Frame_one Frame_one /Form defineresource pop\r\n% /Frame_one /Form findresource execform\r\n% showpage\r\n%%EOF\r\n" },
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
    const fs::path path = folder / "preview.eps";
    options.preview = true;
    ASSERT_TRUE(exportToFile(drawing, ExportKind::Eps, path.string(), options, nullptr));
    const std::string file = testing::readFile(path);
    ASSERT_GT(file.size(), 30u);
    auto field = [&](std::size_t at) {
        uint32_t value = 0;
        for (int b = 3; b >= 0; --b)
            value = value << 8 | uint8_t(file[at + b]);
        return value;
    };
    EXPECT_EQ(file.substr(0, 4), "\xC5\xD0\xD3\xC6");
    const uint32_t psStart = field(4), psLength = field(8), tiffStart = field(20), tiffLength = field(24);
    EXPECT_EQ(tiffStart + tiffLength, psStart);
    ASSERT_EQ(psStart + psLength, file.size());
    const std::string postScript = file.substr(psStart);
    EXPECT_TRUE(postScript.starts_with("%!PS-Adobe-3.0 EPSF-3.0\r\n"));
    // The preview shows through where the placing program draws nothing.
    EXPECT_NE(postScript.find("closepath clip\r\n1 1 1 setrgbcolor fill\r\n%%EndPageSetup"), std::string::npos);
    if (!bitmaptest::haveTool("tiffinfo", "libtiff-tools") || !bitmaptest::haveTool("epstool", "epstool"))
        return;

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

// Each port keeps its own record of what its output holds: two written side
// by side (a document and its preview) come out as each would alone.
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
