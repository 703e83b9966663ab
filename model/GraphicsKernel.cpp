#include "model/GraphicsKernel.h"

#include "model/OutlineGeometry.h"
#include "platform/DebugLog.h"
#include "platform/DeviceContext.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace zavora {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kNoCandidate = 1.0e12;

struct DPoint {
    double x = 0;
    double y = 0;
};

DPoint lerp(DPoint a, DPoint b, double t)
{
    return DPoint { a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t };
}

bool finite(DPoint p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

double squaredDistance(DPoint a, DPoint b)
{
    const double dx = a.x - b.x;
    const double dy = a.y - b.y;
    return dx * dx + dy * dy;
}

DPoint bezierPoint(const DPoint (&c)[4], double t)
{
    const DPoint p01 = lerp(c[0], c[1], t);
    const DPoint p12 = lerp(c[1], c[2], t);
    const DPoint p23 = lerp(c[2], c[3], t);
    return lerp(lerp(p01, p12, t), lerp(p12, p23, t), t);
}

DPoint toD(Point p)
{
    return DPoint { p.x, p.y };
}
Point toF(DPoint p)
{
    return Point { static_cast<float>(p.x), static_cast<float>(p.y) };
}

// Whether the segment AB meets the closed box: the one segment clip of Geometry.
bool segmentTouchesBox(DPoint a, DPoint b, double minX, double minY, double maxX, double maxY)
{
    if (!finite(a) || !finite(b) || !(minX <= maxX) || !(minY <= maxY))
        return false;
    return segmentMeetsRect(toF(a), toF(b), Rect { float(minX), float(minY), float(maxX), float(maxY) });
}

bool segmentTouchesSquare(DPoint a, DPoint b, DPoint centre, double halfSize)
{
    return segmentTouchesBox(
        a, b, centre.x - halfSize, centre.y - halfSize, centre.x + halfSize, centre.y + halfSize);
}

class Flattener {
public:
    std::vector<std::vector<IntPoint>> polygons;

    void startPolygon(DPoint p)
    {
        finishPolygon();
        polygons.emplace_back();
        addVertex(p);
    }

    void addVertex(DPoint p)
    {
        const IntPoint v { roundToDevice(p.x), roundToDevice(p.y) };
        auto& poly = polygons.back();
        if (poly.empty() || !(poly.back() == v))
            poly.push_back(v);
    }

    // The curve from the last vertex, flattened as every raster device does.
    void addCurve(const DPoint (&c)[4])
    {
        m_curve.clear();
        flattenBezier(m_curve, toF(c[0]), toF(c[1]), toF(c[2]), toF(c[3]), kDeviceFlatness);
        for (Point p : m_curve)
            addVertex(toD(p));
    }

    // A closing vertex equal to the first adds nothing to the polygon.
    void finishPolygon()
    {
        if (polygons.empty())
            return;
        auto& poly = polygons.back();
        if (poly.size() > 1 && poly.back() == poly.front())
            poly.pop_back();
    }

private:
    PointList m_curve;
};

// Even-odd crossing test against every polygon of at least three vertices.
bool insidePolygons(const std::vector<std::vector<IntPoint>>& polygons, DPoint p)
{
    bool inside = false;
    for (const auto& poly : polygons) {
        const std::size_t n = poly.size();
        if (n < 3)
            continue;
        for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
            const double yi = poly[i].y;
            const double yj = poly[j].y;
            if ((yi > p.y) != (yj > p.y)) {
                const double xi = poly[i].x;
                const double xj = poly[j].x;
                const double x = xi + (p.y - yi) * (xj - xi) / (yj - yi);
                if (p.x < x)
                    inside = !inside;
            }
        }
    }
    return inside;
}

struct Candidate {
    DPoint point;
    double distance2 = kNoCandidate;
    double t = 0;
    bool found = false;
};

// Vertices within the tolerance square win over the inside of the segment.
Candidate lineCandidate(DPoint a, DPoint b, DPoint p, double tol)
{
    Candidate c;
    const auto near = [&](DPoint v) { return std::fabs(v.x - p.x) < tol && std::fabs(v.y - p.y) < tol; };
    if (near(a)) {
        c.point = a;
    } else if (near(b)) {
        c.point = b;
        c.t = 1;
    } else if (segmentTouchesSquare(a, b, p, tol)) {
        const double dx = b.x - a.x;
        const double dy = b.y - a.y;
        const double len2 = dx * dx + dy * dy;
        double u = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
        u = std::clamp(u, 0.0, 1.0);
        c.point = DPoint { a.x + u * dx, a.y + u * dy };
        c.t = u;
    } else {
        return c;
    }
    c.found = true;
    c.distance2 = squaredDistance(c.point, p);
    return c;
}

