#include "model/DrawObject.h"

#include "model/GraphicsKernel.h"
#include "model/OutlineGeometry.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

namespace zavora {
namespace {

void expectMatrix(const Matrix& m, float a, float b, float c, float d, float tx, float ty)
{
    EXPECT_NEAR(m.a, a, 1e-5);
    EXPECT_NEAR(m.b, b, 1e-5);
    EXPECT_NEAR(m.c, c, 1e-5);
    EXPECT_NEAR(m.d, d, 1e-5);
    EXPECT_NEAR(m.tx, tx, 1e-4);
    EXPECT_NEAR(m.ty, ty, 1e-4);
}

void expectPoint(Point p, float x, float y)
{
    EXPECT_NEAR(p.x, x, 1e-4);
    EXPECT_NEAR(p.y, y, 1e-4);
}

void expectBox(const Rect& r, float l, float b, float rt, float t)
{
    EXPECT_NEAR(r.left, l, 1e-3);
    EXPECT_NEAR(r.bottom, b, 1e-3);
    EXPECT_NEAR(r.right, rt, 1e-3);
    EXPECT_NEAR(r.top, t, 1e-3);
}

// The outline as built on an identity CTM.
std::vector<PathElement> outlineOf(const DrawObject& o)
{
    kernel().newpath();
    o.buildOutline();
    return kernel().takePath();
}

int count(const std::vector<PathElement>& path, PathKind kind)
{
    return int(std::count_if(path.begin(), path.end(), [&](const PathElement& e) { return e.kind == kind; }));
}

class DrawObjectTest : public ::testing::Test {
protected:
    void SetUp() override { kernel().reset(); }
    void TearDown() override
    {
        // Every operation leaves the kernel's stacks as it found them.
        EXPECT_EQ(kernel().saveDepth(), 0u);
        EXPECT_EQ(kernel().matrixDepth(), 0u);
    }
};

// Each transform invalidates the cached box and composes after the existing matrix.
TEST_F(DrawObjectTest, TransformsAboutAPoint)
{
    const struct {
        const char* why;
        Rect shape;
        std::function<void(DrawObject&)> apply;
        Point in, out; // an object point and where it lands
        std::optional<Matrix> matrix;
        std::optional<Rect> box;
    } cases[] = {
        { "a quarter turn about (10, 0), counter-clockwise", { 0, 0, 10, 20 },
            [](DrawObject& o) { o.rotate(10, 0, 90); }, { 20, 0 }, { 10, 10 },
            Matrix { 0, 1, -1, 0, 10, -10 }, Rect { -10, -10, 10, 0 } },
        { "the existing matrix first, the rotation after it", { 0, 0, 1, 1 },
            [](DrawObject& o) {
                o.translate(5, 0);
                o.rotate(10, 0, 90);
            },
            { 0, 0 }, { 10, -5 }, {}, {} },
        { "mirroring in y = x swaps the coordinates", { 0, 0, 10, 20 },
            [](DrawObject& o) { o.reflect(0, 0, 45); }, { 3, 1 }, { 1, 3 }, Matrix { 0, 1, 1, 0, 0, 0 },
            Rect { 0, 0, 20, 10 } },
        { "a horizontal mirror flips y only", { 0, 0, 1, 1 }, [](DrawObject& o) { o.reflect(0, 5, 0); },
            { 3, 1 }, { 3, 9 }, Matrix { 1, 0, 0, -1, 0, 10 }, {} },
        { "kx shears y by x", { 0, 0, 10, 10 }, [](DrawObject& o) { o.skew(0, 0, 0.5f, 0); }, { 10, 0 },
            { 10, 5 }, Matrix { 1, 0.5f, 0, 1, 0, 0 }, Rect { 0, 0, 10, 15 } },
        { "and moves the others by kx and ky", { 0, 0, 10, 10 },
            [](DrawObject& o) { o.skew(10, 10, 0.5f, 0.25f); }, { 12, 14 }, { 13, 15 }, {}, {} },
        { "a scale about (1, 1)", { 0, 0, 10, 10 }, [](DrawObject& o) { o.scale(1, 1, 2, 3); }, { 2, 2 },
            { 3, 4 }, {}, Rect { -1, -2, 19, 28 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        RectangleObject r(c.shape.left, c.shape.bottom, c.shape.right, c.shape.top);
        r.boundingBox();
        c.apply(r);
        EXPECT_FALSE(r.boxValid());
        expectPoint(transformPoint(KMatrix(r.matrix()), c.in), c.out.x, c.out.y);
        if (c.matrix) {
            expectMatrix(
                r.matrix(), c.matrix->a, c.matrix->b, c.matrix->c, c.matrix->d, c.matrix->tx, c.matrix->ty);
        }
        if (c.box) {
            expectBox(r.boundingBox(), c.box->left, c.box->bottom, c.box->right, c.box->top);
        }
    }
}

TEST_F(DrawObjectTest, StrokeGrowthOfThinDashedAndInvisibleLines)
{
    // Width 3 grows by trunc(1.5 + 0.5) = 2: the compound path test.
    RectangleObject r(0, 0, 10, 10);
    r.setLineWidth(0.25f); // trunc(0.625) = 0
    expectBox(r.boundingBox(true), 0, 0, 10, 10);

    // Dashed: 1 whatever the width; invisible lines still count.
    r.setLineWidth(9);
    r.setDash(0);
    expectBox(r.boundingBox(true), -1, -1, 11, 11);
    r.setLineInvisible(); // solid again, width 9 -> 5
    expectBox(r.boundingBox(true), -5, -5, 15, 15);
}

// Hit tests and boxes asked for while a tool builds a path leave it alone:
// not the path, not the current point.
TEST_F(DrawObjectTest, HitTestsFollowTheOutlineAndTheFillAndLeaveACallersPathAlone)
{
    enum class Probe { Contains, Touches, Nearest };
    const auto make = [](std::unique_ptr<DrawObject> o, bool filled) {
        if (filled)
            o->setFillColor(Color::black());
        return o;
    };
    const auto open = make(std::make_unique<RectangleObject>(0, 0, 100, 100), false);
    const auto swapped = make(std::make_unique<RectangleObject>(100, 100, 0, 0), true);
    const auto cleared = make(std::make_unique<RectangleObject>(0, 0, 100, 100), true);
    cleared->setFillTransparent();
    const auto line = make(std::make_unique<LineObject>(0, 0, 100, 0), true);
    const auto moved = make(std::make_unique<RectangleObject>(0, 0, 10, 10), false);
    moved->scale(0, 0, 2, 2);
    moved->translate(100, 0);
    const auto turned = make(std::make_unique<RectangleObject>(0, 0, 10, 10), false);
    turned->rotate(0, 0, 45);
    const auto ellipse = make(std::make_unique<EllipseObject>(0, 0, 100, 50), true);
    const auto triangle = make(std::make_unique<PolygonObject>(PointList { { 0, 0 }, { 10, 0 }, { 5, 8 } }, true), true);
    // For Contains the point is (x1, y1); for Nearest the probe is (x1, y1) and x2 the tolerance.
    const struct {
        const char* why;
        const DrawObject& shape;
        Probe probe;
        Rect at;
        bool hit;
        Point nearest;
    } cases[] = {
        { "an unfilled inside is empty", *open, Probe::Contains, { 50, 50 }, false, {} },
        { "nor is it near the outline", *open, Probe::Nearest, { 50, 50, 2 }, false, {} },
        { "the outline is", *open, Probe::Nearest, { 50, 99, 2 }, true, { 50, 100 } },
        { "swapped corners, filled", *swapped, Probe::Contains, { 50, 50 }, true, {} },
        { "swapped corners, outside", *swapped, Probe::Contains, { 101, 50 }, false, {} },
        { "swapped corners, marquee", *swapped, Probe::Touches, { 99, 1, 99.5f, 1.5f }, true, {} },
        { "a fill made transparent", *cleared, Probe::Contains, { 50, 50 }, false, {} },
        { "a line has no inside", *line, Probe::Contains, { 50, 0 }, false, {} },
        { "but an outline", *line, Probe::Nearest, { 50, 1.5f, 2 }, true, { 50, 0 } },
        { "not beyond the tolerance", *line, Probe::Nearest, { 50, 5, 2 }, false, {} },
        { "through the matrix", *moved, Probe::Nearest, { 121, 10, 2 }, true, { 120, 10 } },
        { "the box corner is off the ellipse", *ellipse, Probe::Touches, { 90, 45, 99, 49 }, false, {} },
        { "a marquee across it, corners swapped", *ellipse, Probe::Touches, { 60, -10, 40, 10 }, true, {} },
        { "inside the box, outside the ellipse", *ellipse, Probe::Contains, { 95, 45 }, false, {} },
        { "inside the turned box, off the diamond", *turned, Probe::Touches, { 5, 0.5f, 6.5f, 1.5f }, false,
            {} },
        { "on the diamond's edge", *turned, Probe::Touches, { -1, 6, 1, 8 }, true, {} },
        { "a closed polygon is filled", *triangle, Probe::Contains, { 5, 3 }, true, {} },
        { "and has its closing side", *triangle, Probe::Nearest, { 1.7f, 4.5f, 1 }, true, { 2.5f, 4 } },
    };
    GraphicsKernel& k = kernel();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        k.moveto(1, 2);
        k.lineto(3, 4);
        const auto callersPath = k.path();
        c.shape.boundingBox(); // the first probe of each shape computes its box
        const Rect& a = c.at;
        if (c.probe == Probe::Contains) {
            EXPECT_EQ(c.shape.containsPoint(a.left, a.bottom), c.hit);
        } else if (c.probe == Probe::Touches) {
            EXPECT_EQ(c.shape.touchesRect(a.left, a.bottom, a.right, a.top), c.hit);
        } else {
            Point p { a.left, a.bottom };
            float d2 = 0;
            ASSERT_EQ(c.shape.nearestOutlinePoint(p, a.right, d2), c.hit);
            expectPoint(p, c.hit ? c.nearest.x : a.left, c.hit ? c.nearest.y : a.bottom);
            if (c.hit) {
                EXPECT_NEAR(d2, std::pow(a.left - p.x, 2) + std::pow(a.bottom - p.y, 2), 1e-3);
            }
        }
        EXPECT_EQ(k.path(), callersPath);
        EXPECT_TRUE(k.state().hasCurrentPoint);
        EXPECT_EQ(k.state().currentX, 3);
        k.newpath();
    }
}

// Rounded only with ry above 1 (rx may equal it), corners ordered first, the
// radii clamped to the outline only.
TEST_F(DrawObjectTest, RoundRectangleRadii)
{
    EXPECT_EQ(outlineOf(RoundRectObject(0, 0, 40, 20, 0.5f, 5)), outlineOf(RectangleObject(0, 0, 40, 20)));
    EXPECT_EQ(count(outlineOf(RoundRectObject(0, 0, 40, 20, 1, 1)), PathKind::Curve), 0);
    EXPECT_EQ(count(outlineOf(RoundRectObject(0, 0, 40, 20, 1, 1.5f)), PathKind::Curve), 4);
    EXPECT_EQ(outlineOf(RoundRectObject(40, 20, 0, 0, 3, 3)), outlineOf(RoundRectObject(0, 0, 40, 20, 3, 3)));

    RoundRectObject r(0, 0, 10, 40, 20, 20);
    auto path = outlineOf(r);
    // Drawn with rx = 5 (half the width), ry = 20 (half the height).
    EXPECT_NEAR(path[0].x1, 5, 1e-4);
    EXPECT_NEAR(path[0].y1, 40, 1e-4);
    EXPECT_EQ(count(path, PathKind::Curve), 4);
    // The control polygon of the corners stays inside the rectangle.
    expectBox(r.boundingBox(), 0, 0, 10, 40);
    EXPECT_EQ(r.rx(), 20); // the stored radii stay

    // Enlarging brings the full radius back.
    r.setCorners({ 0, 0 }, { 100, 100 });
    path = outlineOf(r);
    EXPECT_NEAR(path[0].x1, 20, 1e-4);
}

TEST_F(DrawObjectTest, ArcThroughZeroAndItsChord)
{
    ArcObject a(100, 50, 10, 20, 300, 60);
    EXPECT_EQ(count(outlineOf(a), PathKind::Close), 0);
    // Counter-clockwise from 300 to 60 passes 0 degrees: it reaches x = cx + rx.
    const float halfHeight = 20 * std::sin(60 * 3.14159265f / 180);
    expectBox(a.boundingBox(), 105, 50 - halfHeight, 110, 50 + halfHeight);

    a.setFillColor(Color::black());
    EXPECT_TRUE(a.containsPoint(108, 50));
    EXPECT_FALSE(a.containsPoint(104, 50)); // beyond the chord
}

TEST_F(DrawObjectTest, CurveOutlineAndBoxOpenAndClosed)
{
    // The first incoming and last outgoing controls stick far out.
    NodeList nodes { { 0, 0, -50, 0, 0, 10, 0 }, { 20, 0, 20, 10, 70, 0, 0 } };
    CurveObject c(nodes, false);
    expectBox(c.boundingBox(), 0, 0, 20, 10);
    auto path = outlineOf(c);
    ASSERT_EQ(path.size(), 2u);
    EXPECT_EQ(path[1], (PathElement { PathKind::Curve, 0, 10, 20, 10, 20, 0 }));

    c.setClosed(true);
    EXPECT_FALSE(c.boxValid());
    expectBox(c.boundingBox(), -50, 0, 70, 10);
    path = outlineOf(c);
    ASSERT_EQ(path.size(), 4u);
    // The closing segment uses both nodes' controls.
    EXPECT_EQ(path[2], (PathElement { PathKind::Curve, 70, 0, -50, 0, 0, 0 }));
    EXPECT_EQ(path[3].kind, PathKind::Close);

    // One node: a bare move.
    path = outlineOf(CurveObject({ makeNode(3, 4, kCornerNode) }, false));
    ASSERT_EQ(path.size(), 1u);
    EXPECT_EQ(path[0].kind, PathKind::Move);
}

// Node editing: out-of-range indices and places off the outline change nothing;
// of two segments near the click the first wins; clicks map back through the matrix.
TEST_F(DrawObjectTest, VertexAndNodeEditsCheckTheirPlace)
{
    CurveObject c({ makeNode(0, 0), makeNode(1, 1), makeNode(2, 0) }, false);
    EXPECT_TRUE(c.removeNode(1));
    EXPECT_FALSE(c.removeNode(2));
    EXPECT_EQ(c.nodes()[1].x, 2);

    PolygonObject p({ { 0, 0 }, { 10, 0 }, { 0, 2 } }, false);
    EXPECT_FALSE(p.removeVertex(7));
    ASSERT_TRUE(p.insertVertexNear(5, 0.5f, 2)); // (5, 1) is near both segments
    EXPECT_EQ(p.vertices()[1], (Point { 5, 0 }));
    EXPECT_FALSE(p.insertVertexNear(50, 50, 2));

    PolygonObject square({ { 0, 0 }, { 10, 0 }, { 10, 10 }, { 0, 10 } }, true);
    square.scale(0, 0, 2, 2);
    square.translate(100, 100);
    // Drawing space: the closing segment runs from (100, 120) to (100, 100).
    ASSERT_TRUE(square.insertVertexNear(101, 110, 2));
    expectPoint(square.vertices()[4], 0, 5);
    square.setVertices(square.vertices(), false); // open: no closing segment
    EXPECT_FALSE(square.insertVertexNear(101, 106, 2));
}

// Every flattened point of each outline lies on the other, in drawing space.
void expectSameOutline(const CurveObject& a, const CurveObject& b)
{
    for (const auto& [from, to] : { std::pair { &a, &b }, std::pair { &b, &a } }) {
        for (Point p : flattenNodes(from->nodes(), from->isClosed(), kDeviceFlatness)) {
            p = transformPoint(KMatrix(from->matrix()), p);
            float d2 = 0;
            EXPECT_TRUE(to->nearestOutlinePoint(p, 0.02f, d2)) << p.x << "," << p.y;
        }
    }
}

TEST_F(DrawObjectTest, InsertNodeKeepsTheCurvesShape)
{
    NodeList nodes { makeNode(0, 0), makeNode(100, 0), makeNode(100, 100) };
    smoothNodes(nodes, true);
    CurveObject c(nodes, true);
    c.rotate(0, 0, 30);
    c.translate(5, 7);
    const auto inDrawing = [&](float x, float y) { return transformPoint(KMatrix(c.matrix()), { x, y }); };
    // Into the second segment, then into the closing one, where the new node goes last.
    for (const auto& [segment, inserted] : { std::pair { 1u, 2u }, std::pair { 3u, 4u } }) {
        const BezierNode &a = c.nodes()[segment], &b = c.nodes()[(segment + 1) % c.nodes().size()];
        const Point halfway = inDrawing(
            (a.x + 3 * a.outX + 3 * b.inX + b.x) / 8, (a.y + 3 * a.outY + 3 * b.inY + b.y) / 8);
        const CurveObject before = c;
        ASSERT_TRUE(c.insertNodeNear(halfway.x + 0.5f, halfway.y, 2));
        ASSERT_EQ(c.nodes().size(), before.nodes().size() + 1);
        const Point anchor = inDrawing(c.nodes()[inserted].x, c.nodes()[inserted].y);
        EXPECT_LT(std::hypot(anchor.x - halfway.x, anchor.y - halfway.y), 1);
        expectSameOutline(before, c);
    }
    EXPECT_FALSE(c.insertNodeNear(1000, 1000, 2));
    EXPECT_EQ(c.nodes().size(), 5u);
}

TEST_F(DrawObjectTest, SmoothNodesAreTangentContinuous)
{
    // Two nodes: the inner controls at the thirds, the unused outer ones zero; one node stays.
    NodeList two { makeNode(0, 0), makeNode(30, 60) }, one { makeNode(1, 2) };
    smoothNodes(two, false);
    smoothNodes(one, false);
    EXPECT_EQ(two[0], (BezierNode { 0, 0, 0, 0, 10, 20, two[0].flags }));
    EXPECT_EQ(two[1], (BezierNode { 30, 60, 20, 40, 0, 0, two[1].flags }));
    EXPECT_EQ(one[0], makeNode(1, 2));

    NodeList many { makeNode(0, 0), makeNode(40, -5), makeNode(70, 30), makeNode(35, 60), makeNode(-10, 35) };
    for (bool closed : { true, false }) {
        NodeList n = many;
        smoothNodes(n, closed);
        EXPECT_EQ(n[2].x, many[2].x); // anchors stay
        for (std::size_t i = closed ? 0 : 1; i < (closed ? n.size() : n.size() - 1); ++i) {
            // In and out controls on opposite sides of the anchor, on one line.
            const double ix = n[i].inX - n[i].x, iy = n[i].inY - n[i].y;
            const double ox = n[i].outX - n[i].x, oy = n[i].outY - n[i].y;
            EXPECT_NEAR(ix * oy - iy * ox, 0, 1e-3) << "node " << i;
            EXPECT_LT(ix * ox + iy * oy, 0) << "node " << i;
            // The out control leans towards the next anchor.
            const BezierNode& next = n[(i + 1) % n.size()];
            EXPECT_GT(ox * (next.x - n[i].x) + oy * (next.y - n[i].y), 0) << "node " << i;
        }
    }
}

TEST_F(DrawObjectTest, CompoundPathStyleTransformsAndEvenOddArea)
{
    auto red = std::make_unique<RectangleObject>(0, 0, 100, 100);
    red->setFillColor(Color { 100, 0, 0 });
    PaintStyle blue;
    blue.setFillColor(Color { 0, 0, 100 });
    auto hole = std::make_unique<RectangleObject>(25, 25, 75, 75);
    hole->setStyle(blue);
    hole->setLineWidth(6);

    CompoundPathObject compound;
    const PaintStyle first = red->style();
    compound.appendChild(std::move(red));
    compound.appendChild(std::move(hole));
    compound.setStyle(first);
    EXPECT_EQ(compound.children()[1]->style().fillColor(), (Color { 100, 0, 0 }));

    // The inner member cuts a hole.
    EXPECT_TRUE(compound.containsPoint(10, 10));
    EXPECT_FALSE(compound.containsPoint(50, 50));

    compound.setLineWidth(3);
    expectBox(compound.boundingBox(true), -2, -2, 102, 102);

    compound.translate(10, 0);
    compound.rotate(10, 0, 90);
    expectBox(compound.boundingBox(), -90, 0, 10, 100); // the members turned, the compound's matrix stays
    EXPECT_EQ(compound.matrix(), Matrix {});
    compound.appendChild(std::make_unique<ArcObject>(50, 50, 5, 5, 0, 90));
    EXPECT_EQ(count(outlineOf(compound), PathKind::Move), 3); // a member arc starts its own subpath
}

} // namespace
} // namespace zavora
