#include "ScreenTestSupport.h"

#include "model/GroupObject.h"
#include "model/ImageObject.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"
#include "raster/HatchPatterns.h"

#include <cmath>
#include <functional>
#include <numbers>

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

// Ink pixels in each column of the span x0..x1.
std::vector<int> columnInk(int x0, int x1, const std::function<uint32_t(int, int)>& pixel, int h)
{
    std::vector<int> out;
    for (int x = x0; x <= x1; ++x) {
        int n = 0;
        for (int y = 0; y < h; ++y)
            n += pixel(x, y) != kWhitePixel;
        out.push_back(n);
    }
    return out;
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
        return columnInk(
            20, 100, [&](int x, int y) { return view(x, y); }, 60);
    };
    for (int n : inkPerColumn(0.1f, kSolidDash, 1))
        EXPECT_EQ(n, 1) << "a hairline is one pixel, never none";
    for (int n : inkPerColumn(4, kSolidDash, 2))
        EXPECT_EQ(n, 8);
    const std::vector<int> dashed = inkPerColumn(5, 0, 1);
    EXPECT_EQ(*std::max_element(dashed.begin(), dashed.end()), 1);
    EXPECT_GT(std::count(dashed.begin(), dashed.end(), 0), 10) << "the dashes have gaps";
}

TEST_F(ScreenObjectsTest, OpenFilledOutlineIsNotStrokedAlongItsClosingEdge)
{
    makeCanvas(200, 160);
    PolygonObject open(PointList { { 20, 20 }, { 100, 20 }, { 100, 80 } }, false);
    open.setStyle(redBlue(1));
    canvas->drawObject(open, kDrawFinal);
    EXPECT_EQ(view(60, 140), kBlue);
    EXPECT_EQ(view(100, 110), kBlue);
    // The closing edge runs from (100, 80) back to (20, 20); its middle is (60, 50).
    for (int dy = -1; dy <= 1; ++dy)
        EXPECT_NE(view(60, 110 + dy), kBlue);
    EXPECT_EQ(view(80, 120), kRed);
}

// --- arrowheads ----------------------------------------------------------

// The arrowhead shapes after the tip, x along the direction, in line widths.
std::vector<Point> arrowShape(int code)
{
    const float r2 = std::numbers::sqrt2_v<float>;
    switch (code) {
    case 0:
        return { { -1, 2 }, { 6, 0 }, { -1, -2 } };
    case 1:
        return { { 0, 3 }, { 9, 0 }, { 0, -3 } };
    case 2:
        return { { 0, -0.5f }, { -6, -6.5f }, { -6 - r2, -6.5f + r2 }, { 0.5f - 2 * r2, 0 },
            { -6 - r2, 6.5f - r2 }, { -6, 6.5f }, { 0, 0.5f } };
    case 3:
        return { { 0, 0.5f }, { -7, 2 }, { -6, 0 }, { -7, -2 }, { 0, -0.5f } };
    case 4:
        return { { 0, -0.5f }, { -9, -3 }, { -9, 3 }, { 0, 0.5f } };
    case 6:
        return { { 2.5f, 2.5f }, { 2.5f, -2.5f }, { -2.5f, -2.5f }, { -2.5f, 2.5f } };
    default: {
        std::vector<Point> circle; // code 5: radius 3
        for (int i = 0; i < 64; ++i) {
            const double a = i * 2 * std::numbers::pi / 64;
            circle.push_back({ float(3 * std::cos(a)), float(3 * std::sin(a)) });
        }
        return circle;
    }
    }
}

bool insidePolygon(const std::vector<Point>& poly, double x, double y)
{
    bool inside = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Point a = poly[i], b = poly[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside;
}

double distanceToEdges(const std::vector<Point>& poly, double x, double y)
{
    double best = 1e300;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const double ax = poly[j].x, ay = poly[j].y, bx = poly[i].x, by = poly[i].y;
        const double dx = bx - ax, dy = by - ay, len = dx * dx + dy * dy;
        const double t = len > 0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / len, 0.0, 1.0) : 0;
        best = std::min(best, std::hypot(x - ax - t * dx, y - ay - t * dy));
    }
    return best;
}

TEST_F(ScreenObjectsTest, ArrowheadsZeroToSixAtTwoWidthsFillTheirShapes)
{
    constexpr double zoom = 3;
    struct End {
        bool second;
        float width;
        int dash;
    };
    for (int code = 0; code <= 6; ++code) {
        for (End end : { End { true, 1, kSolidDash }, End { true, 2, kSolidDash },
                 End { false, 2, kSolidDash }, End { true, 3, 0 } }) {
            SCOPED_TRACE("code " + std::to_string(code) + (end.second ? " second end" : " first end")
                + " width " + std::to_string(end.width) + (end.dash == kSolidDash ? "" : " dashed"));
            makeCanvas(260, 120, zoom);
            LineObject line(20, 20, 60, 20); // pixels 60..180 along row 60
            PaintStyle style;
            style.setLineColor(kBlueLine);
            style.setLineWidth(end.width);
            if (end.dash != kSolidDash)
                style.setDash(end.dash);
            line.setStyle(style);
            line.setArrows(end.second ? kArrowNone : code, end.second ? code : kArrowNone);
            canvas->drawObject(line, kDrawFinal);

            // The expected outline in pixels, from the shape table: rotated to
            // the direction, scaled by the width (1 when dashed), at the tip.
            const Point tip = end.second ? Point { 60, 20 } : Point { 20, 20 };
            const double direction = end.second ? 0 : std::numbers::pi;
            const double scale = end.dash == kSolidDash ? end.width : 1;
            std::vector<Point> expected;
            std::vector<Point> shape = arrowShape(code);
            if (code != kArrowCircle && code != kArrowSquare)
                shape.insert(shape.begin(), Point { 0, 0 }); // the outline starts at the tip
            for (Point p : shape) {
                const double x = tip.x + scale * (p.x * std::cos(direction) - p.y * std::sin(direction));
                const double y = tip.y + scale * (p.x * std::sin(direction) + p.y * std::cos(direction));
                expected.push_back({ float(x * zoom), float(120 - y * zoom) });
            }
            const double stroke = end.dash == kSolidDash ? std::round(end.width * zoom) : 1;

            int inside = 0, wrong = 0;
            for (int y = 0; y < 120; ++y)
                for (int x = 0; x < 260; ++x) {
                    const double cx = x + 0.5, cy = y + 0.5;
                    const double margin = distanceToEdges(expected, cx, cy);
                    const bool onLine = cx > 58 && cx < 182 && std::abs(cy - 60) < stroke / 2 + 2;
                    if (insidePolygon(expected, cx, cy) && margin >= 2) {
                        ++inside;
                        wrong += view(x, y) != kBlue;
                    } else if (!insidePolygon(expected, cx, cy) && margin >= 2 && !onLine) {
                        wrong += view(x, y) != kWhitePixel;
                    }
                }
            EXPECT_GT(inside, 2) << "the shape has an interior to check";
            EXPECT_EQ(wrong, 0);
        }
    }
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
