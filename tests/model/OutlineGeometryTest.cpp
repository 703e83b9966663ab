#include "model/OutlineGeometry.h"

#include "RecordingPort.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>

namespace zavora {
namespace {

using test::RecordingPort;

constexpr float kEps = 1e-4f;

// The base behaviours are called by name (port.OutputPort::arc), so each shape
// arrives as polyline or curvePath; this port also notes when rectangle is reached.
class BasePort : public RecordingPort {
public:
    std::vector<NodeList> paths;

    void rectangle(const PaintStyle& s, const Matrix& m, float x1, float y1, float x2, float y2) override
    {
        log.push_back("rectangle");
        OutputPort::rectangle(s, m, x1, y1, x2, y2);
    }
    void curvePath(
        const PaintStyle& s, const Matrix& m, const NodeList& nodes, bool closed, int a1, int a2) override
    {
        paths.push_back(nodes);
        RecordingPort::curvePath(s, m, nodes, closed, a1, a2);
    }
};

void expectNode(const BezierNode& n, Point anchor, Point in, Point out)
{
    EXPECT_NEAR(n.x, anchor.x, kEps);
    EXPECT_NEAR(n.y, anchor.y, kEps);
    EXPECT_NEAR(n.inX, in.x, kEps);
    EXPECT_NEAR(n.inY, in.y, kEps);
    EXPECT_NEAR(n.outX, out.x, kEps);
    EXPECT_NEAR(n.outY, out.y, kEps);
    EXPECT_EQ(n.flags, 0u);
}

void expectPoints(const PointList& actual, const PointList& expected, float eps = kEps)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i].x, expected[i].x, eps) << "point " << i;
        EXPECT_NEAR(actual[i].y, expected[i].y, eps) << "point " << i;
    }
}

// The control distance of a quarter circle.
const float kQuarter = float(4.0 / 3.0 / (1 + std::numbers::sqrt2));

TEST(ArcNodes, QuarterArcIsOneBezierWithTheCircleControlDistance)
{
    NodeList nodes;
    appendArcNodes(nodes, 10, 20, 5, 3, 0, 90);
    ASSERT_EQ(nodes.size(), 2u);
    expectNode(nodes[0], { 15, 20 }, { 15, 20 }, { 15, 20 + 3 * kQuarter });
    expectNode(nodes[1], { 10, 23 }, { 10 + 5 * kQuarter, 23 }, { 10, 23 });
    NodeList bad; // a file's NaN angle draws nothing rather than looping
    appendArcNodes(bad, 0, 0, 1, 1, std::numeric_limits<float>::quiet_NaN(), 90);
    EXPECT_TRUE(bad.empty());
}

TEST(ArcNodes, SweepIsCutIntoQuartersWithAShorterLastPiece)
{
    NodeList nodes;
    appendArcNodes(nodes, 0, 0, 10, 10, 30, 165);
    ASSERT_EQ(nodes.size(), 3u);
    const double r = std::numbers::pi / 180;
    const auto at = [&](double deg) {
        return Point { float(10 * std::cos(deg * r)), float(10 * std::sin(deg * r)) };
    };
    EXPECT_NEAR(nodes[1].x, at(120).x, kEps);
    EXPECT_NEAR(nodes[1].y, at(120).y, kEps);
    EXPECT_NEAR(nodes[2].x, at(165).x, kEps);
    EXPECT_NEAR(nodes[2].y, at(165).y, kEps);
    // The 45-degree piece's controls lie 4/3 tan(45/4) radii along the tangents.
    const float d = float(10 * 4.0 / 3.0 * std::tan(45.0 / 4 * r));
    EXPECT_NEAR(std::hypot(nodes[1].outX - nodes[1].x, nodes[1].outY - nodes[1].y), d, kEps);
    EXPECT_NEAR(std::hypot(nodes[2].inX - nodes[2].x, nodes[2].inY - nodes[2].y), d, kEps);
    EXPECT_NEAR(nodes[2].outX, nodes[2].x, kEps);

    // A whole turn from anywhere is four quarters back to its start.
    for (const auto& [from, to] : { std::pair { 10.f, 370.f }, { 90.f, 450.f }, { 360.f, 720.f } }) {
        NodeList ring;
        appendArcNodes(ring, 0, 0, 10, 10, from, to);
        ASSERT_EQ(ring.size(), 5u) << from << " to " << to;
        EXPECT_NEAR(ring[0].x, ring[4].x, kEps);
        EXPECT_NEAR(ring[0].y, ring[4].y, kEps);
        EXPECT_NEAR(ring[2].x, -ring[0].x, kEps); // halfway round is opposite
    }
}

