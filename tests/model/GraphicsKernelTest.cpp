#include "model/GraphicsKernel.h"

#include "platform/DebugLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace zavora;

namespace {

constexpr double kPi = 3.14159265358979323846;

class KernelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kernel().reset();
        DebugLog::instance().setEchoToStderr(false);
        DebugLog::instance().clear();
    }
    void TearDown() override
    {
        kernel().reset();
        DebugLog::instance().clear();
        DebugLog::instance().setEchoToStderr(true);
    }

    static long underflows()
    {
        const auto& lines = DebugLog::instance().lines();
        return std::count(lines.begin(), lines.end(), "Stack underflow");
    }
};

std::size_t countKind(const std::vector<PathElement>& path, PathKind kind)
{
    return std::count_if(path.begin(), path.end(), [&](const PathElement& e) { return e.kind == kind; });
}

Point curveEnd(const PathElement& e)
{
    return Point { e.x3, e.y3 };
}

double angleDeg(Point p, Point centre)
{
    double a = std::atan2(p.y - centre.y, p.x - centre.x) * 180 / kPi;
    return a < 0 ? a + 360 : a;
}

double radius(Point p, Point centre)
{
    return std::hypot(p.x - centre.x, p.y - centre.y);
}

Point bezier(Point p0, Point p1, Point p2, Point p3, double t)
{
    const double u = 1 - t;
    const auto f = [&](float a, float b, float c, float d) {
        return static_cast<float>(u * u * u * a + 3 * u * u * t * b + 3 * u * t * t * c + t * t * t * d);
    };
    return Point { f(p0.x, p1.x, p2.x, p3.x), f(p0.y, p1.y, p2.y, p3.y) };
}

// Sweep of each curve piece of an arc path, in degrees (counter-clockwise).
std::vector<double> pieceSweeps(const std::vector<PathElement>& path, Point centre)
{
    std::vector<double> sweeps;
    Point last;
    for (const PathElement& e : path) {
        if (e.kind == PathKind::Move) {
            last = Point { e.x1, e.y1 };
        } else if (e.kind == PathKind::Curve) {
            double s = angleDeg(curveEnd(e), centre) - angleDeg(last, centre);
            if (s <= 0.001)
                s += 360;
            sweeps.push_back(s);
            last = curveEnd(e);
        }
    }
    return sweeps;
}

void buildRect(float l, float b, float r, float t)
{
    kernel().moveto(l, b);
    kernel().lineto(r, b);
    kernel().lineto(r, t);
    kernel().lineto(l, t);
    kernel().closepath();
}

} // namespace

TEST_F(KernelTest, SecondGrestoreUnderflowsAndKeepsFirstRestore)
{
    kernel().setGray(0.25f);
    kernel().translate(10, 20);
    kernel().gsave();
    kernel().setColor(1, 0, 0);
    kernel().scale(3, 3);
    kernel().setPen(4);
    kernel().grestore();
    kernel().grestore();
    EXPECT_EQ(underflows(), 1);
    EXPECT_EQ(kernel().state().red, 0.25f);
    EXPECT_EQ(kernel().state().pen, -1);
    EXPECT_EQ(kernel().ctm(), KMatrix(1, 0, 0, 1, 10, 20));
}

TEST_F(KernelTest, PathAndLineWidthAreStoredInDeviceSpace)
{
    kernel().translate(100, 0);
    kernel().scale(2, 3);
    kernel().setLineWidth(1.5f); // x of the delta-transformed (w, w)
    EXPECT_EQ(kernel().state().lineWidth, 3.0f);
    kernel().moveto(1, 2);
    kernel().lineto(3, 4);
    kernel().lineto(4, 3);
    kernel().curveto(0, 0, 1, 1, 2, 2);
    kernel().closepath();
    const std::vector<PathElement> expected {
        { PathKind::Move, 102, 6 },
        { PathKind::Line, 106, 12 },
        { PathKind::Line, 108, 9 },
        { PathKind::Curve, 100, 0, 102, 3, 104, 6 },
        { PathKind::Close },
    };
    EXPECT_EQ(kernel().state().currentX, 2);
    EXPECT_EQ(kernel().takePath(), expected);
    EXPECT_TRUE(kernel().path().empty());
    EXPECT_EQ(kernel().state().hasCurrentPoint, 0);
}

