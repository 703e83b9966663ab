#include "ScreenTestSupport.h"

#include "ImageCheck.h"

#include "model/PathObjects.h"
#include "model/ShapeObjects.h"
#include "platform/qt/RasterDeviceContext.h"

#include <random>

namespace zavora {
namespace {

// A canvas that fills and strokes each outline in two separate passes.
class TwoPassCanvas : public ScreenCanvas {
public:
    using ScreenCanvas::ScreenCanvas;
    bool fillAndStrokePath(const Color&) override { return false; }
};

std::unique_ptr<DrawObject> mixedObject(std::mt19937& random, int index)
{
    std::uniform_real_distribution<float> x(0, 300), y(0, 200), size(2, 50), unit(0, 1);
    const float x0 = x(random), y0 = y(random), w = size(random), h = size(random);
    std::unique_ptr<DrawObject> object;
    switch (index % 5) {
    case 0:
        object = std::make_unique<RectangleObject>(x0, y0, x0 + w, y0 + h);
        break;
    case 1:
        object = std::make_unique<EllipseObject>(x0, y0, w / 2, h / 2);
        break;
    case 2: {
        PointList points;
        for (int i = 0; i < 5; ++i)
            points.push_back({ x0 + w * unit(random), y0 + h * unit(random) });
        object = std::make_unique<PolygonObject>(points, index % 2 == 0);
        break;
    }
    case 3: {
        NodeList nodes;
        for (int i = 0; i < 4; ++i)
            nodes.push_back(makeNode(x0 + w * unit(random), y0 + h * unit(random)));
        smoothNodes(nodes, false);
        object = std::make_unique<CurveObject>(nodes, index % 3 == 0);
        break;
    }
    default:
        object = std::make_unique<RoundRectObject>(x0, y0, x0 + w, y0 + h, 6, 6);
        break;
    }
    PaintStyle style;
    style.setLineWidth(float(index % 7) * 0.5f);
    style.setLineColor({ 100 * unit(random), 100 * unit(random), 100 * unit(random) });
    if (index % 4 == 3)
        style.setFillPattern(index % kPatternCount);
    else
        style.setFillColor({ 100 * unit(random), 100 * unit(random), 100 * unit(random) });
    if (index % 6 == 5)
        style.setDash(index % kDashCount);
    object->setStyle(style);
    return object;
}

TEST(ScreenPaintOnceTest, FillAndStrokeInOnePassMatchesTwoPassesPixelForPixel)
{
    QtSurfaceFactory factory;
    ScreenCanvas once(factory);
    TwoPassCanvas twice(factory);
    for (ScreenCanvas* canvas : { &once, static_cast<ScreenCanvas*>(&twice) }) {
        ASSERT_TRUE(canvas->createBuffers(450, 350));
        canvas->setViewMatrix(KMatrix(1.3, 0, 0, -1.3, 7, 340));
    }
    std::mt19937 random { 7 };
    for (int i = 0; i < 400; ++i) {
        const std::unique_ptr<DrawObject> object = mixedObject(random, i);
        once.drawObject(*object, kDrawFinal);
        twice.drawObject(*object, kDrawFinal);
    }
    auto view = [](ScreenCanvas& canvas) -> QtRasterSurface& {
        return static_cast<QtRasterSurface&>(*canvas.buffer(ScreenBuffer::View));
    };
    EXPECT_TRUE(test::imagesMatch(view(twice).image(), view(once).image(), "paint-once"));
    EXPECT_GT(test::countInk(view(once).rasterDc()), 450 * 350 / 2);
}

// Fills random upright rectangles, solid and patterned, as a four-corner
// figure (which may take a shortcut) and with an extra point on the left edge
// (which goes through the general filler); the pixels must agree.
TEST(ScreenPaintOnceTest, UprightRectanglesFillLikeTheirOutline)
{
    RasterDeviceContext corners(160, 120), general(160, 120);
    std::mt19937 random { 11 };
    std::uniform_int_distribution<int> x(-20, 170), y(-20, 130), colour(0, 0xffffff), pick(0, 2);
    const PatternBits pattern { 0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81 };
    int differingOnTheWay = 0;
    for (int i = 0; i < 300; ++i) {
        const int x0 = x(random), y0 = y(random), x1 = x(random), y1 = y(random);
        const int kind = pick(random);
        const ColorRef ink = ColorRef(colour(random)), back = ColorRef(colour(random));
        for (RasterDeviceContext* dc : { &corners, &general }) {
            dc->setTextColor(ink);
            dc->setBkColor(back);
            dc->selectBrush(kind == 0 ? DcBrush::patterned(pattern) : DcBrush::solid(ink));
            dc->selectPen(kind == 2 ? DcPen::geometricFlat(back, 2) : DcPen::null());
            dc->beginPath();
            dc->moveTo({ x0, y0 });
            dc->lineTo({ x1, y0 });
            dc->lineTo({ x1, y1 });
            dc->lineTo({ x0, y1 });
            if (dc == &general)
                dc->lineTo({ x0, (y0 + y1) / 2 });
            dc->closeFigure();
            dc->endPath();
            if (kind == 2)
                dc->strokeAndFillPath();
            else
                dc->fillPath();
        }
        // Each shape is compared before later ones can cover it.
        differingOnTheWay += corners.image() != general.image() ? 1 : 0;
    }
    EXPECT_EQ(differingOnTheWay, 0);
    EXPECT_GT(test::countInk(corners), corners.width() * corners.height() / 2);
}

} // namespace
} // namespace zavora
