#include "ScreenTestSupport.h"

#include "model/GroupObject.h"
#include "model/ImageObject.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"
#include "raster/HatchPatterns.h"

#include <cmath>
#include <functional>

namespace zavora {
namespace {

using test::kBlackPixel;
using test::kWhitePixel;

constexpr uint32_t kRed = 0xff0000;
constexpr uint32_t kBlue = 0x0000ff;
const Color kRedFill { 100, 0, 0 };
const Color kBlueLine { 0, 0, 100 };

class ScreenObjectsTest : public test::CanvasFixture { };

PaintStyle redBlue(float width)
{
    PaintStyle style;
    style.setFillColor(kRedFill);
    style.setLineColor(kBlueLine);
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
// stroke blue and 3 points wide; the outline mode strokes one black pixel.
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
        // Filled up to its open side, which is not stroked.
        { "open polygon",
            [] {
                return std::make_unique<PolygonObject>(
                    PointList { { 20, 20 }, { 100, 20 }, { 100, 80 } }, false);
            },
            { { 60, 113, kRed, W }, { 60, 108, W, W }, { 60, 140, kBlue, K }, { 100, 110, kBlue, K } } },
        { "line", [] { return std::make_unique<LineObject>(20, 20, 100, 80); },
            { { 60, 110, kBlue, K }, { 60, 100, W, W } } },
        { "image", [] { return fourColourImage(); },
            { { 40, 95, kRed, W }, { 80, 95, 0x00ff00, W }, { 40, 125, kBlue, W }, { 80, 125, 0xffff00, W },
                { 20, 110, kBlue, K }, { 60, 140, kBlue, K } } },
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
                uint32_t expected = mode == kDrawFinal ? p.final : p.outline;
                // An image's final rendering has no outline: its edge pixels show its own pixels.
                if (object->type() == ObjectType::Image && mode == kDrawFinal && expected == kBlue
                    && (p.x == 20 || p.y == 140))
                    continue;
                EXPECT_EQ(view(p.x, p.y), expected) << p.x << "," << p.y;
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

TEST_F(ScreenObjectsTest, HatchesPutBlackInkOverTheFillColour)
{
    for (int hatch = 0; hatch < kPatternCount; ++hatch) {
        SCOPED_TRACE(hatch);
        makeCanvas(64, 64);
        RectangleObject rect(0, 0, 64, 64);
        PaintStyle style;
        style.setFillColor({ 100, 100, 0 });
        style.setFillPattern(hatch);
        style.setStrokeOn(false);
        rect.setStyle(style);
        canvas->drawObject(rect, kDrawFinal);
        const PatternBits& rows = hatchPattern(hatch)->rows;
        int wrong = 0;
        for (int y = 1; y < 63; ++y)
            for (int x = 1; x < 63; ++x) {
                const bool ink = (rows[y & 7] >> (7 - (x & 7))) & 1;
                wrong += view(x, y) != (ink ? kBlackPixel : 0xffff00u);
            }
        EXPECT_EQ(wrong, 0);
    }
    // Fill off: nothing is painted even though a hatch index is set.
    makeCanvas(64, 64);
    RectangleObject rect(0, 0, 64, 64);
    PaintStyle style;
    style.setFillPattern(3);
    style.setFillTransparent();
    style.setStrokeOn(false);
    rect.setStyle(style);
    canvas->drawObject(rect, kDrawFinal);
    EXPECT_EQ(viewInk(), 0);
}

TEST_F(ScreenObjectsTest, PenWidthsFollowZoomAndDashedLinesStayOnePixel)
{
    auto inkPerColumn = [&](float width, int dash, double zoom) {
        makeCanvas(120, 60, zoom);
        LineObject line(10 / zoom, 30 / zoom, 110 / zoom, 30 / zoom);
        PaintStyle style;
        style.setLineWidth(width);
        if (dash != kSolidDash)
            style.setDash(dash);
        line.setStyle(style);
        canvas->drawObject(line, kDrawFinal);
        std::vector<int> ink;
        for (int x = 20; x <= 100; ++x)
            ink.push_back(countView([x](int px, int, uint32_t p) { return px == x && p != kWhitePixel; }));
        return ink;
    };
    for (int n : inkPerColumn(0.1f, kSolidDash, 1))
        EXPECT_EQ(n, 1) << "a hairline is one pixel, never none";
    for (int n : inkPerColumn(4, kSolidDash, 2))
        EXPECT_EQ(n, 8);
    const std::vector<int> dashed = inkPerColumn(5, 0, 1);
    EXPECT_EQ(*std::max_element(dashed.begin(), dashed.end()), 1);
    EXPECT_GT(std::count(dashed.begin(), dashed.end(), 0), 10) << "the dashes have gaps";
}

TEST_F(ScreenObjectsTest, ArrowheadsOnlyOnOpenOutlinesAtTheirEnds)
{
    // An arc from 0 to 90 degrees ends at its top, heading left.
    makeCanvas(200, 160);
    ArcObject arc(60, 50, 40, 30, 0, 90);
    PaintStyle style = redBlue(2);
    style.setFillTransparent();
    arc.setStyle(style);
    arc.setArrows(kArrowNone, 1);
    canvas->drawObject(arc, kDrawFinal);
    EXPECT_EQ(view(50, 80), kBlue) << "ahead of the tip (60, 80)";
    EXPECT_EQ(view(58, 76), kBlue) << "the head's width";

    // Open polygon: arrow; the same polygon closed: none, though the codes stay.
    PolygonObject polygon(PointList { { 20, 20 }, { 100, 20 }, { 100, 80 } }, false);
    polygon.setStyle(style);
    polygon.setArrows(kArrowNone, 1);
    makeCanvas(200, 160);
    canvas->drawObject(polygon, kDrawFinal);
    EXPECT_EQ(view(100, 70), kBlue) << "ahead of the tip (100, 80), heading up";
    polygon.setClosed(true);
    makeCanvas(200, 160);
    canvas->drawObject(polygon, kDrawFinal);
    EXPECT_EQ(view(100, 70), kWhitePixel);

    // A curve's head follows its end tangent (straight up here), not its chord.
    CurveObject curve(NodeList { makeNode(20, 20), makeNode(100, 80) }, false);
    NodeList nodes = curve.nodes();
    nodes[1].inX = 100, nodes[1].inY = 20;
    curve.setNodes(nodes, false);
    PaintStyle wide = style;
    wide.setLineWidth(4);
    curve.setStyle(wide);
    curve.setArrows(kArrowNone, 1);
    makeCanvas(200, 160);
    canvas->drawObject(curve, kDrawFinal);
    EXPECT_EQ(view(100, 70), kBlue) << "ahead of the tip (100, 80), heading up";
    // Outline mode leaves arrowheads out.
    makeCanvas(200, 160);
    canvas->drawObject(curve, kDrawOutline);
    EXPECT_EQ(view(100, 70), kWhitePixel);
}

} // namespace
} // namespace zavora
