#include "raster/GdiPort.h"

// Model headers before any Qt header: Qt defines `emit` as a macro.
#include "model/ImageObject.h"

#include "ImageCheck.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zavora {
namespace {

constexpr uint32_t kWhite = 0xffffff;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kRed = 0xff0000;
const Matrix kIdentity {};

using test::countInk;

PaintStyle strokeStyle(float width)
{
    PaintStyle style;
    style.setLineWidth(width);
    return style;
}

PaintStyle filledStyle(const Color& fill, bool stroke)
{
    PaintStyle style;
    style.setFillColor(fill);
    style.setStrokeOn(stroke);
    return style;
}

// Exposes the path drawing that the bitmap export ports use.
class PathPort : public GdiPort {
public:
    using GdiPort::drawCurveAsPath;
    using GdiPort::GdiPort;
    void flushCompoundPath() override { drawPath(takePendingPath(), pendingStyle()); }
};

// Arrowhead shapes, sizes and styles are the outline geometry's; the port only fills them.
TEST(GdiPort, SolidPensAreScaledRoundedAndAtLeastOnePixelAndDashedOnesOnePixel)
{
    const struct {
        float width, scale;
        int dash, pixels;
    } cases[] = { { 0.1f, 1, kSolidDash, 1 }, { 0, 1, kSolidDash, 1 }, { 1.2f, 2, kSolidDash, 2 },
        { 1.3f, 2, kSolidDash, 3 }, { 3, 2, kSolidDash, 6 }, { 5, 2, 0, 1 } };
    for (const auto& c : cases) {
        RasterDeviceContext dc(80, 40);
        GdiPort port(dc, kIdentity);
        port.setScale(c.scale);
        PaintStyle style = strokeStyle(c.width);
        if (c.dash != kSolidDash)
            style.setDash(c.dash);
        port.line(style, kIdentity, 10, 20, 60, 20, kArrowNone, kArrowNone);
        int ink = 0;
        for (int y = 0; y < dc.height(); ++y)
            ink += dc.pixel(35, y) != kWhite;
        EXPECT_EQ(ink, c.pixels) << c.width << " x " << c.scale << " dash " << c.dash;
    }
}

TEST(GdiPort, CompoundPathsAreCollectedAndDrawnOnceWithHoles)
{
    RasterDeviceContext dc(80, 80);
    GdiPort port(dc, kIdentity);
    const PaintStyle style = filledStyle({ 0, 0, 100 }, true);
    port.beginCompoundPath();
    port.rectangle(style, kIdentity, 10, 10, 70, 70);
    port.beginCompoundPath(); // nested: still one path
    port.polyline(
        style, kIdentity, { { 30, 30 }, { 50, 30 }, { 50, 50 }, { 30, 50 } }, true, kArrowNone, kArrowBig);
    port.endCompoundPath();
    EXPECT_EQ(port.groupDepth(), 1);
    EXPECT_EQ(countInk(dc), 0); // nothing drawn while collecting
    port.endCompoundPath();
    EXPECT_TRUE(port.pendingPath().empty());
    port.endCompoundPath(); // unbalanced: ignored
    EXPECT_EQ(port.groupDepth(), 0);
    EXPECT_EQ(dc.pixel(20, 20), 0x0000ffu);
    EXPECT_EQ(dc.pixel(40, 40), kWhite); // the hole
    EXPECT_EQ(dc.pixel(10, 40), kBlack);
    EXPECT_EQ(dc.pixel(30, 40), kBlack);
}

// Turned shapes are drawn in the cross render against Ghostscript.
TEST(GdiPort, CurvesAreFlattenedInDevicePixels)
{
    // An ellipse arrives as a curve path; at 8 times magnification its area
    // must still be close to the disc's (flattened in page units it loses 10%).
    RasterDeviceContext disc(100, 100);
    GdiPort zoomed(disc, Matrix { 8, 0, 0, 8, 0, 0 });
    zoomed.ellipse(filledStyle({ 0, 0, 0 }, false), kIdentity, 6.25f, 6.25f, 5, 5);
    const double area = 3.14159265 * 40 * 40;
    EXPECT_NEAR(countInk(disc), area, area * 0.03);
    EXPECT_EQ(disc.pixel(50, 50), kBlack);
}

TEST(GdiPort, CurvePathsAsPathsKeepOpenFiguresOpenAndUseFlatEnds)
{
    const NodeList nodes { { 10, 60, 10, 60, 10, 10, 0 }, { 70, 60, 70, 10, 70, 60, 0 } };
    RasterDeviceContext dc(80, 80);
    PathPort port(dc, kIdentity);
    PaintStyle style = filledStyle({ 100, 0, 0 }, true);
    style.setLineWidth(4);
    port.drawCurveAsPath(style, kIdentity, nodes, false, kArrowNone, kArrowNone);
    EXPECT_EQ(dc.pixel(40, 40), kRed);
    EXPECT_EQ(dc.pixel(40, 59), kRed); // the closing chord is filled, not stroked
    EXPECT_EQ(dc.pixel(10, 55), kBlack);
    EXPECT_EQ(dc.pixel(10, 63), kWhite); // flat end: nothing past the end point
    EXPECT_EQ(dc.state().bkMode, BkMode::Opaque);
}

// Upright images are in the screen objects' table.
TEST(GdiPort, TurnedImagesKeepTheirFirstRowAlongTheTurnedTop)
{
    ImageObject image;
    ASSERT_TRUE(image.allocatePixels(2, 2));
    image.setPixel(0, 0, { 255, 0, 0 });
    image.setPixel(1, 0, { 0, 255, 0 });
    image.setPixel(0, 1, { 0, 0, 255 });
    image.setPixel(1, 1, { 255, 255, 0 });
    // Turned a quarter: the first row runs up the left side.
    RasterDeviceContext dc(50, 50);
    GdiPort port(dc, Matrix { 1, 0, 0, -1, 0, 50 }); // page y grows upwards, the device's downwards
    port.image(Matrix { 0, 20, -20, 0, 30, 10 }, image);
    EXPECT_EQ(dc.pixel(12, 37), 0xff0000u);
    EXPECT_EQ(dc.pixel(12, 22), 0x00ff00u);
}

TEST(GdiPort, WildCoordinatesAreClampedNotUndefined)
{
    RasterDeviceContext dc(80, 80);
    GdiPort port(dc, kIdentity);
    const PointList points { { 10, 10 }, { 1.0e30f, 10 }, { 10, 60 } };
    port.polyline(filledStyle({ 0, 0, 0 }, false), kIdentity, points, true, kArrowNone, kArrowNone);
    EXPECT_EQ(dc.pixel(70, 20), kBlack);
    const PointList nan { { NAN, 5 }, { 20, INFINITY }, { -1.0e20f, 30 } };
    port.polyline(strokeStyle(1.0e30f), kIdentity, nan, false, kArrowBig, kArrowBig); // no crash
}

} // namespace
} // namespace zavora