// Angles are brought into one turn (a table of sweeps), every piece is at
// most a quarter turn and stays on the circle (random arcs).
TEST_F(KernelTest, ArcsTurnOnceAtMostAndStayOnTheCircle)
{
    const struct {
        float a1, a2;
        std::size_t elements;
        double start, end, sweep;
    } cases[] = {
        { 0, 360, 5, 0, 0, 360 },
        { 0, 359.9f, 5, 0, 359.9, 359.9 },
        { 300, 60, 3, 300, 60, 120 }, // across zero: two runs, one move
        { -90, 0, 2, 270, 0, 90 }, // then an empty run from 0 to 0
        { 90, 450, 5, 90, 90, 360 },
        { 360, 90, 2, 0, 90, 90 }, // an empty first run still starts the subpath
        { 45, 45, 0, 0, 0, 0 },
    };
    const Point c { 5, 5 };
    for (const auto& t : cases) {
        SCOPED_TRACE(std::to_string(t.a1) + " to " + std::to_string(t.a2));
        kernel().newpath();
        kernel().arc(c.x, c.y, 10, t.a1, t.a2);
        const auto& path = kernel().path();
        ASSERT_EQ(path.size(), t.elements);
        if (path.empty())
            continue;
        EXPECT_EQ(path.front().kind, PathKind::Move);
        EXPECT_EQ(countKind(path, PathKind::Move), 1u);
        EXPECT_NEAR(angleDeg(Point { path[0].x1, path[0].y1 }, c), t.start, 1e-3);
        EXPECT_NEAR(std::fmod(angleDeg(curveEnd(path.back()), c) + 1e-4, 360), t.end, 1e-3);
        double sweep = 0;
        for (double s : pieceSweeps(path, c))
            sweep += s;
        EXPECT_NEAR(sweep, t.sweep, 1e-3);
    }

    std::mt19937 rng(5);
    std::uniform_real_distribution<float> angle(-350, 720);
    const Point centre { 40, -30 };
    const float r = 100;
    for (int i = 0; i < 300; ++i) {
        kernel().newpath();
        kernel().arc(centre.x, centre.y, r, angle(rng), angle(rng));
        Point last;
        for (const PathElement& e : kernel().path()) {
            const Point end = e.kind == PathKind::Move ? Point { e.x1, e.y1 } : curveEnd(e);
            EXPECT_NEAR(radius(end, centre), r, 1e-3);
            // A quarter-turn cubic strays from the circle by under 0.03% of the radius.
            for (double t = 0.1; e.kind == PathKind::Curve && t < 1; t += 0.1)
                EXPECT_NEAR(radius(bezier(last, { e.x1, e.y1 }, { e.x2, e.y2 }, end, t), centre), r, 0.03);
            last = end;
        }
        for (double s : pieceSweeps(kernel().path(), centre))
            EXPECT_LE(s, 90.001);
    }
}