// Samples the curve densely enough to catch it crossing the tolerance square,
// then refines the nearest sample by golden-section search.
Candidate curveCandidate(const DPoint (&c)[4], DPoint p, double tol)
{
    Candidate result;
    double minX = c[0].x, maxX = c[0].x, minY = c[0].y, maxY = c[0].y;
    for (const DPoint& q : c) {
        if (!finite(q))
            return result;
        minX = std::min(minX, q.x);
        maxX = std::max(maxX, q.x);
        minY = std::min(minY, q.y);
        maxY = std::max(maxY, q.y);
    }
    // The curve stays inside its control points' box: far boxes cannot be hit.
    if (p.x < minX - tol || p.x > maxX + tol || p.y < minY - tol || p.y > maxY + tol)
        return result;
    const double hull = std::sqrt(squaredDistance(c[0], c[1])) + std::sqrt(squaredDistance(c[1], c[2]))
        + std::sqrt(squaredDistance(c[2], c[3]));
    const int samples = static_cast<int>(std::clamp(std::ceil(hull / 2.0), 16.0, 1024.0));

    bool touches = false;
    int bestIndex = 0;
    double best = kNoCandidate * 10;
    DPoint prev = c[0];
    for (int i = 0; i <= samples; ++i) {
        const DPoint q = i == 0 ? c[0] : bezierPoint(c, static_cast<double>(i) / samples);
        if (i > 0 && !touches)
            touches = segmentTouchesSquare(prev, q, p, tol);
        const double d2 = squaredDistance(q, p);
        if (d2 < best) {
            best = d2;
            bestIndex = i;
        }
        prev = q;
    }
    if (!touches)
        return result;

    double lo = std::max(0, bestIndex - 1) / static_cast<double>(samples);
    double hi = std::min(samples, bestIndex + 1) / static_cast<double>(samples);
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double m1 = hi - ratio * (hi - lo);
    double m2 = lo + ratio * (hi - lo);
    double f1 = squaredDistance(bezierPoint(c, m1), p);
    double f2 = squaredDistance(bezierPoint(c, m2), p);
    for (int i = 0; i < 48; ++i) {
        if (f1 < f2) {
            hi = m2;
            m2 = m1;
            f2 = f1;
            m1 = hi - ratio * (hi - lo);
            f1 = squaredDistance(bezierPoint(c, m1), p);
        } else {
            lo = m1;
            m1 = m2;
            f1 = f2;
            m2 = lo + ratio * (hi - lo);
            f2 = squaredDistance(bezierPoint(c, m2), p);
        }
    }
    double s = (lo + hi) / 2;
    double d2 = squaredDistance(bezierPoint(c, s), p);
    const double sampled = static_cast<double>(bestIndex) / samples;
    if (best < d2) { // the refinement never loses to the sample it started from
        s = sampled;
        d2 = best;
    }
    result.found = true;
    result.t = s;
    result.point = bezierPoint(c, s);
    result.distance2 = d2;
    return result;
}

} // namespace

GraphicsKernel& GraphicsKernel::instance()
{
    static GraphicsKernel k;
    return k;
}

void GraphicsKernel::reset()
{
    m_state = GraphicsState {};
    m_saved.clear();
    m_matrices.clear();
    m_path.clear();
}

// --- graphics state and matrices ----------------------------------------

void GraphicsKernel::gsave()
{
    m_saved.push_back(m_state);
}

void GraphicsKernel::grestore()
{
    if (m_saved.empty()) {
        debugLog("Stack underflow");
        return;
    }
    m_state = m_saved.back();
    m_saved.pop_back();
}

void GraphicsKernel::pushIdentity()
{
    m_matrices.emplace_back();
}

void GraphicsKernel::replaceTopWithCtm()
{
    if (m_matrices.empty()) {
        debugLog("Stack underflow");
        return;
    }
    m_matrices.back() = m_state.ctm;
}

void GraphicsKernel::popIntoCtm()
{
    if (m_matrices.empty()) {
        debugLog("Stack underflow");
        return;
    }
    m_state.ctm = m_matrices.back();
    m_matrices.pop_back();
}

