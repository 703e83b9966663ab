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

// The base behaviours are called by name (port.OutputPort::roundRectangle);
// this port notes when rectangle is reached.
class BasePort : public RecordingPort {
public:
    void rectangle(const PaintStyle& s, const Matrix& m, float x1, float y1, float x2, float y2) override
    {
        log.push_back("rectangle");
        OutputPort::rectangle(s, m, x1, y1, x2, y2);
    }
};

void expectPoints(const PointList& actual, const PointList& expected, float eps = kEps)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i].x, expected[i].x, eps) << "point " << i;
        EXPECT_NEAR(actual[i].y, expected[i].y, eps) << "point " << i;
    }
}

// Pieces of a quarter turn and a shorter last one: anchors on the ellipse,
// controls 4/3 tan(piece / 4) radii along the tangents, the outer ones on
// their anchors. A whole turn from anywhere is four quarters.
TEST(ArcNodes, QuarterPiecesOnTheEllipseWithTangentControls)
{
    const double rad = std::numbers::pi / 180;
    const auto at = [&](double deg, double k) { // k radii along the tangent from the point at deg
        const double c = std::cos(deg * rad), s = std::sin(deg * rad);
        return Point { float(10 + 5 * (c - k * s)), float(20 + 3 * (s + k * c)) };
    };
    const struct {
        float from, to;
        double sweep;
    } cases[] = { { 0, 90, 90 }, { 30, 165, 135 }, { 300, 60, 120 }, { 10, 370, 360 }, { 90, 450, 360 },
        { 360, 720, 360 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to));
        NodeList n;
        appendArcNodes(n, 10, 20, 5, 3, c.from, c.to);
        ASSERT_EQ(n.size(), 1 + std::size_t(std::ceil(c.sweep / 90)));
        double a = c.from, left = c.sweep;
        expectPoints({ { n[0].x, n[0].y }, { n[0].inX, n[0].inY } }, { at(a, 0), at(a, 0) });
        for (std::size_t i = 1; i < n.size(); ++i) {
            const double piece = std::min(90.0, left), k = 4.0 / 3 * std::tan(piece / 4 * rad);
            const Point out = at(a, k);
            a += piece;
            left -= piece;
            expectPoints({ { n[i - 1].outX, n[i - 1].outY }, { n[i].inX, n[i].inY }, { n[i].x, n[i].y } },
                { out, at(a, -k), at(a, 0) });
            EXPECT_EQ(n[i].flags, 0u);
        }
        EXPECT_EQ(n.back().outX, n.back().x);
        EXPECT_EQ(n.back().outY, n.back().y);
    }
    NodeList bad; // a file's NaN angle draws nothing rather than looping
    appendArcNodes(bad, 0, 0, 1, 1, std::numeric_limits<float>::quiet_NaN(), 90);
    EXPECT_TRUE(bad.empty());
}

// The corners' shape is the arc nodes' and the cross-renders'; radii not both
// above 1 after clamping to half the sides, a NaN too, give the plain rectangle.
TEST(BaseBehaviours, SmallOrBadCornersGiveThePlainRectangle)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float y2, rx, ry;
        const char* first;
    } cases[] = { { 40, 1, 8, "rectangle" }, { 1.5f, 8, 8, "rectangle" }, { 40, nan, 8, "rectangle" },
        { 40, 8, 8, "curvePath" } };
    for (const auto& c : cases) {
        BasePort port;
        port.OutputPort::roundRectangle(PaintStyle(), Matrix(), 50, c.y2, 10, 0, c.rx, c.ry);
        ASSERT_FALSE(port.log.empty());
        EXPECT_EQ(port.log[0].substr(0, port.log[0].find(' ')), c.first) << c.y2 << " " << c.rx;
    }
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

// Turned to the last segment's direction (straight down for equal points or
// a tip below), scaled, placed at the tip. The drawn heads are the ports' goldens.
TEST(Arrowheads, ShapesTurnedScaledAndPlacedAtTheTip)
{
    const struct {
        int code;
        Point tip, previous;
        float scale;
        PointList expected;
    } cases[] = {
        { 0, { 10, 20 }, { 10, 5 }, 2, { { 10, 20 }, { 6, 18 }, { 10, 32 }, { 14, 18 } } },
        { 0, { 5, 5 }, { 0, 5 }, 1, { { 5, 5 }, { 4, 7 }, { 11, 5 }, { 4, 3 } } },
        { 1, { 0, 0 }, { 0, 0 }, 1, { { 0, 0 }, { 3, 0 }, { 0, -9 }, { -3, 0 } } },
        { kArrowNone, { 0, 0 }, { 1, 0 }, 1, {} },
        { 7, { 0, 0 }, { 1, 0 }, 1, {} },
        { -2, { 0, 0 }, { 1, 0 }, 1, {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        expectPoints(arrowheadOutline(c.code, c.tip, c.previous, c.scale), c.expected);
    }
    // The circle lies about the tip, without it on its outline.
    for (Point p : arrowheadOutline(kArrowCircle, { 10, 20 }, { 10, 5 }, 2))
        EXPECT_NEAR(std::hypot(p.x - 10, p.y - 20), 6, 1e-4);
}

} // namespace
} // namespace zavora