// Point-in-path and rectangle overlap fill the current path by the even-odd
// rule, flattened through the CTM; both consume the path.
TEST_F(KernelTest, FilledAreaTestsUseTheEvenOddRule)
{
    enum class Shape { RingWithHole, SquareTwice, Triangle, CircleScaledTen, Line, TwoPixelSliver, Empty };
    const auto build = [](Shape shape) {
        GraphicsKernel& k = kernel();
        switch (shape) {
        case Shape::RingWithHole:
            buildRect(0, 0, 100, 100);
            buildRect(25, 25, 75, 75);
            break;
        case Shape::SquareTwice: // cancels itself
            buildRect(0, 0, 10, 10);
            buildRect(0, 0, 10, 10);
            break;
        case Shape::Triangle:
            k.moveto(0, 0);
            k.lineto(100, 0);
            k.lineto(0, 100);
            k.closepath();
            break;
        case Shape::CircleScaledTen:
            k.scale(10, 10);
            k.arc(0, 0, 5, 0, 360);
            break;
        case Shape::Line:
            k.moveto(0, 0);
            k.lineto(100, 100);
            break;
        case Shape::TwoPixelSliver: // three vertices that round onto two pixels
            k.moveto(0, 0);
            k.lineto(10, 0);
            k.lineto(10.2f, 0.3f);
            k.closepath();
            break;
        case Shape::Empty:
            break;
        }
    };
    // A probe with no extent is a point test, else a rectangle, corners in any order.
    const struct {
        Shape shape;
        Rect probe;
        bool hit;
    } cases[] = {
        { Shape::RingWithHole, { 10, 10, 10, 10 }, true },
        { Shape::RingWithHole, { -1, 50, -1, 50 }, false },
        { Shape::RingWithHole, { 74, 74, 74, 74 }, false },
        { Shape::RingWithHole, { 30, 30, 70, 70 }, false }, // wholly in the hole
        { Shape::SquareTwice, { 5, 5, 5, 5 }, false },
        { Shape::CircleScaledTen, { 4.8f, 0, 4.8f, 0 }, true },
        { Shape::CircleScaledTen, { 5.2f, 0, 5.2f, 0 }, false },
        { Shape::CircleScaledTen, { 3.4f, 3.4f, 3.4f, 3.4f }, true },
        { Shape::CircleScaledTen, { 3.7f, 3.7f, 3.7f, 3.7f }, false },
        { Shape::Triangle, { 10, 10, 20, 20 }, true }, // wholly inside
        { Shape::Triangle, { -10, -10, 200, 200 }, true }, // encloses it
        { Shape::Triangle, { 45, 45, 60, 60 }, true }, // a vertex-free crossing of the long edge
        { Shape::Triangle, { 52, 52, 60, 60 }, false }, // beyond the long edge
        { Shape::Triangle, { -20, 40, 5, 45 }, true }, // straddles the left edge
        { Shape::Line, { 50, 50, 50, 50 }, false },
        { Shape::Line, { 40, 40, 60, 60 }, false },
        { Shape::TwoPixelSliver, { 9.9f, 0.1f, 9.9f, 0.1f }, false },
        { Shape::Empty, { 0, 0, 0, 0 }, false },
    };
    for (const auto& c : cases) {
        const Rect& r = c.probe;
        SCOPED_TRACE(testing::Message()
            << int(c.shape) << ": " << r.left << "," << r.bottom << " " << r.right << "," << r.top);
        kernel().reset();
        build(c.shape);
        const bool point = r.left == r.right && r.bottom == r.top;
        EXPECT_EQ(point ? kernel().pointInPath(r.left, r.bottom)
                        : kernel().rectOverlapsPath(r.left, r.bottom, r.right, r.top),
            c.hit);
        EXPECT_TRUE(kernel().path().empty());
    }
}

