#include "model/OutlineGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <span>

namespace zavora {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// Beyond this many halvings a segment counts as flat: it bounds the output
// (65536 points per segment) when coordinates are huge or not finite.
constexpr int kMaxFlattenDepth = 16;

struct Vec {
    double x, y;
};

Vec vec(Point p)
{
    return { p.x, p.y };
}

Point point(Vec v)
{
    return { float(v.x), float(v.y) };
}

Vec mid(Vec a, Vec b)
{
    return { (a.x + b.x) / 2, (a.y + b.y) / 2 };
}

// Into 0..360 as repeated adding or subtracting of 360 would, so 360 and 720
// stay a whole turn from 0; fmod keeps huge angles from looping for ever.
double normaliseAngle(double a)
{
    double r = std::fmod(a, 360.0);
    if (r < 0)
        r += 360.0;
    if (r == 0 && a > 0)
        r = 360.0;
    return r;
}

// cos and sin of an angle in degrees, exact at multiples of 90 so that axis
// directions do not leave 6e-17 residues for the writers to print.
Vec cosSinDegrees(double degrees)
{
    const double quarters = degrees / 90.0;
    if (quarters == std::floor(quarters) && std::abs(quarters) < 1e9) {
        switch (((long long)quarters % 4 + 4) % 4) {
        case 0:
            return { 1, 0 };
        case 1:
            return { 0, 1 };
        case 2:
            return { -1, 0 };
        default:
            return { 0, -1 };
        }
    }
    return { std::cos(degrees * kDegree), std::sin(degrees * kDegree) };
}

// Both control points within `tolerance` of the chord's line (squared: tol2).
bool isFlat(Vec p0, Vec p1, Vec p2, Vec p3, double tol2)
{
    const double dx = p3.x - p0.x, dy = p3.y - p0.y;
    const double chord2 = dx * dx + dy * dy;
    if (chord2 < 0.001)
        return true;
    const double c1 = dx * (p1.y - p0.y) - dy * (p1.x - p0.x);
    const double c2 = dx * (p2.y - p0.y) - dy * (p2.x - p0.x);
    return c1 * c1 < tol2 * chord2 && c2 * c2 < tol2 * chord2;
}

void flatten(PointList& out, Vec p0, Vec p1, Vec p2, Vec p3, double tol2, int depth)
{
    if (depth >= kMaxFlattenDepth || isFlat(p0, p1, p2, p3, tol2)) {
        out.push_back(point(p3));
        return;
    }
    // de Casteljau at t = 1/2.
    const Vec a = mid(p0, p1), b = mid(p1, p2), c = mid(p2, p3);
    const Vec ab = mid(a, b), bc = mid(b, c);
    const Vec m = mid(ab, bc);
    flatten(out, p0, a, ab, m, tol2, depth + 1);
    flatten(out, m, bc, c, p3, tol2, depth + 1);
}

// Shape points after the tip, x along the direction, in line widths.
constexpr double kSqrt2 = std::numbers::sqrt2;
constexpr std::array<Vec, 3> kShape0 { { { -1, 2 }, { 6, 0 }, { -1, -2 } } };
constexpr std::array<Vec, 3> kShape1 { { { 0, 3 }, { 9, 0 }, { 0, -3 } } };
constexpr std::array<Vec, 7> kShape2 { { { 0, -0.5 }, { -6, -6.5 }, { -6 - kSqrt2, -6.5 + kSqrt2 },
    { 0.5 - 2 * kSqrt2, 0 }, { -6 - kSqrt2, 6.5 - kSqrt2 }, { -6, 6.5 }, { 0, 0.5 } } };
constexpr std::array<Vec, 5> kShape3 { { { 0, 0.5 }, { -7, 2 }, { -6, 0 }, { -7, -2 }, { 0, -0.5 } } };
constexpr std::array<Vec, 4> kShape4 { { { 0, -0.5 }, { -9, -3 }, { -9, 3 }, { 0, 0.5 } } };
// The square goes round its centre, the tip, from the corner ahead and to the left.
constexpr std::array<Vec, 4> kSquare { { { 2.5, 2.5 }, { 2.5, -2.5 }, { -2.5, -2.5 }, { -2.5, 2.5 } } };
constexpr double kCircleRadius = 3;

std::span<const Vec> shapeOf(int code)
{
    switch (code) {
    case 0:
        return kShape0;
    case 1:
        return kShape1;
    case 2:
        return kShape2;
    case 3:
        return kShape3;
    case 4:
        return kShape4;
    case kArrowSquare:
        return kSquare;
    default:
        return {};
    }
}

Point anchor(const BezierNode& n)
{
    return { n.x, n.y };
}

void flattenSegment(PointList& out, const BezierNode& from, const BezierNode& to, float tolerance)
{
    flattenBezier(out, anchor(from), { from.outX, from.outY }, { to.inX, to.inY }, anchor(to), tolerance);
}

} // namespace

