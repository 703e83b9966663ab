#include "model/PathObjects.h"

#include "model/GraphicsKernel.h"
#include "model/HandlePainter.h"
#include "model/OutlineGeometry.h"
#include "model/ScreenPainter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zavora {

namespace {

constexpr double kTension = 0.45;
constexpr double kTwoPi = 2 * std::numbers::pi;

struct Vec {
    double x, y;
};

Vec anchorOf(const BezierNode& n)
{
    return { n.x, n.y };
}

// Direction from P to Q with y pointing down, in [0, 2pi); 0 for coincident points.
double direction(Vec p, Vec q)
{
    if (p.x == q.x && p.y == q.y)
        return 0;
    double a = std::atan2(p.y - q.y, q.x - p.x);
    if (a < 0)
        a += kTwoPi;
    return a;
}

double distance(Vec p, Vec q)
{
    return std::hypot(q.x - p.x, q.y - p.y);
}

Vec along(Vec p, double length, double angle)
{
    return { p.x + length * std::cos(angle), p.y - length * std::sin(angle) };
}

void setIn(BezierNode& n, Vec v)
{
    n.inX = float(v.x);
    n.inY = float(v.y);
}

void setOut(BezierNode& n, Vec v)
{
    n.outX = float(v.x);
    n.outY = float(v.y);
}

// Controls of a node with both neighbours, perpendicular to the bisector.
void smoothInterior(BezierNode& node, const BezierNode& previous, const BezierNode& next)
{
    const Vec p = anchorOf(node), a = anchorOf(previous), b = anchorOf(next);
    const double u = direction(p, a), dA = distance(p, a);
    const double v = direction(p, b), dB = distance(p, b);
    const double m = (u + v) / 2;
    double s = std::sin(std::abs(v - u) / 2);
    if (s > 0.7071067811865476)
        s = 1.4142135623730951 - s;
    const double k = s * (1 - kTension);
    const double half = std::numbers::pi / 2;
    const double inAngle = u <= v ? m - half : m + half;
    const double outAngle = u <= v ? m + half : m - half;
    setIn(node, along(p, dA * k, inAngle));
    setOut(node, along(p, dB * k, outAngle));
}

// (3 * control + anchor) / 4
Vec pullTowards(float cx, float cy, const BezierNode& anchor)
{
    return { (3.0 * cx + anchor.x) / 4, (3.0 * cy + anchor.y) / 4 };
}

// Whether segment AB meets the closed square of half-size t around p.
bool segmentMeetsSquare(Point a, Point b, Point p, float t)
{
    return segmentMeetsRect(a, b, Rect { p.x - t, p.y - t, p.x + t, p.y + t });
}

// p projected onto the line through a and b (a itself when they coincide).
Point projectOntoLine(Point a, Point b, Point p)
{
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    const double len2 = dx * dx + dy * dy;
    if (len2 == 0)
        return a;
    const double f = ((p.x - double(a.x)) * dx + (p.y - double(a.y)) * dy) / len2;
    return { float(a.x + f * dx), float(a.y + f * dy) };
}

Vec lerp(Vec a, Vec b, double t)
{
    return { a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t };
}

// Parameter where the Bezier (drawing space) passes within tolerance of
// the probe, found by the kernel's curve test on an identity CTM.
bool curveHit(Point p0, Point p1, Point p2, Point p3, Point probe, float tolerance, double& t)
{
    GraphicsKernel& k = kernel();
    PathScope scope;
    k.setCtm(KMatrix());
    k.moveto(p0.x, p0.y);
    k.curveto(p1.x, p1.y, p2.x, p2.y, p3.x, p3.y);
    float distanceSquared = 0;
    CurveSplit split;
    if (!k.nearestPointOnPath(probe, tolerance, distanceSquared, &split) || !split.onCurve)
        return false;
    t = split.t;
    return true;
}

} // namespace

BezierNode makeNode(float x, float y, uint32_t flags)
{
    return { x, y, x, y, x, y, flags };
}

void smoothNodes(NodeList& nodes, bool closed)
{
    const std::size_t n = nodes.size();
    if (n < 2)
        return;
    if (n == 2) {
        BezierNode& a = nodes[0];
        BezierNode& b = nodes[1];
        if (closed) {
            const double hx = kTension * (double(b.x) - a.x), hy = kTension * (double(a.y) - b.y);
            setIn(a, { a.x - hx, a.y - hy });
            setOut(a, { a.x + hx, a.y + hy });
            setIn(b, { b.x + hx, b.y + hy });
            setOut(b, { b.x - hx, b.y - hy });
        } else {
            setOut(a, lerp(anchorOf(a), anchorOf(b), 1.0 / 3));
            setIn(b, lerp(anchorOf(b), anchorOf(a), 1.0 / 3));
            setIn(a, { 0, 0 });
            setOut(b, { 0, 0 });
        }
        return;
    }

    for (std::size_t i = 1; i + 1 < n; ++i)
        smoothInterior(nodes[i], nodes[i - 1], nodes[i + 1]);
    if (closed) {
        smoothInterior(nodes[0], nodes[n - 1], nodes[1]);
        smoothInterior(nodes[n - 1], nodes[n - 2], nodes[0]);
        return;
    }

    BezierNode& first = nodes[0];
    BezierNode& second = nodes[1];
    setOut(first, pullTowards(second.inX, second.inY, first));
    setIn(second, pullTowards(second.inX, second.inY, second));
    setIn(first, { 2.0 * first.x - first.outX, 2.0 * first.y - first.outY });

    BezierNode& last = nodes[n - 1];
    BezierNode& beforeLast = nodes[n - 2];
    setIn(last, pullTowards(beforeLast.outX, beforeLast.outY, last));
    setOut(beforeLast, pullTowards(beforeLast.outX, beforeLast.outY, beforeLast));
    setOut(last, { 2.0 * last.x - last.inX, 2.0 * last.y - last.inY });
}