// Small or bad radii give the plain rectangle, corners ordered.
TEST(BaseBehaviours, LineRectangleAndSmallCornersBecomePolylines)
{
    BasePort port;
    port.OutputPort::line(PaintStyle(), Matrix(), 1, 2, 3, 4, 2, -1);
    port.OutputPort::roundRectangle(PaintStyle(), Matrix(), 50, 40, 10, 0, 1, 8); // rx <= 1
    port.OutputPort::roundRectangle(PaintStyle(), Matrix(), 0, 0, 40, 1.5f, 8, 8); // ry clamped to 0.75
    port.OutputPort::roundRectangle(
        PaintStyle(), Matrix(), 0, 0, 40, 40, std::numeric_limits<float>::quiet_NaN(), 8);
    ASSERT_EQ(port.log.size(), 7u);
    EXPECT_EQ(port.log[0], "polyline 1 2 3 4 [1 0 0 1 0 0] closed 0 arrows 2 -1");
    EXPECT_EQ(port.log[1], "rectangle");
    EXPECT_EQ(port.log[2], "polyline 10 0 50 0 50 40 10 40 [1 0 0 1 0 0] closed 1 arrows -1 -1");
    EXPECT_EQ(port.log[3] + port.log[5], "rectanglerectangle");
    EXPECT_TRUE(port.paths.empty());
}

TEST(BaseBehaviours, RoundRectangleCornersAreJoinedByStraightSides)
{
    BasePort port;
    // Corners given swapped, radii larger than half the height.
    port.OutputPort::roundRectangle(PaintStyle(), Matrix(), 100, 30, 0, 0, 10, 20);
    ASSERT_EQ(port.paths.size(), 1u);
    const NodeList& n = port.paths[0];
    ASSERT_EQ(n.size(), 8u);
    const float kx = 10 * kQuarter, ky = 15 * kQuarter;
    // Top-left corner from 90 to 180 degrees about (10, 15).
    expectNode(n[0], { 10, 30 }, { 10, 30 }, { 10 - kx, 30 });
    expectNode(n[1], { 0, 15 }, { 0, 15 + ky }, { 0, 15 });
    // The left side: straight, both controls on the anchors.
    expectNode(n[2], { 0, 15 }, { 0, 15 }, { 0, 15 - ky });
    expectNode(n[5], { 100, 15 }, { 100, 15 - ky }, { 100, 15 });
    EXPECT_NE(port.log[0].find("closed 1 arrows -1 -1"), std::string::npos);
}

TEST(Flattening, FlatPiecesShortChordsAndBadNumbersGiveOnlyTheEnd)
{
    PointList tiny;
    flattenBezier(tiny, { 0, 0 }, { 100, 100 }, { -100, 100 }, { 0.01f, 0.01f });
    expectPoints(tiny, { { 0.01f, 0.01f } });

    PointList straight;
    flattenBezier(straight, { 0, 0 }, { 30, 0.9f }, { 60, -0.9f }, { 90, 0 });
    expectPoints(straight, { { 90, 0 } });

    const float nan = std::numeric_limits<float>::quiet_NaN();
    PointList bad;
    flattenBezier(bad, { 0, 0 }, { nan, 0 }, { 1, 1 }, { 2, 0 });
    EXPECT_EQ(bad.size(), 1u);

    // Astronomically bent curves are bounded rather than split for ever.
    PointList huge;
    flattenBezier(huge, { 0, 0 }, { 0, 1e30f }, { 1, 1e30f }, { 1, 0 });
    EXPECT_LE(huge.size(), 65536u);
    EXPECT_EQ(huge.back(), (Point { 1, 0 }));
}

Point bezierAt(const Point p[4], double t)
{
    const double u = 1 - t;
    const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    return { float(a * p[0].x + b * p[1].x + c * p[2].x + d * p[3].x),
        float(a * p[0].y + b * p[1].y + c * p[2].y + d * p[3].y) };
}

double distanceToLine(Point p, Point a, Point b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len = std::hypot(dx, dy);
    if (len == 0)
        return std::hypot(p.x - a.x, p.y - a.y);
    return std::abs(dx * (p.y - a.y) - dy * (p.x - a.x)) / len;
}

// Every flattened point lies on the curve, in order, and the stretch of curve
// each polyline edge replaces stays within the tolerance of that edge's line:
// one unit by default, a quarter pixel for raster devices.
TEST(Flattening, EachEdgeIsWithinTheToleranceOfItsStretchOfCurve)
{
    constexpr int kSamples = 1 << 12; // halvings land exactly on samples
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> coord(-300, 300);
    for (float tolerance : { 1.0f, kDeviceFlatness }) {
        for (int trial = 0; trial < 200; ++trial) {
            Point p[4];
            for (Point& q : p)
                q = { coord(rng), coord(rng) };
            PointList poly { p[0] };
            flattenBezier(poly, p[0], p[1], p[2], p[3], tolerance);
            ASSERT_EQ(poly.back(), p[3]);
            ASSERT_LT(poly.size(), std::size_t(kSamples));

            std::vector<Point> samples;
            for (int i = 0; i <= kSamples; ++i)
                samples.push_back(bezierAt(p, double(i) / kSamples));
            int previous = 0;
            for (std::size_t k = 1; k < poly.size(); ++k) {
                int j = previous + 1;
                while (j <= kSamples && std::hypot(samples[j].x - poly[k].x, samples[j].y - poly[k].y) > 1e-3)
                    ++j;
                ASSERT_LE(j, kSamples) << "trial " << trial << ": point " << k << " is not on the curve";
                for (int i = previous; i <= j; ++i)
                    ASSERT_LT(distanceToLine(samples[i], poly[k - 1], poly[k]), tolerance + 1e-3)
                        << "tolerance " << tolerance << ", trial " << trial;
                previous = j;
            }
            EXPECT_EQ(previous, kSamples);
        }
    }
}