void appendArcNodes(NodeList& nodes, float cx, float cy, float rx, float ry, float start, float end)
{
    if (!std::isfinite(start) || !std::isfinite(end))
        return;
    const double from = normaliseAngle(start);
    double sweep = normaliseAngle(end) - from;
    while (sweep < 0)
        sweep += 360.0;
    // An end a turn or more beyond the start is the whole ring (10 to 370 as
    // well as 0 to 360), as the screen and PostScript's arc draw it.
    if (double(end) - double(start) >= 360.0)
        sweep = 360.0;

    const auto map = [&](double x, double y) -> Vec { return { rx * x + cx, ry * y + cy }; };
    double a = from;
    bool first = true;
    while (sweep > 0) {
        const double s = std::min(90.0, sweep);
        const double t = std::tan(s * kDegree / 2);
        const double d = (4.0 / 3.0) * t / (1 + std::sqrt(1 + t * t));
        const auto [c0, s0] = cosSinDegrees(a);
        const auto [c3, s3] = cosSinDegrees(a + s);
        const Vec p0 = map(c0, s0);
        const Vec p1 = map(c0 - d * s0, s0 + d * c0);
        const Vec p2 = map(c3 + d * s3, s3 - d * c3);
        const Vec p3 = map(c3, s3);
        if (first) {
            const float x = float(p0.x), y = float(p0.y);
            nodes.push_back({ x, y, x, y, x, y, 0 });
            first = false;
        }
        nodes.back().outX = float(p1.x);
        nodes.back().outY = float(p1.y);
        const float x = float(p3.x), y = float(p3.y);
        nodes.push_back({ x, y, float(p2.x), float(p2.y), x, y, 0 });
        a += s;
        sweep -= s;
    }
}

void flattenBezier(PointList& out, Point p0, Point p1, Point p2, Point p3, float tolerance)
{
    // A non-finite coordinate never tests flat; splitting it would only multiply garbage.
    for (Point p : { p0, p1, p2, p3 }) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
            out.push_back(p3);
            return;
        }
    }
    const double tol = tolerance;
    flatten(out, vec(p0), vec(p1), vec(p2), vec(p3), tol * tol, 0);
}

PointList flattenNodes(const NodeList& nodes, bool closed, float tolerance)
{
    PointList out;
    if (nodes.size() < 2) {
        for (const BezierNode& n : nodes)
            out.push_back(anchor(n));
        return out;
    }
    out.push_back(anchor(nodes.front()));
    for (std::size_t i = 1; i < nodes.size(); ++i)
        flattenSegment(out, nodes[i - 1], nodes[i], tolerance);
    if (closed)
        flattenSegment(out, nodes.back(), nodes.front(), tolerance);
    return out;
}

std::optional<OutlineEnds> polylineEnds(const PointList& points)
{
    const std::size_t n = points.size();
    if (n < 2)
        return std::nullopt;
    return OutlineEnds { points[0], points[1], points[n - 1], points[n - 2] };
}

std::optional<OutlineEnds> curveEnds(const NodeList& nodes)
{
    const std::size_t n = nodes.size();
    if (n < 2)
        return std::nullopt;
    OutlineEnds ends;
    PointList first;
    flattenSegment(first, nodes[0], nodes[1], 1);
    ends.firstTip = anchor(nodes[0]);
    ends.firstPrevious = first.front();

    PointList last { anchor(nodes[n - 2]) };
    flattenSegment(last, nodes[n - 2], nodes[n - 1], 1);
    ends.lastTip = anchor(nodes[n - 1]);
    ends.lastPrevious = last[last.size() - 2];
    return ends;
}

PointList arrowheadOutline(int code, Point tip, Point previous, float scale)
{
    const std::span<const Vec> shape = shapeOf(code);
    if (shape.empty() && code != kArrowCircle)
        return {};
    double degrees;
    if (tip.x == previous.x)
        degrees = tip.y <= previous.y ? -90.0 : 90.0;
    else
        degrees = std::atan2(double(tip.y) - previous.y, double(tip.x) - previous.x) / kDegree;
    // Plain names, not a structured binding: the lambda below captures them.
    const Vec rotation = cosSinDegrees(degrees);
    const double cosA = rotation.x, sinA = rotation.y;
    const auto place = [&](Vec v) {
        return Point { float(scale * (v.x * cosA - v.y * sinA) + tip.x),
            float(scale * (v.x * sinA + v.y * cosA) + tip.y) };
    };

    PointList out;
    if (code == kArrowCircle) {
        // Starting straight ahead of the tip, so the points turn with the line.
        out.reserve(kCircleArrowPoints);
        for (int i = 0; i < kCircleArrowPoints; ++i) {
            const auto [c, s] = cosSinDegrees(360.0 * i / kCircleArrowPoints);
            out.push_back(place({ kCircleRadius * c, kCircleRadius * s }));
        }
        return out;
    }
    if (code != kArrowSquare)
        out.push_back(tip);
    for (Vec v : shape)
        out.push_back(place(v));
    return out;
}

float arrowheadScale(const PaintStyle& style)
{
    return style.strokeWidth();
}

PaintStyle arrowheadStyle(const PaintStyle& objectStyle)
{
    PaintStyle s;
    s.storeLineWidth(0);
    s.setStrokeOn(false);
    s.setFillOn(true);
    s.storeLineColor(objectStyle.lineColor());
    s.storeFillColor(objectStyle.lineColor());
    return s;
}

void drawArrowheads(OutputPort& port, const PaintStyle& style, const Matrix& matrix, const OutlineEnds& ends,
    int arrow1, int arrow2)
{
    const float scale = arrowheadScale(style);
    const PaintStyle head = arrowheadStyle(style);
    const PointList first = arrowheadOutline(arrow1, ends.firstTip, ends.firstPrevious, scale);
    if (!first.empty())
        port.polyline(head, matrix, first, true, kArrowNone, kArrowNone);
    const PointList last = arrowheadOutline(arrow2, ends.lastTip, ends.lastPrevious, scale);
    if (!last.empty())
        port.polyline(head, matrix, last, true, kArrowNone, kArrowNone);
}

} // namespace zavora
