#include "model/ShapeObjects.h"

#include "model/GraphicsKernel.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zavora {
namespace {

class ShapeObjectsTest : public ::testing::Test {
protected:
    void SetUp() override { kernel().reset(); }
    void TearDown() override
    {
        EXPECT_EQ(kernel().saveDepth(), 0u);
        EXPECT_EQ(kernel().matrixDepth(), 0u);
    }

    // The outline as built on an identity CTM.
    static std::vector<PathElement> outlineOf(const DrawObject& o)
    {
        kernel().newpath();
        o.buildOutline();
        return kernel().takePath();
    }

    static int count(const std::vector<PathElement>& path, PathKind kind)
    {
        int n = 0;
        for (const PathElement& e : path)
            n += e.kind == kind;
        return n;
    }
};

void expectBox(const Rect& r, float l, float b, float rt, float t, float eps = 1e-3f)
{
    EXPECT_NEAR(r.left, l, eps);
    EXPECT_NEAR(r.bottom, b, eps);
    EXPECT_NEAR(r.right, rt, eps);
    EXPECT_NEAR(r.top, t, eps);
}

TEST_F(ShapeObjectsTest, SwappedRectangleCornersBehaveLikeNormalOnes)
{
    RectangleObject normal(0, 0, 40, 20);
    RectangleObject swapped(40, 20, 0, 0);
    normal.setFillColor(Color::black());
    swapped.setFillColor(Color::black());
    EXPECT_EQ(normal.boundingBox(), swapped.boundingBox());
    expectBox(swapped.boundingBox(), 0, 0, 40, 20);
    for (Point p : { Point { 10, 10 }, Point { 39, 1 }, Point { 41, 10 }, Point { 20, -1 } }) {
        EXPECT_EQ(normal.containsPoint(p.x, p.y), swapped.containsPoint(p.x, p.y)) << p.x << "," << p.y;
        EXPECT_EQ(normal.touchesRect(p.x, p.y, p.x + 0.5f, p.y + 0.5f),
            swapped.touchesRect(p.x, p.y, p.x + 0.5f, p.y + 0.5f));
    }
    EXPECT_TRUE(swapped.containsPoint(10, 10));
}

TEST_F(ShapeObjectsTest, RoundRectangleNeedsRadiiAboveOne)
{
    EXPECT_EQ(outlineOf(RoundRectObject(0, 0, 40, 20, 0.5f, 5)), outlineOf(RectangleObject(0, 0, 40, 20)));

    // ry must exceed 1; rx may equal it.
    EXPECT_EQ(count(outlineOf(RoundRectObject(0, 0, 40, 20, 1, 1)), PathKind::Curve), 0);
    EXPECT_EQ(count(outlineOf(RoundRectObject(0, 0, 40, 20, 1, 1.5f)), PathKind::Curve), 4);

    // Swapped corners are ordered before rounding.
    EXPECT_EQ(outlineOf(RoundRectObject(40, 20, 0, 0, 3, 3)), outlineOf(RoundRectObject(0, 0, 40, 20, 3, 3)));
}

TEST_F(ShapeObjectsTest, RoundRectangleClampsOnlyTheOutline)
{
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

TEST_F(ShapeObjectsTest, LineNeverContainsAPointButIsHitOnItsOutline)
{
    LineObject line(0, 0, 100, 0);
    line.setFillColor(Color::black());
    EXPECT_FALSE(line.containsPoint(50, 0));
    Point probe { 50, 1.5f };
    float d = 0;
    ASSERT_TRUE(line.nearestOutlinePoint(probe, 2, d));
    EXPECT_NEAR(probe.x, 50, 1e-3);
    EXPECT_NEAR(probe.y, 0, 1e-3);
    EXPECT_NEAR(d, 2.25f, 1e-3);

    probe = { 50, 5 };
    EXPECT_FALSE(line.nearestOutlinePoint(probe, 2, d));
    EXPECT_EQ(probe, (Point { 50, 5 }));
}

TEST_F(ShapeObjectsTest, NearestOutlinePointOnATransformedShape)
{
    RectangleObject r(0, 0, 10, 10);
    r.scale(0, 0, 2, 2);
    r.translate(100, 0);
    Point probe { 121, 10 };
    float d = 0;
    ASSERT_TRUE(r.nearestOutlinePoint(probe, 2, d));
    EXPECT_NEAR(probe.x, 120, 1e-3);
    EXPECT_NEAR(probe.y, 10, 1e-3);
    EXPECT_NEAR(d, 1, 1e-3);
}

TEST_F(ShapeObjectsTest, EllipseHandlesLieOnTheEllipse)
{
    EllipseObject e(10, 20, 30, 15);
    const auto handles = e.handlePoints();
    ASSERT_EQ(handles.size(), 4u);
    for (Point h : handles) {
        const double u = (h.x - 10) / 30.0, v = (h.y - 20) / 15.0;
        EXPECT_NEAR(u * u + v * v, 1.0, 1e-5);
        EXPECT_NEAR(std::abs(u), std::abs(v), 1e-5);
    }
    // Its box is the control polygon of the four quarter curves: the curve's own box.
    expectBox(e.boundingBox(), -20, 5, 40, 35);

    e.setFillColor(Color::black());
    EXPECT_TRUE(e.containsPoint(10, 20));
    EXPECT_FALSE(e.containsPoint(38, 33)); // inside the box, outside the ellipse
}

TEST_F(ShapeObjectsTest, ArcThroughZeroAndItsChord)
{
    ArcObject a(100, 50, 10, 20, 300, 60);
    const auto path = outlineOf(a);
    EXPECT_EQ(count(path, PathKind::Move), 1);
    EXPECT_EQ(count(path, PathKind::Close), 0);
    // Counter-clockwise from 300 to 60 passes 0 degrees: it reaches x = cx + rx.
    const float halfHeight = 20 * std::sin(60 * 3.14159265f / 180);
    expectBox(a.boundingBox(), 105, 50 - halfHeight, 110, 50 + halfHeight);

    const auto handles = a.handlePoints(); // the ends
    ASSERT_EQ(handles.size(), 2u);
    EXPECT_NEAR(handles[0].y, 50 - halfHeight, 1e-3);
    EXPECT_NEAR(handles[1].y, 50 + halfHeight, 1e-3);

    a.setFillColor(Color::black());
    EXPECT_TRUE(a.containsPoint(108, 50));
    EXPECT_FALSE(a.containsPoint(104, 50)); // beyond the chord
    a.setFillTransparent();
    EXPECT_FALSE(a.containsPoint(108, 50));
}

TEST_F(ShapeObjectsTest, GeometryChangesInvalidateTheBox)
{
    LineObject line(0, 0, 10, 10);
    line.boundingBox();
    line.setEnds({ 0, 0 }, { 50, -5 });
    EXPECT_FALSE(line.boxValid());
    expectBox(line.boundingBox(), 0, -5, 50, 0);

    EllipseObject e(0, 0, 1, 1);
    e.boundingBox();
    e.setGeometry(0, 0, 5, 2);
    expectBox(e.boundingBox(), -5, -2, 5, 2);
}

} // namespace
} // namespace zavora
