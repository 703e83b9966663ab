#include "raster/PageRenderer.h"

// Model headers before any Qt header: Qt defines `emit` as a macro.
#include "model/Drawing.h"
#include "model/ShapeObjects.h"
#include "output/Traversal.h"
#include "platform/Reporter.h"

#include "platform/qt/QtRasterSurface.h"


#include <gtest/gtest.h>


namespace zavora {
namespace {

uint32_t pixelAt(const RgbImage& image, int x, int y)
{
    const size_t at = (size_t(y) * size_t(image.width) + size_t(x)) * 3;
    return uint32_t(image.pixels[at]) << 16 | uint32_t(image.pixels[at + 1]) << 8 | image.pixels[at + 2];
}

std::unique_ptr<RectangleObject> filledRect(float x1, float y1, float x2, float y2, const Color& fill)
{
    auto r = std::make_unique<RectangleObject>(x1, y1, x2, y2);
    r->setFillColor(fill);
    r->setLineInvisible();
    return r;
}

// A red 50 x 60 rectangle with a small blue one in its bottom-left corner, so
// that a mirrored or turned page shows.
class PageRendererTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        drawing.append(filledRect(100, 200, 150, 260, { 100, 0, 0 }));
        drawing.append(filledRect(100, 200, 110, 205, { 0, 0, 100 }));
    }
    Drawing drawing;
    QtSurfaceFactory factory;
    RenderOptions options; // margin 9: page box 90, 190, 159, 269
};

TEST_F(PageRendererTest, PagesMapPointsDownFromTheTopOfTheBoxOrTurnThePageWidthDown)
{
    for (bool landscape : { false, true }) {
        for (float f : { 1.0f, 3.0f }) {
            SCOPED_TRACE(std::string(landscape ? "landscape " : "portrait ") + std::to_string(f));
            drawing.setLandscape(landscape);
            const std::optional<RgbImage> image = renderPage(drawing, factory, { f, false }, options);
            ASSERT_TRUE(image);
            EXPECT_EQ(image->width, int((landscape ? 79 : 69) * f));
            EXPECT_EQ(image->height, int((landscape ? 69 : 79) * f));
            // Portrait (px, py) -> (f (px - 90), f (269 - py)); landscape (f (py - 190), f (px - 90)).
            auto at = [&](float px, float py) {
                return landscape ? pixelAt(*image, int(f * (py - 190)), int(f * (px - 90)))
                                 : pixelAt(*image, int(f * (px - 90)), int(f * (269 - py)));
            };
            EXPECT_EQ(at(125, 230), 0xff0000u);
            EXPECT_EQ(at(104, 202), 0x0000ffu);
            EXPECT_EQ(at(146, 202), 0xff0000u);
            EXPECT_EQ(at(104, 256), 0xff0000u);
            EXPECT_EQ(at(95, 230), 0xffffffu) << "the margin";
            EXPECT_EQ(at(125, 265), 0xffffffu) << "the margin";
        }
    }
}

TEST_F(PageRendererTest, WidePensAreScaledWithTheResolution)
{
    Drawing lines;
    auto line = std::make_unique<LineObject>(0, 50, 100, 50);
    line->setLineWidth(2);
    lines.append(std::move(line));
    const std::optional<RgbImage> image = renderPage(lines, factory, { 3, false }, options);
    ASSERT_TRUE(image);
    int ink = 0;
    const int x = image->width / 2;
    for (int y = 0; y < image->height; ++y)
        ink += pixelAt(*image, x, y) != 0xffffffu;
    EXPECT_EQ(ink, 6);
}

TEST_F(PageRendererTest, AnImpossibleSizeIsReportedAndNothingIsMade)
{
    RecordingReporter messages;
    EXPECT_FALSE(renderPage(drawing, factory, { 100000, false }, options));
    EXPECT_EQ(messages.last(Reporter::Kind::Error),
        "Not enough memory\n\nTurn off smoothing or reduce size of drawing");
    messages.clear();
    EXPECT_FALSE(renderPage(drawing, factory, { 0, false }, options));
    EXPECT_FALSE(renderPage(drawing, factory, { std::numeric_limits<float>::quiet_NaN(), false }, options));
}

} // namespace
} // namespace zavora