// --- PolygonObject -----------------------------------------------------

PolygonObject::PolygonObject(PointList vertices, bool closed)
    : m_vertices(std::move(vertices))
    , m_closed(closed)
{ }

void PolygonObject::buildOutline() const
{
    if (m_vertices.empty())
        return;
    GraphicsKernel& k = kernel();
    StateSaver saver;
    k.concat(matrix());
    k.moveto(m_vertices[0].x, m_vertices[0].y);
    for (std::size_t i = 1; i < m_vertices.size(); ++i)
        k.lineto(m_vertices[i].x, m_vertices[i].y);
    if (m_closed) {
        k.lineto(m_vertices[0].x, m_vertices[0].y);
        k.closepath();
    }
}

void PolygonObject::drawOnScreen(ScreenPainter& painter, int mode) const
{
    paintOutline(painter, *this, mode);
    if (mode != kDrawFinal || m_closed)
        return;
    if (auto ends = polylineEnds(m_vertices))
        paintArrowheads(painter, *this, *ends);
}

std::vector<Point> PolygonObject::handlePoints() const
{
    std::vector<Point> out;
    for (Point v : m_vertices)
        appendMapped(out, v);
    return out;
}

void PolygonObject::emit(OutputPort& port) const
{
    auto [first, second] = arrows();
    port.polyline(style(), matrix(), m_vertices, m_closed, first, second);
}

std::unique_ptr<DrawObject> PolygonObject::clone() const
{
    return std::make_unique<PolygonObject>(*this);
}

void PolygonObject::setVertices(PointList vertices, bool closed)
{
    m_vertices = std::move(vertices);
    m_closed = closed;
    invalidateBox();
}

void PolygonObject::setClosed(bool closed)
{
    m_closed = closed;
}

bool PolygonObject::removeVertex(std::size_t index)
{
    if (index >= m_vertices.size())
        return false;
    m_vertices.erase(m_vertices.begin() + std::ptrdiff_t(index));
    invalidateBox();
    return true;
}

bool PolygonObject::insertVertexNear(float x, float y, float tolerance)
{
    const std::size_t n = m_vertices.size();
    if (n < 2)
        return false;
    const KMatrix m(matrix());
    const Point probe { x, y };
    auto tryInsert = [&](std::size_t from, std::size_t to, std::size_t insertAt) {
        const Point a = transformPoint(m, m_vertices[from]);
        const Point b = transformPoint(m, m_vertices[to]);
        if (!segmentMeetsSquare(a, b, probe, tolerance))
            return false;
        const Point inserted = transformPoint(invert(m), projectOntoLine(a, b, probe));
        m_vertices.insert(m_vertices.begin() + std::ptrdiff_t(insertAt), inserted);
        invalidateBox();
        return true;
    };
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (tryInsert(i, i + 1, i + 1))
            return true;
    }
    return m_closed && tryInsert(n - 1, 0, n);
}

Rect PolygonObject::computeBox() const
{
    return boxOfPoints(m_vertices.data(), m_vertices.size());
}

// --- CurveObject -------------------------------------------------------

CurveObject::CurveObject(NodeList nodes, bool closed)
    : m_nodes(std::move(nodes))
    , m_closed(closed)
{ }

void CurveObject::buildOutline() const
{
    if (m_nodes.empty())
        return;
    GraphicsKernel& k = kernel();
    StateSaver saver;
    k.concat(matrix());
    k.moveto(m_nodes[0].x, m_nodes[0].y);
    for (std::size_t i = 1; i < m_nodes.size(); ++i) {
        const BezierNode& a = m_nodes[i - 1];
        const BezierNode& b = m_nodes[i];
        k.curveto(a.outX, a.outY, b.inX, b.inY, b.x, b.y);
    }
    if (m_closed) {
        const BezierNode& last = m_nodes.back();
        const BezierNode& first = m_nodes.front();
        k.curveto(last.outX, last.outY, first.inX, first.inY, first.x, first.y);
        k.closepath();
    }
}