TEST_F(KernelTest, NearestPointOnLines)
{
    const struct {
        const char* why;
        std::vector<std::vector<Point>> subpaths;
        bool closed;
        Point probe;
        float tolerance;
        bool hit;
        Point expected;
        float distanceSquared;
        int element; // -1: not checked
    } cases[] = {
        { "a vertex within the square wins over a nearer projection", { { { 0, 0 }, { 100, 0 } } }, false,
            { 2, 1 }, 3, true, { 0, 0 }, 5, -1 },
        { "|dx| equal to the tolerance is not within", { { { 0, 0 }, { 100, 0 } } }, false, { 3, 1 }, 3, true,
            { 3, 0 }, 1, -1 },
        { "the closing edge is an element", { { { 0, 0 }, { 100, 0 }, { 0, 100 } } }, true, { -2, 50 }, 5,
            true, { 0, 50 }, 4, 3 },
        { "a segment grazing the square's corner", { { { -10, 12 }, { 12, -10 } } }, false, { 0, 0 }, 2, true,
            { 1, 1 }, 2, -1 },
        { "the foot beyond an end is pulled back", { { { 0, 0 }, { 10, 10 } } }, false, { 13, 10 }, 3, true,
            { 10, 10 }, 9, -1 },
        { "nothing within the tolerance", { { { 0, 0 }, { 100, 0 } } }, false, { 50, 50 }, 10, false, {}, 0,
            -1 },
        { "ties keep the first", { { { 0, -10 }, { 100, -10 } }, { { 0, 10 }, { 100, 10 } } }, false,
            { 50, 0 }, 12, true, { 50, -10 }, 100, 1 },
        { "strictly nearer wins", { { { 0, -10 }, { 100, -10 } }, { { 0, 9 }, { 100, 9 } } }, false,
            { 50, 0 }, 12, true, { 50, 9 }, 81, 3 },
        { "a candidate must beat the initial best", { { { 0, 0 }, { 0, 1 } } }, false, { 2.0e6f, 0 }, 3.0e6f,
            false, {}, 0, -1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        for (const auto& sub : c.subpaths) {
            kernel().moveto(sub[0].x, sub[0].y);
            for (std::size_t i = 1; i < sub.size(); ++i)
                kernel().lineto(sub[i].x, sub[i].y);
        }
        if (c.closed)
            kernel().closepath();
        Point p = c.probe;
        float d2 = 0;
        CurveSplit split;
        ASSERT_EQ(kernel().nearestPointOnPath(p, c.tolerance, d2, &split), c.hit);
        EXPECT_TRUE(kernel().path().empty());
        if (!c.hit) {
            EXPECT_EQ(p, c.probe);
            continue;
        }
        EXPECT_NEAR(p.x, c.expected.x, 1e-5);
        EXPECT_NEAR(p.y, c.expected.y, 1e-5);
        EXPECT_NEAR(d2, c.distanceSquared, 1e-4);
        EXPECT_FALSE(split.onCurve);
        if (c.element >= 0) {
            EXPECT_EQ(split.elementIndex, c.element);
        }
    }
}

TEST_F(KernelTest, NearestPointOnCurveAndItsParameter)
{
    const Point c0 { 0, 0 }, c1 { 30, 120 }, c2 { 170, -60 }, c3 { 200, 40 };
    std::mt19937 rng(21);
    std::uniform_real_distribution<double> param(0.02, 0.98);
    std::uniform_real_distribution<float> jitter(-4, 4);
    for (int i = 0; i < 50; ++i) {
        const Point on = bezier(c0, c1, c2, c3, param(rng));
        Point p { on.x + jitter(rng), on.y + jitter(rng) };
        const Point probe = p;
        kernel().moveto(c0.x, c0.y);
        kernel().curveto(c1.x, c1.y, c2.x, c2.y, c3.x, c3.y);
        CurveSplit split;
        float d2 = 0;
        ASSERT_TRUE(kernel().nearestPointOnPath(p, 6, d2, &split));
        ASSERT_TRUE(split.onCurve);
        const Point atT = bezier(c0, c1, c2, c3, split.t); // the parameter node insertion splits at
        EXPECT_LT(std::hypot(atT.x - p.x, atT.y - p.y), 1e-3);
        EXPECT_NEAR(d2, std::pow(p.x - probe.x, 2) + std::pow(p.y - probe.y, 2), 1e-2);

        // No sampled point of the curve is nearer than the answer.
        for (int k = 0; k <= 1000; ++k) {
            const Point b = bezier(c0, c1, c2, c3, k / 1000.0);
            EXPECT_GE(std::pow(b.x - probe.x, 2) + std::pow(b.y - probe.y, 2), d2 - 1e-2);
        }
    }
}
