#include "raster/PageRenderer.h"
#include "tests/support/PageImage.h"

#include "../output/PostScriptTestSupport.h"
#include "../output/ZvxReaderTestSupport.h"

// Model headers before any Qt header: Qt defines `emit` as a macro.
#include "model/Drawing.h"
#include "export/Export.h"
#include "fonts/FontCatalogue.h"
#include "model/ShapeObjects.h"
#include "model/TextObject.h"
#include "output/Traversal.h"
#include "platform/FontSystem.h"
#include "platform/OutputStream.h"
#include "platform/Profile.h"
#include "platform/Reporter.h"

#include "platform/qt/QtRasterSurface.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>

namespace zavora {
namespace {

using pageimage::renderPage;

uint32_t pixelAt(const RgbImage& image, int x, int y)
{
    const size_t at = (size_t(y) * size_t(image.width) + size_t(x)) * 3;
    return uint32_t(image.pixels[at]) << 16 | uint32_t(image.pixels[at + 1]) << 8 | image.pixels[at + 2];
}

// A red 50 x 60 rectangle with a small blue one in its bottom-left corner, so
// that a mirrored or turned page shows.
class PageRendererTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (auto [x2, y2, fill] :
            { std::tuple { 150.0f, 260.0f, Color { 100, 0, 0 } }, { 110.0f, 205.0f, Color { 0, 0, 100 } } }) {
            DrawObject* r = drawing.append(std::make_unique<RectangleObject>(100, 200, x2, y2));
            r->setFillColor(fill);
            r->setLineInvisible();
        }
    }
    Drawing drawing;
    QtSurfaceFactory factory;
    RenderOptions options; // margin 9: page box 90, 190, 159, 269
};

// Upright, drawing (px, py) is pixel (f (px - 90), f (269 - py)); landscape
// turns the page width down: (f (py - 190), f (px - 90)).
TEST_F(PageRendererTest, PagesPlaceTheDrawingUprightOrTurned)
{
    for (bool landscape : { false, true })
        for (float f : { 1.0f, 3.0f }) {
            SCOPED_TRACE(::testing::Message() << (landscape ? "landscape " : "upright ") << f);
            drawing.setLandscape(landscape);
            const std::optional<RgbImage> image = renderPage(drawing, factory, { f, false }, options);
            ASSERT_TRUE(image);
            EXPECT_EQ(image->width, int((landscape ? 79 : 69) * f));
            EXPECT_EQ(image->height, int((landscape ? 69 : 79) * f));
            auto at = [&](float px, float py) {
                return landscape ? pixelAt(*image, int(f * (py - 190)), int(f * (px - 90)))
                                 : pixelAt(*image, int(f * (px - 90)), int(f * (269 - py)));
            };
            EXPECT_EQ(at(125, 230), 0xff0000u);
            EXPECT_EQ(at(104, 202), 0x0000ffu);
            EXPECT_EQ(at(146, 202), 0xff0000u);
            EXPECT_EQ(at(104, 256), 0xff0000u);
            EXPECT_EQ(at(95, 230), 0xffffffu) << "the margin";
        }
}

// Too large a page is reported through the export routine; its tests read the message.
TEST_F(PageRendererTest, NoImageForAZeroOrUndefinedResolution)
{
    EXPECT_FALSE(renderPage(drawing, factory, { 0, false }, options));
    EXPECT_FALSE(renderPage(drawing, factory, { std::numeric_limits<float>::quiet_NaN(), false }, options));
}

// A listed Type 1 font whose files are gone: reported once, laid out, drawn
// and saved as the default font, so the text keeps its frame and its place.
TEST(PageRendererFonts, TextInAFontWhoseFilesAreGoneTakesTheDefaultFont)
{
    const std::filesystem::path dir = testing::scratchDirectory() / "gone-font";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "atm.ini") << "[Fonts]\nGone=" << (dir / "gone.pfm").string() << ","
                                   << (dir / "gone.pfb").string() << "\n\n";
    std::ofstream(dir / "zavora.ini") << "[Fonts]\nGone=GoneSans\n";
    Profile settings(dir / "zavora.ini");
    FontCatalogue catalogue(systemFontSystem(), settings, dir / "atm.ini");
    catalogue.load();
    const FontEntry* gone = catalogue.find("GoneSans");
    const FontEntry* helvetica = catalogue.find("Helvetica");
    ASSERT_NE(gone, nullptr);
    ASSERT_NE(helvetica, nullptr) << "the standard fonts (fonts-urw-base35) are needed";

    RecordingReporter messages;
    Drawing lost, standard;
    for (int line = 0; line < 2; ++line)
        for (auto [drawing, font] : { std::pair { &lost, gone }, std::pair { &standard, helvetica } }) {
            auto t
                = std::make_unique<TextObject>("Words that must stay visible", font, 24, 26, TextAlign::Left);
            t->translate(30, 400 - 100 * float(line));
            drawing->append(std::move(t));
        }
    EXPECT_EQ(messages.messages(),
        (std::vector<RecordingReporter::Message> {
            { Reporter::Kind::Error, "Error: FreeType can't image selected font GoneSans." } }));
    EXPECT_EQ(lost.objects()[0]->boundingBox(), standard.objects()[0]->boundingBox());

    QtSurfaceFactory factory;
    const std::optional<RgbImage> ours = renderPage(lost, factory, { 1, false }, RenderOptions {});
    const std::optional<RgbImage> theirs = renderPage(standard, factory, { 1, false }, RenderOptions {});
    ASSERT_TRUE(ours && theirs);
    EXPECT_TRUE(ours->pixels == theirs->pixels);
    EXPECT_TRUE(std::count(ours->pixels.begin(), ours->pixels.end(), 0) > 100) << "ink on the page";

    MemoryOutputStream file;
    ASSERT_TRUE(file.open());
    ASSERT_EQ(exportDrawing(lost, ExportKind::Native, file, ExportOptions {}, nullptr), ExportResult::Written);
    file.close();
    EXPECT_NE(file.data().find("/_GoneSans"), std::string::npos) << "the file keeps the font's name";
    const readtest::ReadOutcome back = readtest::readText(file.data());
    ASSERT_EQ(back.result, ZvxReadResult::Read);
    ASSERT_EQ(back.objects.size(), 2u);
    EXPECT_EQ(back.objects[0]->boundingBox(), standard.objects()[0]->boundingBox());
    EXPECT_EQ(messages.messages().size(), 1u);
}

} // namespace
} // namespace zavora