void CurveObject::drawOnScreen(ScreenPainter& painter, int mode) const
{
    paintOutline(painter, *this, mode);
    if (mode != kDrawFinal || m_closed)
        return;
    if (auto ends = curveEnds(m_nodes))
        paintArrowheads(painter, *this, *ends);
}

std::vector<Point> CurveObject::handlePoints() const
{
    std::vector<Point> out;
    for (const BezierNode& node : m_nodes)
        appendMapped(out, { node.x, node.y });
    return out;
}

void CurveObject::drawEditHandles(HandlePainter& painter) const
{
    const KMatrix m(matrix());
    const std::size_t n = m_nodes.size();
    for (std::size_t i = 0; i < n; ++i) {
        const BezierNode& node = m_nodes[i];
        const Point anchor = transformPoint(m, { node.x, node.y });
        painter.mark(anchor);
        if (m_closed || i > 0) {
            const Point in = transformPoint(m, { node.inX, node.inY });
            painter.controlLine(anchor, in);
            painter.mark(in);
        }
        if (m_closed || i + 1 < n) {
            const Point out = transformPoint(m, { node.outX, node.outY });
            painter.controlLine(anchor, out);
            painter.mark(out);
        }
    }
}

void CurveObject::emit(OutputPort& port) const
{
    auto [first, second] = arrows();
    port.curvePath(style(), matrix(), m_nodes, m_closed, first, second);
}

std::unique_ptr<DrawObject> CurveObject::clone() const
{
    return std::make_unique<CurveObject>(*this);
}

void CurveObject::setNodes(NodeList nodes, bool closed)
{
    m_nodes = std::move(nodes);
    m_closed = closed;
    invalidateBox();
}

void CurveObject::setClosed(bool closed)
{
    m_closed = closed;
    // The end controls join or leave the box.
    invalidateBox();
}

bool CurveObject::removeNode(std::size_t index)
{
    if (index >= m_nodes.size())
        return false;
    m_nodes.erase(m_nodes.begin() + std::ptrdiff_t(index));
    invalidateBox();
    return true;
}

bool CurveObject::insertNodeNear(float x, float y, float tolerance)
{
    const std::size_t n = m_nodes.size();
    if (n < 2 && !(n == 1 && m_closed))
        return false;
    const KMatrix m(matrix());
    const Point probe { x, y };
    auto trySplit = [&](std::size_t from, std::size_t to) {
        BezierNode& a = m_nodes[from];
        BezierNode& b = m_nodes[to];
        double t = 0;
        if (!curveHit(transformPoint(m, { a.x, a.y }), transformPoint(m, { a.outX, a.outY }),
                transformPoint(m, { b.inX, b.inY }), transformPoint(m, { b.x, b.y }), probe, tolerance, t))
            return false;
        // De Casteljau in object space: the same split as in drawing space,
        // since the matrix is affine, without a round trip through its inverse.
        const Vec p0 = anchorOf(a), p1 { a.outX, a.outY }, p2 { b.inX, b.inY }, p3 = anchorOf(b);
        const Vec q0 = lerp(p0, p1, t), q1 = lerp(p1, p2, t), q2 = lerp(p2, p3, t);
        const Vec r0 = lerp(q0, q1, t), r1 = lerp(q1, q2, t);
        const Vec s = lerp(r0, r1, t);
        BezierNode inserted = makeNode(float(s.x), float(s.y));
        setIn(inserted, r0);
        setOut(inserted, r1);
        setOut(a, q0);
        setIn(b, q2);
        m_nodes.insert(m_nodes.begin() + std::ptrdiff_t(from + 1), inserted);
        invalidateBox();
        return true;
    };
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (trySplit(i, i + 1))
            return true;
    }
    return m_closed && trySplit(n - 1, 0);
}

void CurveObject::smooth()
{
    smoothNodes(m_nodes, m_closed);
    invalidateBox();
}

Rect CurveObject::computeBox() const
{
    PointList points;
    points.reserve(m_nodes.size() * 3);
    for (std::size_t i = 0; i < m_nodes.size(); ++i) {
        const BezierNode& node = m_nodes[i];
        points.push_back({ node.x, node.y });
        if (m_closed || i > 0)
            points.push_back({ node.inX, node.inY });
        if (m_closed || i + 1 < m_nodes.size())
            points.push_back({ node.outX, node.outY });
    }
    return boxOfPoints(points.data(), points.size());
}

// --- CompoundPathObject ------------------------------------------------

void CompoundPathObject::drawOnScreen(ScreenPainter& painter, int mode) const
{
    // All members as one even-odd path, so inner outlines become holes; the
    // members share one style and have no arrowheads of their own here.
    if (!children().empty())
        paintOutline(painter, *this, mode);
}

void CompoundPathObject::emit(OutputPort& port) const
{
    port.beginCompoundPath();
    emitChildren(port);
    port.endCompoundPath();
}

std::unique_ptr<DrawObject> CompoundPathObject::clone() const
{
    return std::make_unique<CompoundPathObject>(*this);
}

} // namespace zavora
