#include "model/DrawObject.h"

#include "model/GraphicsKernel.h"
#include "model/HandlePainter.h"
#include "model/ShapeObjects.h"

#include <gtest/gtest.h>

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

Point mapped(const DrawObject& o, Point p)
{
    return transformPoint(KMatrix(o.matrix()), p);
}

void expectPoint(Point p, float x, float y)
{
    EXPECT_NEAR(p.x, x, 1e-4);
    EXPECT_NEAR(p.y, y, 1e-4);
}

void expectBox(const Rect& r, float l, float b, float rt, float t)
{
    EXPECT_NEAR(r.left, l, 1e-4);
    EXPECT_NEAR(r.bottom, b, 1e-4);
    EXPECT_NEAR(r.right, rt, 1e-4);
    EXPECT_NEAR(r.top, t, 1e-4);
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
        { "in y = x + 10, (x, y) goes to (y - 10, x + 10)", { 0, 0, 1, 1 },
            [](DrawObject& o) { o.reflect(0, 10, 45); }, { 3, 1 }, { -9, 13 }, {}, {} },
        { "a horizontal mirror flips y only", { 0, 0, 1, 1 }, [](DrawObject& o) { o.reflect(0, 5, 0); },
            { 3, 1 }, { 3, 9 }, Matrix { 1, 0, 0, -1, 0, 10 }, {} },
        { "kx shears y by x", { 0, 0, 10, 10 }, [](DrawObject& o) { o.skew(0, 0, 0.5f, 0); }, { 10, 0 },
            { 10, 5 }, Matrix { 1, 0.5f, 0, 1, 0, 0 }, Rect { 0, 0, 10, 15 } },
        { "ky shears x by y", { 0, 0, 10, 10 }, [](DrawObject& o) { o.skew(0, 0, 0, 0.25f); }, { 0, 4 },
            { 1, 4 }, Matrix { 1, 0, 0.25f, 1, 0, 0 }, {} },
        { "and moves the others by kx and ky", { 0, 0, 10, 10 },
            [](DrawObject& o) { o.skew(10, 10, 0.5f, 0.25f); }, { 12, 14 }, { 13, 15 }, {}, {} },
        { "a scale about (1, 1)", { 0, 0, 10, 10 }, [](DrawObject& o) { o.scale(1, 1, 2, 3); }, { 2, 2 },
            { 3, 4 }, {}, Rect { -1, -2, 19, 28 } },
        { "then a move", { 0, 0, 10, 10 },
            [](DrawObject& o) {
                o.scale(1, 1, 2, 3);
                o.translate(-1, 2);
            },
            { 2, 2 }, { 2, 6 }, {}, Rect { -2, 0, 18, 30 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        RectangleObject r(c.shape.left, c.shape.bottom, c.shape.right, c.shape.top);
        r.boundingBox();
        c.apply(r);
        EXPECT_FALSE(r.boxValid());
        expectPoint(mapped(r, c.in), c.out.x, c.out.y);
        if (c.matrix) {
            expectMatrix(
                r.matrix(), c.matrix->a, c.matrix->b, c.matrix->c, c.matrix->d, c.matrix->tx, c.matrix->ty);
        }
        if (c.box) {
            expectBox(r.boundingBox(), c.box->left, c.box->bottom, c.box->right, c.box->top);
        }
    }
}

TEST_F(DrawObjectTest, StrokeGrowthOnlyOnTheReturnedBox)
{
    RectangleObject r(0, 0, 10, 10);
    r.setLineWidth(3); // trunc(1.5 + 0.5) = 2
    expectBox(r.boundingBox(true), -2, -2, 12, 12);
    expectBox(r.boundingBox(), 0, 0, 10, 10);

    r.setLineWidth(2); // trunc(1.5) = 1
    expectBox(r.boundingBox(true), -1, -1, 11, 11);
    r.setLineWidth(0.25f); // trunc(0.625) = 0
    expectBox(r.boundingBox(true), 0, 0, 10, 10);

    // Dashed: 1 whatever the width; invisible lines still count.
    r.setLineWidth(9);
    r.setDash(0);
    expectBox(r.boundingBox(true), -1, -1, 11, 11);
    r.setLineInvisible(); // solid again, width 9 -> 5
    expectBox(r.boundingBox(true), -5, -5, 15, 15);
}

// Clones are the undo walk's (paste, duplicate); here what the
// common-part copy and the flag setters keep apart.
TEST_F(DrawObjectTest, UrlFlagsAndCommonCopies)
{
    auto source = std::make_unique<RectangleObject>(0, 0, 10, 10);
    source->setUrl("http://second.example/");
    source->lock();
    source->hideForEditing();
    source->show();
    EXPECT_FALSE(source->isHidden());
    EXPECT_TRUE(source->isLocked());
    source->setArrows(3, kArrowUnchanged);
    source->setArrows(kArrowUnchanged, 5);
    EXPECT_EQ(source->arrows(), std::make_pair(3, 5));
    source->translate(2, 3);

    LineObject line(0, 0, 1, 1);
    line.copyCommonFrom(*source);
    EXPECT_EQ(*line.url(), "http://second.example/");
    EXPECT_EQ(line.matrix(), source->matrix());
    EXPECT_EQ(line.flags(), source->flags());
    line.setUrl("");
    EXPECT_FALSE(line.url());
}

TEST_F(DrawObjectTest, UnfilledShapeIsHitOnlyThroughItsOutline)
{
    RectangleObject r(0, 0, 100, 100);
    EXPECT_FALSE(r.containsPoint(50, 50));
    Point probe { 50, 50 };
    float d = 0;
    EXPECT_FALSE(r.nearestOutlinePoint(probe, 2, d));

    probe = { 50, 99 };
    ASSERT_TRUE(r.nearestOutlinePoint(probe, 2, d));
    EXPECT_NEAR(probe.y, 100, 1e-3);

    r.setFillColor(Color::white());
    EXPECT_TRUE(r.containsPoint(50, 50));
    EXPECT_FALSE(r.containsPoint(150, 50));
    r.setFillTransparent();
    EXPECT_FALSE(r.containsPoint(50, 50));
}

TEST_F(DrawObjectTest, TouchesRectNeedsTheOutlineNotOnlyTheBox)
{
    // The box corner lies outside the ellipse; the marquee may be given in any corner order.
    EllipseObject e(0, 0, 100, 50);
    EXPECT_FALSE(e.touchesRect(90, 45, 99, 49));
    EXPECT_TRUE(e.touchesRect(60, -10, 40, 10));
    EXPECT_FALSE(e.touchesRect(200, 200, 300, 300));

    RectangleObject r(0, 0, 10, 10);
    r.rotate(0, 0, 45);
    // Inside the rotated box but outside the diamond.
    EXPECT_FALSE(r.touchesRect(5, 0.5f, 6.5f, 1.5f));
    EXPECT_TRUE(r.touchesRect(-1, 6, 1, 8));
}

TEST_F(DrawObjectTest, HitTestsLeaveACallersPathAlone)
{
    // A box or a hit test asked for while something is being built does not
    // disturb it: not the path, not the current point.
    GraphicsKernel& k = kernel();
    EllipseObject e(0, 0, 5, 5);
    e.setFillColor({ 0, 0, 0 });
    const std::function<void()> queries[] = {
        [&] { expectBox(e.boundingBox(), -5, -5, 5, 5); },
        [&] { EXPECT_TRUE(e.touchesRect(-1, -1, 1, 1)); },
        [&] { EXPECT_TRUE(e.containsPoint(1, 1)); },
        [&] {
            Point p { 5.5f, 0 };
            float d2 = 0;
            EXPECT_TRUE(e.nearestOutlinePoint(p, 1, d2));
        },
    };
    for (const auto& query : queries) {
        k.moveto(1, 2);
        k.lineto(3, 4);
        const auto before = k.path();
        query();
        EXPECT_EQ(k.path(), before);
        EXPECT_TRUE(k.state().hasCurrentPoint);
        EXPECT_EQ(k.state().currentX, 3);
        k.newpath();
    }
}

struct MarkRecorder : HandlePainter {
    std::vector<Point> marks;
    int lines = 0;
    void mark(Point p) override { marks.push_back(p); }
    void controlLine(Point, Point) override { ++lines; }
};

TEST_F(DrawObjectTest, HandlesAreMappedByTheMatrix)
{
    LineObject line(0, 0, 10, 0);
    line.translate(5, 5);
    MarkRecorder rec;
    line.drawHandles(rec);
    ASSERT_EQ(rec.marks.size(), 2u);
    expectPoint(rec.marks[0], 5, 5);
    expectPoint(rec.marks[1], 15, 5);
}

} // namespace
} // namespace zavora
