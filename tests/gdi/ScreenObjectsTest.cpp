#include "ScreenTestSupport.h"

#include "model/GroupObject.h"
#include "model/ImageObject.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"

#include <functional>

namespace zavora {
namespace {

using test::kBlackPixel;
using test::kWhitePixel;

constexpr uint32_t kRed = 0xff0000;
constexpr uint32_t kBlue = 0x0000ff;

class ScreenObjectsTest : public test::CanvasFixture { };

PaintStyle redBlue(float width)
{
    PaintStyle style;
    style.setFillColor({ 100, 0, 0 });
    style.setLineColor({ 0, 0, 100 });
    style.setLineWidth(width);
    return style;
}

std::unique_ptr<CompoundPathObject> ring()
{
    auto compound = std::make_unique<CompoundPathObject>();
    compound->appendChild(std::make_unique<RectangleObject>(20, 20, 100, 80));
    compound->appendChild(std::make_unique<RectangleObject>(40, 35, 80, 65));
    return compound;
}

std::unique_ptr<ImageObject> fourColourImage()
{
    auto image = std::make_unique<ImageObject>();
    image->allocatePixels(2, 2);
    image->setPixel(0, 0, { 255, 0, 0 });
    image->setPixel(1, 0, { 0, 255, 0 });
    image->setPixel(0, 1, { 0, 0, 255 });
    image->setPixel(1, 1, { 255, 255, 0 });
    image->setMatrix(Matrix { 80, 0, 0, 60, 20, 20 });
    return image;
}

struct Probe {
    int x, y;
    uint32_t final; // expected in the final rendering
    uint32_t outline; // expected in outline mode
};

struct Case {
    const char* name;
    std::function<std::unique_ptr<DrawObject>()> make;
    std::vector<Probe> probes;
};

// Canvas 200 x 160 at zoom 1: drawing (x, y) is pixel (x, 160 - y). Fill red,
// stroke blue and 3 points wide; the outline mode strokes one black pixel. An
// image has no outline in the final rendering: its edges show its own pixels.
std::vector<Case> objectCases()
{
    const uint32_t W = kWhitePixel, K = kBlackPixel;
    return {
        { "rectangle", [] { return std::make_unique<RectangleObject>(100, 80, 20, 20); },
            { { 60, 110, kRed, W }, { 20, 110, kBlue, K }, { 60, 80, kBlue, K }, { 10, 110, W, W } } },
        { "round rectangle", [] { return std::make_unique<RoundRectObject>(20, 20, 100, 80, 15, 15); },
            { { 60, 110, kRed, W }, { 20, 110, kBlue, K }, { 22, 138, W, W }, { 60, 140, kBlue, K } } },
        { "ellipse", [] { return std::make_unique<EllipseObject>(60, 50, 40, 30); },
            { { 60, 110, kRed, W }, { 100, 110, kBlue, K }, { 60, 80, kBlue, K }, { 23, 83, W, W } } },
        { "arc (filled as its chord)", [] { return std::make_unique<ArcObject>(60, 50, 40, 30, 0, 180); },
            { { 60, 95, kRed, W }, { 60, 80, kBlue, K }, { 60, 120, W, W } } },
        { "closed polygon",
            [] {
                return std::make_unique<PolygonObject>(
                    PointList { { 20, 20 }, { 100, 20 }, { 60, 80 } }, true);
            },
            { { 60, 120, kRed, W }, { 60, 140, kBlue, K }, { 25, 90, W, W } } },
        { "closed curve",
            [] {
                return std::make_unique<CurveObject>(
                    NodeList { makeNode(20, 20), makeNode(100, 20), makeNode(100, 80), makeNode(20, 80) },
                    true);
            },
            { { 60, 110, kRed, W }, { 20, 110, kBlue, K }, { 60, 140, kBlue, K } } },
        { "compound path with a hole", [] { return ring(); },
            { { 30, 110, kRed, W }, { 60, 110, W, W }, { 40, 110, kBlue, K }, { 20, 110, kBlue, K } } },
        { "group",
            [] {
                auto group = std::make_unique<GroupObject>();
                group->appendChild(std::make_unique<RectangleObject>(10, 10, 50, 50));
                group->appendChild(std::make_unique<EllipseObject>(140, 100, 30, 20));
                return group;
            },
            { { 30, 130, kRed, W }, { 140, 60, kRed, W }, { 10, 130, kBlue, K }, { 170, 60, kBlue, K },
                { 90, 100, W, W } } },
        // Filled up to its open side, which is not stroked (60, 110 lies on it);
        // the arrowhead ahead of its end shows in the final rendering only.
        { "open polygon",
            [] {
                auto open = std::make_unique<PolygonObject>(
                    PointList { { 20, 20 }, { 100, 20 }, { 100, 80 } }, false);
                open->setArrows(kArrowNone, 1);
                return open;
            },
            { { 60, 113, kRed, W }, { 60, 110, kRed, W }, { 60, 108, W, W }, { 60, 140, kBlue, K },
                { 100, 110, kBlue, K }, { 100, 70, kBlue, W } } },
        { "line", [] { return std::make_unique<LineObject>(20, 20, 100, 80); },
            { { 60, 110, kBlue, K }, { 60, 100, W, W } } },
        { "image", [] { return fourColourImage(); },
            { { 40, 95, kRed, W }, { 80, 95, 0x00ff00, W }, { 40, 125, kBlue, W }, { 80, 125, 0xffff00, W },
                { 20, 110, kBlue, K }, { 40, 80, kRed, K } } },
    };
}

TEST_F(ScreenObjectsTest, EveryKindFillsStrokesOrOutlinesItself)
{
    for (const Case& c : objectCases()) {
        for (int mode : { kDrawFinal, kDrawOutline }) {
            SCOPED_TRACE(std::string(c.name) + (mode == kDrawFinal ? ", final" : ", outline"));
            makeCanvas(200, 160);
            std::unique_ptr<DrawObject> object = c.make();
            if (object->type() != ObjectType::Image)
                object->setStyle(redBlue(3));
            canvas->drawObject(*object, mode);
            for (const Probe& p : c.probes) {
                EXPECT_EQ(view(p.x, p.y), mode == kDrawFinal ? p.final : p.outline) << p.x << "," << p.y;
            }
            if (mode == kDrawOutline) {
                // One pixel wide, whatever the style: far less ink than the filled shape.
                const int ink = viewInk();
                EXPECT_GT(ink, 60);
                EXPECT_LT(ink, 900);
                EXPECT_EQ(
                    countView([](int, int, uint32_t p) { return p != kWhitePixel && p != kBlackPixel; }), 0);
            }
        }
    }
}

} // namespace
} // namespace zavora