bool GraphicsKernel::popInto(Matrix& out)
{
    if (m_matrices.empty()) {
        debugLog("Stack underflow");
        return false;
    }
    out = m_matrices.back().toMatrix();
    m_matrices.pop_back();
    return true;
}

void GraphicsKernel::applyOperand(const KMatrix& m)
{
    m_state.ctm = multiply(m, m_state.ctm);
    // The current point keeps its device position in the new user space.
    if (m_state.hasCurrentPoint) {
        const Point p = transformPoint(invert(m), Point { m_state.currentX, m_state.currentY });
        m_state.currentX = p.x;
        m_state.currentY = p.y;
    }
}

void GraphicsKernel::translate(double tx, double ty)
{
    applyOperand(KMatrix(1, 0, 0, 1, tx, ty));
}

void GraphicsKernel::scale(double sx, double sy)
{
    applyOperand(KMatrix(sx, 0, 0, sy, 0, 0));
}

void GraphicsKernel::rotate(double degrees)
{
    const double theta = degrees * kPi / 180.0;
    const double c = std::cos(theta);
    const double s = std::sin(theta);
    applyOperand(KMatrix(c, s, -s, c, 0, 0));
}

void GraphicsKernel::concat(const Matrix& m)
{
    applyOperand(KMatrix(m));
}

void GraphicsKernel::concat(const KMatrix& m)
{
    applyOperand(m);
}

void GraphicsKernel::flip()
{
    m_state.ctm = KMatrix(1, 0, 0, -1, 0, 0);
}

void GraphicsKernel::setCtm(const KMatrix& m)
{
    m_state.ctm = m;
}

Point GraphicsKernel::transform(Point user) const
{
    return transformPoint(m_state.ctm, user);
}

Point GraphicsKernel::dtransform(Point user) const
{
    return transformDelta(m_state.ctm, user);
}

Point GraphicsKernel::itransform(Point device) const
{
    return transformPoint(invert(m_state.ctm), device);
}

void GraphicsKernel::setLineWidth(float w)
{
    m_state.lineWidth = dtransform(Point { w, w }).x;
}

void GraphicsKernel::setColor(float r, float g, float b)
{
    m_state.red = r;
    m_state.green = g;
    m_state.blue = b;
}

void GraphicsKernel::setGray(float g)
{
    setColor(g, g, g);
}

void GraphicsKernel::setFillPattern(int32_t pattern)
{
    m_state.fillPattern = pattern;
}

void GraphicsKernel::setPen(int32_t pen)
{
    m_state.pen = pen;
}

// --- path construction ---------------------------------------------------

void GraphicsKernel::append(const PathElement& e)
{
    // Out of memory: the element is dropped and the path stays as it was.
    try {
        m_path.push_back(e);
    } catch (const std::bad_alloc&) { }
}

void GraphicsKernel::moveto(float x, float y)
{
    m_state.currentX = x;
    m_state.currentY = y;
    m_state.hasCurrentPoint = 1;
    const Point d = transform(Point { x, y });
    append(PathElement { PathKind::Move, d.x, d.y });
}

void GraphicsKernel::lineto(float x, float y)
{
    m_state.currentX = x;
    m_state.currentY = y;
    m_state.hasCurrentPoint = 1;
    const Point d = transform(Point { x, y });
    append(PathElement { PathKind::Line, d.x, d.y });
}

void GraphicsKernel::curveto(float x1, float y1, float x2, float y2, float x3, float y3)
{
    const Point p1 = transform(Point { x1, y1 });
    const Point p2 = transform(Point { x2, y2 });
    const Point p3 = transform(Point { x3, y3 });
    m_state.currentX = x3;
    m_state.currentY = y3;
    m_state.hasCurrentPoint = 1;
    append(PathElement { PathKind::Curve, p1.x, p1.y, p2.x, p2.y, p3.x, p3.y });
}

void GraphicsKernel::closepath()
{
    append(PathElement { PathKind::Close });
}

