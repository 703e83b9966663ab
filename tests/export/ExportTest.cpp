// The one export routine: which kinds its factory builds, PNG through the same
// road as every other file, failures that keep the earlier file, and the walk
// of some objects only.
#include "export/Export.h"

// Model headers before any Qt header: Qt defines `emit` as a macro.
#include "model/Drawing.h"
#include "model/OutputPort.h"
#include "model/ShapeObjects.h"
#include "output/Traversal.h"
#include "platform/OutputStream.h"
#include "platform/Reporter.h"

#include "platform/jpeg/TurboJpegEncoder.h"
#include "platform/qt/QtPngEncoder.h"
#include "platform/qt/QtRasterSurface.h"

#include "BitmapTestSupport.h"
#include "model/ProgressMonitor.h"
#include "tests/support/PageImage.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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

std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
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
        (std::set { ExportKind::Native, ExportKind::PostScript, ExportKind::Bmp, ExportKind::Tiff, ExportKind::Gif,
            ExportKind::Svg, ExportKind::Jpeg, ExportKind::Png }));
    // Page images need the platform's surfaces and encoder.
    EXPECT_EQ(withoutRaster, (std::set { ExportKind::Native, ExportKind::PostScript, ExportKind::Svg }));
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
    ExhaustedEncoder exhausted;
    options.pngEncoder = &exhausted;
    EXPECT_FALSE(exportToFile(drawing, ExportKind::Png, path.string(), options, nullptr));
    EXPECT_EQ(messages.last(Reporter::Kind::Error), kPageMemoryMessage);
    FailingJpegEncoder failingJpeg;
    options.jpegEncoder = &failingJpeg;
    EXPECT_FALSE(exportToFile(drawing, ExportKind::Jpeg, path.string(), options, nullptr));
    EXPECT_EQ(messages.last(Reporter::Kind::Error), "Could not write the JPEG image:\nOut of memory");

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

// Every bitmap kind, plain and smoothed, read back by another program: the
// lossless ones give exactly our page render (smoothed: each pixel the
// average of its f x f block), JPEG comes close.
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
            std::optional<testing::Raster> decoded;
            if (k.kind == ExportKind::Jpeg) {
                ASSERT_TRUE(bitmaptest::haveTool("djpeg", "libjpeg-turbo-progs"));
                const auto run = bitmaptest::runTool("djpeg -pnm -outfile '" + path.string() + ".ppm' '" + path.string() + "'");
                ASSERT_EQ(run.status, 0) << run.output;
                decoded.emplace();
                ASSERT_TRUE(testing::parsePpm(slurp(path.string() + ".ppm"), *decoded));
            } else {
                decoded = bitmaptest::decodeWithImageMagick(path);
                ASSERT_TRUE(decoded);
            }
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
    class Monitor : public ProgressMonitor {
    public:
        explicit Monitor(std::string cancelAt)
            : m_cancelAt(std::move(cancelAt))
        { }
        void start(int) override { }
        void step() override { }
        bool cancelled() const override { return !m_cancelAt.empty() && !messages.empty() && messages.back() == m_cancelAt; }
        void setMessage(const char* text) override { messages.push_back(text); }
        std::vector<std::string> messages;

    private:
        std::string m_cancelAt;
    };
    options.smoothing = Smoothing::Double;
    const std::vector<std::string> stages { "Allocating memory...", "Exporting...", "Processing...", "Optimizing colors..." };
    Monitor whole("");
    MemoryOutputStream written;
    ASSERT_EQ(exportDrawing(drawing, ExportKind::Gif, written, options, &whole), ExportResult::Written);
    EXPECT_EQ(whole.messages, stages);
    for (const std::string& stage : stages) {
        SCOPED_TRACE(stage);
        Monitor monitor(stage);
        MemoryOutputStream stream;
        EXPECT_EQ(exportDrawing(drawing, ExportKind::Gif, stream, options, &monitor), ExportResult::Cancelled);
        EXPECT_TRUE(stream.data().empty());
    }
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
