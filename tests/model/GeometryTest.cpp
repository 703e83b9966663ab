#include "model/Geometry.h"
#include "model/DrawingLimits.h"

#include "model/GraphicsKernel.h"
#include "model/ShapeObjects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

using namespace zavora;

namespace {

KMatrix randomMatrix(std::mt19937& rng)
{
    std::uniform_real_distribution<double> lin(-3, 3);
    std::uniform_real_distribution<double> off(-500, 500);
    return KMatrix(lin(rng), lin(rng), lin(rng), lin(rng), off(rng), off(rng));
}

} // namespace

TEST(Geometry, ProductMapsThroughFirstThenSecondAndInverseUndoes)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> coord(-100, 100);
    for (int i = 0; i < 200; ++i) {
        const KMatrix a = randomMatrix(rng);
        const KMatrix b = randomMatrix(rng);
        const Point p { coord(rng), coord(rng) };
        const Point viaProduct = transformPoint(multiply(a, b), p);
        const Point stepwise = transformPoint(b, transformPoint(a, p));
        EXPECT_NEAR(viaProduct.x, stepwise.x, 1e-2);
        EXPECT_NEAR(viaProduct.y, stepwise.y, 1e-2);
        if (std::abs(a.a * a.d - a.b * a.c) < 0.05) // nearly singular
            continue;
        const KMatrix id = multiply(a, invert(a));
        for (double offIdentity : { id.a - 1, id.b, id.c, id.d - 1 })
            EXPECT_NEAR(offIdentity, 0, 1e-9);
        EXPECT_NEAR(std::hypot(id.tx, id.ty), 0, 1e-6);
    }
}

TEST(Geometry, NearlySingularMatrixInvertsToFarOffValues)
{
    const KMatrix far(1.0e8, 1.0e8, 1.0e8, 1.0e8, 1.0e8, 1.0e8);
    EXPECT_EQ(invert(KMatrix(0, 0, 0, 0, 5, 5)), far);
    // The band is [-0.0001, 0.0001): its lower end is singular, its upper end is not.
    EXPECT_EQ(invert(KMatrix(-0.0001, 0, 0, 1, 0, 0)), far);
    EXPECT_EQ(invert(KMatrix(0.00005, 0, 0, 1, 3, 4)), far);
    const KMatrix justInvertible = invert(KMatrix(0.0001, 0, 0, 1, 0, 0));
    EXPECT_NEAR(justInvertible.a, 10000, 1e-6);
    EXPECT_EQ(justInvertible.d, 1);
}

TEST(Geometry, GridSnapGoesToNearestLineOnBothSidesOfZero)
{
    const Grid grid { 5, 5, 0, 1 };
    EXPECT_EQ(snapToGrid(Point { 7, -7 }, grid), (Point { 5, -5 }));
    // Halves round up, also below zero.
    EXPECT_EQ(snapToGrid(Point { 7.5f, -7.5f }, grid), (Point { 10, -5 }));
    EXPECT_EQ(snapToGrid(Point { -2.5f, -12.6f }, grid), (Point { 0, -15 }));
    EXPECT_EQ(snapToGrid(Point { 3, 8 }, Grid { 4, 10, 0, 1 }), (Point { 4, 10 }));
    // A zero spacing leaves that axis alone instead of producing NaN.
    EXPECT_EQ(snapToGrid(Point { 7, 7 }, Grid { 0, 5, 0, 1 }), (Point { 7, 5 }));
}

// The sweep PostScript's arc draws: an end below the start gains whole turns
// until it is not below; more than a turn is drawn as a whole ellipse.
double postScriptSweep(double start, double end)
{
    double sweep = end - start;
    if (sweep < 0)
        sweep = std::fmod(sweep, 360.0) + (std::fmod(sweep, 360.0) < 0 ? 360 : 0);
    return std::min(sweep, 360.0);
}

TEST(DrawingLimits, ArcAnglesKeepTheirSweep)
{
    struct Case {
        float start, end;
    };
    // Within two turns either side angles are left as they are.
    for (Case c : { Case { -90, 45 }, Case { 270, 0 }, Case { 0, 360 }, Case { -720, 720 } }) {
        const ArcAngles a = saneArcAngles(c.start, c.end);
        EXPECT_EQ(a.start, c.start);
        EXPECT_EQ(a.end, c.end);
    }
    for (Case c : { Case { 0, 1e8f }, Case { 1e8f, 0 }, Case { -3e9f, 3e9f }, Case { 370, -1e10f },
             Case { 1000, 1090 }, Case { 1090, 1000 }, Case { -1000, -1000 }, Case { 730, 10 } }) {
        SCOPED_TRACE(std::to_string(c.start) + " " + std::to_string(c.end));
        const ArcAngles a = saneArcAngles(c.start, c.end);
        EXPECT_GE(a.start, 0);
        EXPECT_LT(a.start, 360);
        EXPECT_NEAR(a.end - a.start, postScriptSweep(c.start, c.end), 1e-3);
        // A second pass changes nothing, so files read back the same.
        const ArcAngles again = saneArcAngles(a.start, a.end);
        EXPECT_EQ(again.start, a.start);
        EXPECT_EQ(again.end, a.end);
    }
}

// A pick square whose edge lies exactly on a shape's edge touches it: the clip
// works on the closed square, at the primitive and through a shape's hit tests.
TEST(Geometry, PickSquareEdgeOnTheShapeEdgeIsAHit)
{
    kernel().reset();
    const RectangleObject shape(0, 10, 100, 60);
    const struct {
        const char* where;
        Point a, b; // the shape's edge
        Point centre;
        float half;
        bool hit;
    } cases[] = {
        { "square below, its top on the bottom edge", { 0, 10 }, { 100, 10 }, { 50, 7 }, 3, true },
        { "square above, its bottom on the top edge", { 100, 60 }, { 0, 60 }, { 50, 63 }, 3, true },
        { "square right, its left on the right edge", { 100, 10 }, { 100, 60 }, { 102, 35 }, 2, true },
        { "square left, its right on the left edge", { 0, 60 }, { 0, 10 }, { -4, 35 }, 4, true },
        { "square a unit short of the bottom edge", { 0, 10 }, { 100, 10 }, { 50, 6 }, 3, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        const Rect square { c.centre.x - c.half, c.centre.y - c.half, c.centre.x + c.half,
            c.centre.y + c.half };
        EXPECT_EQ(segmentMeetsRect(c.a, c.b, square), c.hit);

        float d2 = 0;
        Point onPath = c.centre;
        kernel().moveto(c.a.x, c.a.y);
        kernel().lineto(c.b.x, c.b.y);
        EXPECT_EQ(kernel().nearestPointOnPath(onPath, c.half, d2), c.hit);

        Point onShape = c.centre;
        EXPECT_EQ(shape.nearestOutlinePoint(onShape, c.half, d2), c.hit);
        if (c.hit) {
            EXPECT_FLOAT_EQ(d2, c.half * c.half);
        }
        EXPECT_EQ(shape.touchesRect(square.left, square.bottom, square.right, square.top), c.hit);
    }
    // Crossings and near misses are the marquee's (tool tests); a zero-length segment meets from inside only.
    EXPECT_TRUE(segmentMeetsRect({ 3, 3 }, { 3, 3 }, { 0, 0, 10, 20 }));
    EXPECT_FALSE(segmentMeetsRect({ 11, 3 }, { 11, 3 }, { 0, 0, 10, 20 }));
}