void GraphicsKernel::arc(float cx, float cy, float r, float a1, float a2)
{
    const double x = cx;
    const double y = cy;
    const double rad = r;
    if (a1 == 0.0f && a2 == 360.0f) {
        const double k = rad * kQuarterCircleKappa;
        const auto f = [](double v) { return static_cast<float>(v); };
        moveto(f(x + rad), cy);
        curveto(f(x + rad), f(y + k), f(x + k), f(y + rad), cx, f(y + rad));
        curveto(f(x - k), f(y + rad), f(x - rad), f(y + k), f(x - rad), cy);
        curveto(f(x - rad), f(y - k), f(x - k), f(y - rad), cx, f(y - rad));
        curveto(f(x + k), f(y - rad), f(x + rad), f(y - k), f(x + rad), cy);
        return;
    }

    const auto piece = [&](double startDeg, double sweepDeg) {
        const double s = startDeg * kPi / 180.0;
        const double t = sweepDeg * kPi / 180.0;
        const double half = std::tan(t / 2);
        const double h = rad * half * (4.0 / 3.0) / (1.0 + std::sqrt(1.0 + half * half));
        const double p0x = x + rad * std::cos(s);
        const double p0y = y + rad * std::sin(s);
        const double p3x = x + rad * std::cos(s + t);
        const double p3y = y + rad * std::sin(s + t);
        // Only the first piece drawn can start a subpath: it leaves a current point.
        if (!m_state.hasCurrentPoint)
            moveto(static_cast<float>(p0x), static_cast<float>(p0y));
        curveto(static_cast<float>(p0x - h * std::sin(s)), static_cast<float>(p0y + h * std::cos(s)),
            static_cast<float>(p3x + h * std::sin(s + t)), static_cast<float>(p3y - h * std::cos(s + t)),
            static_cast<float>(p3x), static_cast<float>(p3y));
    };
    const auto run = [&](double from, double to, bool allowWholeTurn) {
        const double start = degreesInOneTurn(from);
        double sweep;
        if (allowWholeTurn && to - from >= 360.0) {
            sweep = 360.0; // e.g. 90 to 450 is a whole turn, not nothing
        } else {
            sweep = degreesInOneTurn(to) - start;
            while (sweep < 0)
                sweep += 360.0;
        }
        double at = start;
        while (sweep > 1e-9) {
            const double t = std::min(90.0, sweep);
            piece(at, t);
            at += t;
            sweep -= t;
        }
    };

    double from = a1;
    double to = a2;
    if (from < 0)
        from += 360.0;
    if (to < 0)
        to += 360.0;
    if (from > to) {
        run(from, 360.0, false);
        run(0.0, to, false);
    } else {
        run(from, to, true);
    }
}

void GraphicsKernel::ellipticArc(float cx, float cy, float rx, float ry, float a1, float a2)
{
    gsave();
    translate(cx, cy);
    scale(rx, ry);
    arc(0, 0, 1, a1, a2);
    grestore();
}

void GraphicsKernel::newpath()
{
    m_path.clear();
    m_state.hasCurrentPoint = 0;
}

std::vector<PathElement> GraphicsKernel::takePath()
{
    std::vector<PathElement> taken;
    taken.swap(m_path);
    m_state.hasCurrentPoint = 0;
    return taken;
}

void GraphicsKernel::restorePath(std::vector<PathElement> path)
{
    m_path = std::move(path);
}

// --- hit tests -------------------------------------------------------------

std::vector<std::vector<IntPoint>> GraphicsKernel::flattenPath(const std::vector<PathElement>& path)
{
    Flattener f;
    DPoint start;
    DPoint last;
    bool hasLast = false;
    bool open = false; // a polygon is accepting vertices
    for (const PathElement& e : path) {
        switch (e.kind) {
        case PathKind::Move:
            start = last = DPoint { e.x1, e.y1 };
            hasLast = true;
            f.startPolygon(start);
            open = true;
            break;
        case PathKind::Line: {
            const DPoint b { e.x1, e.y1 };
            if (!hasLast) { // a line with no start point begins a subpath at its end
                start = last = b;
                hasLast = true;
            }
            if (!open) {
                f.startPolygon(last);
                open = true;
            }
            f.addVertex(b);
            last = b;
            break;
        }
        case PathKind::Curve: {
            const DPoint end { e.x3, e.y3 };
            if (!hasLast) { // a curve with no start point begins a subpath at its end
                start = last = end;
                hasLast = true;
                f.startPolygon(end);
                open = true;
                break;
            }
            if (!open) {
                f.startPolygon(last);
                open = true;
            }
            const DPoint c[4] = { last, { e.x1, e.y1 }, { e.x2, e.y2 }, end };
            f.addCurve(c);
            last = end;
            break;
        }
        case PathKind::Close:
            // Drawing after a close starts again from the subpath's start.
            last = start;
            open = false;
            break;
        }
    }
    f.finishPolygon();
    return std::move(f.polygons);
}

