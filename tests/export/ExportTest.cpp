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

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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