TEST(Flattening, NodeListsAndCurveEnds)
{
    const NodeList nodes {
        { 0, 0, 0, 0, 0, 4, 0 },
        { 8, 0, 8, 4, 8, 0, 0 },
    };
    PointList open = flattenNodes(nodes, false);
    expectPoints(open, { { 0, 0 }, { 1.25f, 2.25f }, { 4, 3 }, { 6.75f, 2.25f }, { 8, 0 } });
    PointList closed = flattenNodes(nodes, true);
    EXPECT_EQ(closed.size(), 6u); // the straight closing segment adds the first anchor
    EXPECT_EQ(closed.back(), (Point { 0, 0 }));

    auto ends = curveEnds(nodes);
    ASSERT_TRUE(ends);
    // The tips' neighbours are the flattened points next to them.
    expectPoints({ ends->firstTip, ends->firstPrevious, ends->lastPrevious, ends->lastTip },
        { open[0], open[1], open[3], open[4] });

    EXPECT_FALSE(curveEnds({ nodes[0] }));
    EXPECT_FALSE(polylineEnds({ { 1, 1 } }));
    EXPECT_EQ(polylineEnds({ { 1, 1 }, { 2, 2 }, { 3, 5 } })->lastPrevious, (Point { 2, 2 }));
}

// Pointing straight up (equal x, tip above) at scale 2: (x, y) -> (10 - 2y, 20 + 2x).
TEST(Arrowheads, ShapesRotatedScaledAndPlacedAtTheTip)
{
    const Point tip { 10, 20 }, below { 10, 5 };
    expectPoints(arrowheadOutline(0, tip, below, 2), { tip, { 6, 18 }, { 10, 32 }, { 14, 18 } });
    // The circle lies about the tip, without it on its outline.
    for (Point p : arrowheadOutline(kArrowCircle, tip, below, 2))
        EXPECT_NEAR(std::hypot(p.x - tip.x, p.y - tip.y), 6, 1e-4);
}

TEST(Arrowheads, DirectionFollowsTheLastSegment)
{
    // Along +x, scale 1: the shape as tabled.
    expectPoints(arrowheadOutline(0, { 5, 5 }, { 0, 5 }, 1), { { 5, 5 }, { 4, 7 }, { 11, 5 }, { 4, 3 } });
    // Equal points or a tip below: pointing down.
    expectPoints(arrowheadOutline(1, { 0, 0 }, { 0, 0 }, 1), { { 0, 0 }, { 3, 0 }, { 0, -9 }, { -3, 0 } });

    for (int code : { kArrowNone, 7, -2 })
        EXPECT_TRUE(arrowheadOutline(code, { 0, 0 }, { 1, 0 }, 1).empty()) << code;
}

TEST(Arrowheads, DrawnAsFilledPolylinesInTheLineColour)
{
    PaintStyle style;
    style.setLineColor({ 10, 20, 30 });
    style.setLineWidth(3);
    style.setFillPattern(2);

    const PaintStyle head = arrowheadStyle(style);
    EXPECT_FALSE(head.strokeOn());
    EXPECT_EQ(head.fillColor(), (Color { 10, 20, 30 }));
    EXPECT_EQ(head.fillPattern(), kNoPattern);

    PaintStyle dashed = style;
    dashed.setDash(1);
    EXPECT_EQ(arrowheadScale(dashed), 1); // the log below is at the width, 3

    RecordingPort port;
    const Matrix m { 1, 0, 0, 1, 7, 0 };
    const OutlineEnds ends { { 0, 0 }, { 10, 0 }, { 10, 0 }, { 0, 0 } };
    drawArrowheads(port, style, m, ends, 4, kArrowCircle);
    ASSERT_EQ(port.log.size(), 2u);
    // Pointing along -x: no residue of the rotation shows in the numbers.
    EXPECT_EQ(port.log[0], "polyline 0 0 0 1.5 27 9 27 -9 0 -1.5 [1 0 0 1 7 0] closed 1 arrows -1 -1");
    EXPECT_EQ(port.styles[0], head);
    // The circle about the second tip, radius 3 widths, starting ahead of it.
    EXPECT_EQ(port.log[1].rfind("polyline 19 0 ", 0), 0u) << port.log[1];
}

} // namespace
} // namespace zavora
