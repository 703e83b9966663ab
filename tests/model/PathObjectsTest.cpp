#include "model/PathObjects.h"

#include "RecordingPort.h"
#include "model/GraphicsKernel.h"
#include "model/HandlePainter.h"
#include "model/ShapeObjects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace zavora {
namespace {

using test::RecordingPort;

class PathObjectsTest : public ::testing::Test {
protected:
    void SetUp() override { kernel().reset(); }
    void TearDown() override
    {
        EXPECT_EQ(kernel().saveDepth(), 0u);
        EXPECT_EQ(kernel().matrixDepth(), 0u);
    }
};

std::vector<PathElement> outlineOf(const DrawObject& o)
{
    kernel().newpath();
    o.buildOutline();
    return kernel().takePath();
}

std::vector<std::string> emitted(const DrawObject& o)
{
    RecordingPort port;
    o.emit(port);
    return port.log;
}

void expectBox(const Rect& r, float l, float b, float rt, float t)
{
    EXPECT_NEAR(r.left, l, 1e-4);
    EXPECT_NEAR(r.bottom, b, 1e-4);
    EXPECT_NEAR(r.right, rt, 1e-4);
    EXPECT_NEAR(r.top, t, 1e-4);
}

// Dense samples of a curve's outline in drawing space.
std::vector<Point> sampleCurve(const CurveObject& c)
{
    std::vector<Point> out;
    const KMatrix m(c.matrix());
    const NodeList& n = c.nodes();
    auto segment = [&](const BezierNode& a, const BezierNode& b) {
        for (int i = 0; i <= 100; ++i) {
            const double t = i / 100.0, s = 1 - t;
            const double x
                = s * s * s * a.x + 3 * s * s * t * a.outX + 3 * s * t * t * b.inX + t * t * t * b.x;
            const double y
                = s * s * s * a.y + 3 * s * s * t * a.outY + 3 * s * t * t * b.inY + t * t * t * b.y;
            out.push_back(transformPoint(m, { float(x), float(y) }));
        }
    };
    for (std::size_t i = 0; i + 1 < n.size(); ++i)
        segment(n[i], n[i + 1]);
    if (c.isClosed())
        segment(n.back(), n.front());
    return out;
}

double distanceToSegment(Point p, Point a, Point b)
{
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 == 0 ? 0 : ((p.x - double(a.x)) * dx + (p.y - double(a.y)) * dy) / len2;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// Largest distance from a sample of one outline to the polyline through the other's samples.
double farthest(const std::vector<Point>& from, const std::vector<Point>& to)
{
    double worst = 0;
    for (Point p : from) {
        double best = 1e30;
        for (std::size_t i = 0; i + 1 < to.size(); ++i)
            best = std::min(best, distanceToSegment(p, to[i], to[i + 1]));
        worst = std::max(worst, best);
    }
    return worst;
}

void expectIn(const BezierNode& n, double x, double y)
{
    EXPECT_NEAR(n.inX, x, 1e-4);
    EXPECT_NEAR(n.inY, y, 1e-4);
}

void expectOut(const BezierNode& n, double x, double y)
{
    EXPECT_NEAR(n.outX, x, 1e-4);
    EXPECT_NEAR(n.outY, y, 1e-4);
}

TEST_F(PathObjectsTest, ClosedPolygonOutlineReturnsToItsStart)
{
    PolygonObject p({ { 0, 0 }, { 10, 0 }, { 5, 8 } }, true);
    const auto path = outlineOf(p);
    ASSERT_EQ(path.size(), 5u);
    EXPECT_EQ(path[3].kind, PathKind::Line);
    EXPECT_EQ(path[3].x1, 0);
    EXPECT_EQ(path[4].kind, PathKind::Close);
    EXPECT_EQ(p.handlePoints().size(), 3u);

    p.setFillColor(Color::black());
    EXPECT_TRUE(p.containsPoint(5, 3));
    expectBox(p.boundingBox(), 0, 0, 10, 8);
}

TEST_F(PathObjectsTest, CurveOutlineAndBoxOpenAndClosed)
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

TEST_F(PathObjectsTest, RemoveNodeAndVertexCheckTheIndex)
{
    CurveObject c({ makeNode(0, 0), makeNode(1, 1), makeNode(2, 0) }, false);
    EXPECT_TRUE(c.removeNode(1));
    ASSERT_EQ(c.nodes().size(), 2u);
    EXPECT_EQ(c.nodes()[1].x, 2);
    EXPECT_FALSE(c.removeNode(2));
    EXPECT_EQ(c.nodes().size(), 2u);

    PolygonObject p({ { 0, 0 }, { 1, 1 } }, false);
    EXPECT_FALSE(p.removeVertex(7));
    EXPECT_TRUE(p.removeVertex(0));
    EXPECT_EQ(p.vertices(), (PointList { { 1, 1 } }));
}

TEST_F(PathObjectsTest, InsertVertexFirstMatchingSegmentWins)
{
    // Two segments both pass within tolerance of (5, 1): the first one wins.
    PolygonObject p({ { 0, 0 }, { 10, 0 }, { 0, 2 } }, false);
    ASSERT_TRUE(p.insertVertexNear(5, 0.5f, 2));
    ASSERT_EQ(p.vertices().size(), 4u);
    EXPECT_NEAR(p.vertices()[1].x, 5, 1e-5);
    EXPECT_NEAR(p.vertices()[1].y, 0, 1e-5);
    EXPECT_FALSE(p.insertVertexNear(50, 50, 2));
    EXPECT_EQ(p.vertices().size(), 4u);
}

TEST_F(PathObjectsTest, InsertVertexOnClosingSegmentMapsBackThroughTheMatrix)
{
    PolygonObject p({ { 0, 0 }, { 10, 0 }, { 10, 10 }, { 0, 10 } }, true);
    p.scale(0, 0, 2, 2);
    p.translate(100, 100);
    // Drawing space: the closing segment runs from (100, 120) to (100, 100).
    ASSERT_TRUE(p.insertVertexNear(101, 110, 2));
    ASSERT_EQ(p.vertices().size(), 5u);
    EXPECT_NEAR(p.vertices()[4].x, 0, 1e-4);
    EXPECT_NEAR(p.vertices()[4].y, 5, 1e-4);
    // The same place on an open polygon has no segment.
    PolygonObject open({ { 0, 0 }, { 10, 0 }, { 10, 10 }, { 0, 10 } }, false);
    EXPECT_FALSE(open.insertVertexNear(1, 5, 2));
}

TEST_F(PathObjectsTest, InsertNodeKeepsTheCurvesShape)
{
    NodeList nodes { makeNode(0, 0), makeNode(100, 0), makeNode(100, 100) };
    smoothNodes(nodes, true);
    CurveObject c(nodes, true);
    c.rotate(0, 0, 30);
    c.translate(5, 7);
    const auto before = sampleCurve(c);
    // A point on the second segment.
    const Point target = before[101 + 34];
    ASSERT_TRUE(c.insertNodeNear(target.x + 0.5f, target.y, 2));
    ASSERT_EQ(c.nodes().size(), 4u);
    const auto after = sampleCurve(c);
    EXPECT_LT(farthest(before, after), 0.02);
    EXPECT_LT(farthest(after, before), 0.02);
    // The new anchor sits on the curve near the click, after node 1.
    const Point anchor = transformPoint(KMatrix(c.matrix()), { c.nodes()[2].x, c.nodes()[2].y });
    EXPECT_LT(std::hypot(anchor.x - target.x, anchor.y - target.y), 2.5);

    // On the closing segment the new node goes last.
    const auto beforeClose = sampleCurve(c);
    const Point onClosing = beforeClose[3 * 101 + 50];
    ASSERT_TRUE(c.insertNodeNear(onClosing.x, onClosing.y, 1));
    ASSERT_EQ(c.nodes().size(), 5u);
    EXPECT_LT(farthest(beforeClose, sampleCurve(c)), 0.02);
    EXPECT_LT(farthest(sampleCurve(c), beforeClose), 0.02);

    EXPECT_FALSE(c.insertNodeNear(1000, 1000, 2));
    EXPECT_EQ(c.nodes().size(), 5u);
}

TEST_F(PathObjectsTest, SmoothTwoNodes)
{
    NodeList open { makeNode(0, 0), makeNode(30, 60) };
    smoothNodes(open, false);
    expectOut(open[0], 10, 20);
    expectIn(open[1], 20, 40);
    expectIn(open[0], 0, 0);
    expectOut(open[1], 0, 0);

    NodeList one { makeNode(1, 2) };
    smoothNodes(one, false);
    EXPECT_EQ(one[0], makeNode(1, 2));
}

TEST_F(PathObjectsTest, SmoothClosedNodesAreTangentContinuous)
{
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

TEST_F(PathObjectsTest, CompoundPathStyleTransformsAndEvenOddArea)
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
    for (const auto& child : compound.children())
        EXPECT_EQ(child->style().fillColor(), (Color { 100, 0, 0 }));
    EXPECT_EQ(compound.style(), first);

    // The inner member cuts a hole.
    EXPECT_TRUE(compound.containsPoint(10, 10));
    EXPECT_FALSE(compound.containsPoint(50, 50));

    compound.setLineWidth(3);
    expectBox(compound.boundingBox(true), -2, -2, 102, 102);

    compound.translate(10, 0);
    compound.rotate(10, 0, 90);
    expectBox(compound.boundingBox(), -90, 0, 10, 100);
    for (const auto& child : compound.children())
        EXPECT_EQ(child->matrix(), compound.children()[0]->matrix());
    EXPECT_EQ(compound.matrix(), Matrix {});
}

TEST_F(PathObjectsTest, CompoundMemberArcStartsItsOwnSubpath)
{
    CompoundPathObject compound;
    compound.appendChild(std::make_unique<RectangleObject>(0, 0, 10, 10));
    compound.appendChild(std::make_unique<ArcObject>(50, 50, 5, 5, 0, 90));
    const auto path = outlineOf(compound);
    int moves = 0;
    for (const PathElement& e : path)
        moves += e.kind == PathKind::Move;
    EXPECT_EQ(moves, 2);
    expectBox(compound.boundingBox(), 0, 0, 55, 55);
}

TEST_F(PathObjectsTest, CloneIsDeep)
{
    auto compound = std::make_unique<CompoundPathObject>();
    compound->appendChild(std::make_unique<PolygonObject>(PointList { { 0, 0 }, { 1, 0 }, { 0, 1 } }, true));
    compound->appendChild(std::make_unique<CurveObject>(NodeList { makeNode(0, 0), makeNode(5, 5) }, false));
    compound->children()[1]->setUrl("link");
    std::unique_ptr<DrawObject> copy = compound->clone();
    const auto expected = emitted(*compound);
    auto& original = static_cast<CurveObject&>(*compound->children()[1]);
    original.removeNode(0);
    original.setUrl("other");
    compound.reset();
    EXPECT_EQ(emitted(*copy), expected);
    auto& cloned = static_cast<const CompoundPathObject&>(*copy);
    EXPECT_EQ(*cloned.children()[1]->url(), "link");
}

struct HandleLog : HandlePainter {
    int marks = 0, lines = 0;
    void mark(Point) override { ++marks; }
    void controlLine(Point, Point) override { ++lines; }
};

TEST_F(PathObjectsTest, CurveEditHandlesShowOnlyTheOutlinesControls)
{
    CurveObject c({ makeNode(0, 0), makeNode(5, 5), makeNode(9, 0) }, false);
    HandleLog plain;
    c.drawHandles(plain);
    EXPECT_EQ(plain.marks, 3);
    EXPECT_EQ(plain.lines, 0);
    HandleLog editing;
    c.drawEditHandles(editing);
    EXPECT_EQ(editing.lines, 4);
    EXPECT_EQ(editing.marks, 7);
    c.setClosed(true);
    HandleLog closed;
    c.drawEditHandles(closed);
    EXPECT_EQ(closed.lines, 6);
}

} // namespace
} // namespace zavora