bool GraphicsKernel::pointInPath(float x, float y)
{
    const auto polygons = flattenPath(m_path);
    const bool inside = insidePolygons(polygons, toD(transform(Point { x, y })));
    newpath();
    return inside;
}

bool GraphicsKernel::rectOverlapsPath(float x1, float y1, float x2, float y2)
{
    const auto polygons = flattenPath(m_path);
    newpath();
    const Point a = transform(Point { x1, y1 });
    const Point b = transform(Point { x2, y2 });
    const double minX = std::min(a.x, b.x);
    const double maxX = std::max(a.x, b.x);
    const double minY = std::min(a.y, b.y);
    const double maxY = std::max(a.y, b.y);
    if (!(minX <= maxX) || !(minY <= maxY))
        return false;
    // An edge meeting the rectangle covers a vertex inside it too; with no
    // edge meeting it the rectangle lies wholly inside or outside the area.
    for (const auto& poly : polygons) {
        const std::size_t n = poly.size();
        if (n < 3)
            continue;
        for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
            const DPoint p { static_cast<double>(poly[j].x), static_cast<double>(poly[j].y) };
            const DPoint q { static_cast<double>(poly[i].x), static_cast<double>(poly[i].y) };
            if (segmentTouchesBox(p, q, minX, minY, maxX, maxY))
                return true;
        }
    }
    return insidePolygons(polygons, DPoint { minX, minY });
}

bool GraphicsKernel::nearestPointOnPath(
    Point& devicePoint, float tolerance, float& distanceSquared, CurveSplit* split)
{
    if (split)
        *split = CurveSplit {};
    const DPoint p = toD(devicePoint);
    const double tol = tolerance;

    Candidate best;
    int bestIndex = -1;
    bool bestOnCurve = false;
    DPoint bestCurve[4];
    const auto consider = [&](const Candidate& c, int index, bool onCurve) {
        if (c.found && c.distance2 < best.distance2) {
            best = c;
            bestIndex = index;
            bestOnCurve = onCurve;
        }
    };

    DPoint start;
    DPoint last;
    bool hasLast = false;
    for (std::size_t i = 0; i < m_path.size(); ++i) {
        const PathElement& e = m_path[i];
        const int index = static_cast<int>(i);
        switch (e.kind) {
        case PathKind::Move:
            start = last = DPoint { e.x1, e.y1 };
            hasLast = true;
            break;
        case PathKind::Line: {
            const DPoint b { e.x1, e.y1 };
            if (hasLast)
                consider(lineCandidate(last, b, p, tol), index, false);
            else
                start = b;
            last = b;
            hasLast = true;
            break;
        }
        case PathKind::Curve: {
            const DPoint end { e.x3, e.y3 };
            if (hasLast) {
                const DPoint c[4] = { last, { e.x1, e.y1 }, { e.x2, e.y2 }, end };
                const Candidate cand = curveCandidate(c, p, tol);
                if (cand.found && cand.distance2 < best.distance2)
                    std::copy(std::begin(c), std::end(c), std::begin(bestCurve));
                consider(cand, index, true);
            } else {
                start = end;
            }
            last = end;
            hasLast = true;
            break;
        }
        case PathKind::Close:
            if (hasLast)
                consider(lineCandidate(last, start, p, tol), index, false);
            last = start;
            break;
        }
    }
    newpath();
    if (bestIndex < 0)
        return false;

    devicePoint = toF(best.point);
    distanceSquared = static_cast<float>(best.distance2);
    if (split) {
        split->elementIndex = bestIndex;
        split->t = static_cast<float>(best.t);
        if (bestOnCurve) {
            const double s = best.t;
            const DPoint p01 = lerp(bestCurve[0], bestCurve[1], s);
            const DPoint p12 = lerp(bestCurve[1], bestCurve[2], s);
            const DPoint p23 = lerp(bestCurve[2], bestCurve[3], s);
            const DPoint p012 = lerp(p01, p12, s);
            const DPoint p123 = lerp(p12, p23, s);
            split->onCurve = true;
            split->start = toF(bestCurve[0]);
            split->c1 = toF(p01);
            split->c2 = toF(p012);
            split->mid = toF(lerp(p012, p123, s));
            split->c3 = toF(p123);
            split->c4 = toF(p23);
            split->end = toF(bestCurve[3]);
        }
    }
    return true;
}

} // namespace zavora
